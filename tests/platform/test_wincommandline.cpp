#include "platform/WinCommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using nollex::JoinWindowsCommandLine;
using nollex::QuoteWindowsArgument;
using nollex::SplitWindowsCommandLine;
using Words = std::vector<std::string>;

namespace {

struct SplitCase {
    const char* name;
    const char* line;
    Words words;
};

const SplitCase kSplitCases[] = {
    {"empty", "", {}},
    {"blanks-only", " \t  ", {}},
    {"single", "cmd.exe", {"cmd.exe"}},
    {"blank-runs-and-ends", "  a \t b   c  ", {"a", "b", "c"}},
    {"quoted-blank-kept", R"(cd "C:\Program Files\Tools\")", {"cd", R"(C:\Program Files\Tools\)"}},
    {"backslash-before-quote-is-plain", R"("a\" b)", {R"(a\)", "b"}},
    {"quote-mid-word", R"(-n"/home/u/my work/" x.cpp)", {"-n/home/u/my work/", "x.cpp"}},
    {"quoted-then-plain-joined", R"("ab"cd ef)", {"abcd", "ef"}},
    {"empty-quotes-are-empty-word", R"(cd "")", {"cd", ""}},
    {"two-empty-words", R"("" "")", {"", ""}},
    {"empty-quotes-inside-word", R"(a""b)", {"ab"}},
    {"doubled-quote-inside-quotes", R"("say ""hi""" x)", {R"(say "hi")", "x"}},
    {"unbalanced-runs-to-end", R"(a "b c  d)", {"a", "b c  d"}},
    {"lone-quote", "\"", {""}},
    {"operators-are-plain", "a>b ; & $(x)", {"a>b", ";", "&", "$(x)"}},
    {"newline-is-not-blank", "a\nb", {"a\nb"}},
    {"utf8-bytes", "\"/home/u/日本 語/\"", {"/home/u/日本 語/"}},
};

}  // namespace

// Guards the word rules that batch lines and started command lines depend on.
TEST(WinCommandLine, SplitsByWindowsRules)
{
    for (const SplitCase& c : kSplitCases)
        EXPECT_EQ(SplitWindowsCommandLine(c.line), c.words) << c.name;
}

// Guards that any word, however odd, survives quoting and splitting unchanged, so a
// path can never fall apart into several arguments or gain characters.
TEST(WinCommandLine, QuoteRoundTrips)
{
    const Words odd = {"",         "plain",      "with blank", "tab\there", "\"",
                       "a\"b",     "end\"",      "\"\"",       "C:\\x\\",   "x\\\" y",
                       "$(touch pwned)", "a;b&c", " lead", "trail "};
    for (const std::string& w : odd)
        EXPECT_EQ(SplitWindowsCommandLine(QuoteWindowsArgument(w)), Words{w}) << w;
    EXPECT_EQ(SplitWindowsCommandLine(JoinWindowsCommandLine(odd)), odd);
}

// Plain words stay as typed so the build's command lines keep their exact form.
TEST(WinCommandLine, QuoteLeavesPlainWordsAlone)
{
    EXPECT_EQ(QuoteWindowsArgument(R"(C:\work\__out.cpp)"), R"(C:\work\__out.cpp)");
    EXPECT_EQ(QuoteWindowsArgument("my file"), "\"my file\"");
    EXPECT_EQ(QuoteWindowsArgument("a>b"), "\"a>b\"");
    EXPECT_EQ(QuoteWindowsArgument("a&b"), "\"a&b\"");
    EXPECT_EQ(QuoteWindowsArgument(""), "\"\"");
    EXPECT_EQ(JoinWindowsCommandLine({"cmd.exe", "/C", "/a b/__out.bat"}),
              "cmd.exe /C \"/a b/__out.bat\"");
}
