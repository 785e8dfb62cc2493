#include "bcc32/Switches.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace nollex::bcc;
using Words = std::vector<std::string>;

namespace {

bool has(const Words& words, const std::string& w)
{
    return std::find(words.begin(), words.end(), w) != words.end();
}

bool noteMentions(const Plan& plan, const std::string& text)
{
    return std::any_of(plan.notes.begin(), plan.notes.end(),
                       [&](const std::string& n) { return n.find(text) != std::string::npos; });
}

std::vector<Step> stepsFor(const Words& command, const Words& config = {})
{
    return HostSteps(PlanBuild(config, command), Host{});
}

}  // namespace

// Guards the whole default compile line of an Execute: exact host commands, outputs
// named after the source in the -n folder, and the CPU switch neither passed nor
// noted: a default build prints only what the host compiler says.
TEST(Bcc32Switches, DefaultExecuteLine)
{
    const Plan plan = PlanBuild({}, {"-3", "-b", "-O1", "-w", "-n/home/u/work/", "/home/u/work/__out.cpp"});
    EXPECT_TRUE(plan.error.empty());
    EXPECT_TRUE(plan.notes.empty());
    const std::vector<Step> steps = HostSteps(plan, Host{});
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].argv, (Words{"g++", "-c", "-Os", "-Wall", "-fno-short-enums", "-x", "c++",
                                    "/home/u/work/__out.cpp", "-o",
                                    "/home/u/work/__out.obj"}));
    EXPECT_EQ(steps[1].argv,
              (Words{"g++", "/home/u/work/__out.obj", "-o", "/home/u/work/__out.exe"}));
    EXPECT_EQ(steps[1].output, "/home/u/work/__out.exe");

    // The same line built for the debugger: -O0 after the option set's -Os, so it wins.
    Plan debug = plan;
    AddDebugInfo(debug);
    EXPECT_EQ(HostSteps(debug, Host{})[0].argv,
              (Words{"g++", "-c", "-Os", "-Wall", "-fno-short-enums", "-g", "-O0", "-x", "c++",
                     "/home/u/work/__out.cpp", "-o", "/home/u/work/__out.obj"}));

    // And for the guarded run: the optimiser would remove an unused fault with its check.
    Plan guarded = plan;
    AddRunTimeChecks(guarded, "");
    EXPECT_EQ(HostSteps(guarded, Host{})[0].argv,
              (Words{"g++", "-c", "-Os", "-Wall", "-fno-short-enums", "-fsanitize=address,undefined",
                     "-fno-sanitize-recover=all", "-fno-omit-frame-pointer", "-g", "-O0", "-x", "c++",
                     "/home/u/work/__out.cpp", "-o", "/home/u/work/__out.obj"}));
}

namespace {

struct FlagCase {
    const char* name;
    Words words;
    const char* hostFlag;  // expected in the compile step
};

const FlagCase kFlagCases[] = {
    {"K-unsigned-char", {"-K"}, "-funsigned-char"},
    {"N-stack-check", {"-N"}, "-fstack-clash-protection"},
    {"O2-speed", {"-O2"}, "-O2"},
    {"O1-size", {"-O1"}, "-Os"},
    {"last-O-wins", {"-O2", "-O1"}, "-Os"},
    {"w-minus-silences", {"-w", "-w-"}, "-w"},
    {"j-max-errors", {"-j5"}, "-fmax-errors=5"},
    {"b-minus-short-enums", {"-b-"}, "-fshort-enums"},
    {"define", {"-DDEBUG=1"}, "-DDEBUG=1"},
    {"debug-info", {"-v"}, "-g"},
    {"include-folder-with-blank", {"-I/opt/my inc"}, "-I/opt/my inc"},
    {"std-passed-on", {"-std=c++20"}, "-std=c++20"},
};

}  // namespace

TEST(Bcc32Switches, SwitchesBecomeHostFlags)
{
    for (const FlagCase& c : kFlagCases) {
        Words words = c.words;
        words.push_back("a.cpp");
        const std::vector<Step> steps = stepsFor(words);
        ASSERT_FALSE(steps.empty()) << c.name;
        EXPECT_TRUE(has(steps[0].argv, c.hostFlag)) << c.name;
    }
    // "-w" turns warnings on; gcc's own "-w" would turn them off.
    EXPECT_FALSE(has(stepsFor({"-w", "a.cpp"})[0].argv, "-w"));
}

// Guards "accepted and noted, never an error" for switches the host cannot honour.
TEST(Bcc32Switches, UnmatchedSwitchesAreNotedNotErrors)
{
    const Plan plan = PlanBuild({}, {"-C", "-p", "-g5", "-Hc", "-Tml", "-j", "-tW", "-X", "a.cpp", "x.lib"});
    EXPECT_TRUE(plan.error.empty());
    for (const char* s : {"-C ignored", "-p ignored", "-g5 ignored", "-Hc ignored", "-Tml ignored",
                          "-j needs a number", "-tW ignored", "-X ignored", "x.lib ignored"})
        EXPECT_TRUE(noteMentions(plan, s)) << s;
    const std::vector<Step> steps = HostSteps(plan, Host{});
    for (const Step& s : steps)
        for (const std::string& a : s.argv)
            EXPECT_FALSE(a == "-C" || a == "-p" || a.starts_with("-g5") || a.starts_with("-T"))
                << a;
}

// Guards the driver and language choice: a C page must build with gcc (and the
// maths library), whatever the letter case of its extension.
TEST(Bcc32Switches, LanguageFollowsExtensionAndP)
{
    const std::vector<Step> c = stepsFor({"/w/HELLO.C"});
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].argv[0], "gcc");
    EXPECT_TRUE(has(c[0].argv, "c"));
    EXPECT_EQ(c[1].argv, (Words{"gcc", "HELLO.obj", "-lm", "-o", "HELLO.exe"}));

    const std::vector<Step> forced = stepsFor({"-P", "x.c"});
    EXPECT_EQ(forced[0].argv[0], "g++");
    EXPECT_TRUE(has(forced[0].argv, "c++"));

    // A page saved with any other extension compiles as C++.
    EXPECT_TRUE(has(stepsFor({"notes.txt"})[0].argv, "c++"));
    EXPECT_EQ(stepsFor({"notes.txt"})[1].output, "notes.exe");
}

TEST(Bcc32Switches, CompileOnlyAndAssemblyOnlyStopBeforeTheLink)
{
    const std::vector<Step> c = stepsFor({"-c", "-n/w", "/src/hello.cpp"});
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].output, "/w/hello.obj");

    const std::vector<Step> s = stepsFor({"-S", "hello.cpp"});
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].output, "hello.asm");
    EXPECT_TRUE(has(s[0].argv, "-S"));
    EXPECT_FALSE(has(s[0].argv, "-c"));
}

TEST(Bcc32Switches, FoldersListsAndOutputNames)
{
    const std::vector<Step> steps = stepsFor({"-I/a;/b c;", "-L/lib1;/lib2", "-emyprog", "m.cpp", "extra.obj"});
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_TRUE(has(steps[0].argv, "-I/a"));
    EXPECT_TRUE(has(steps[0].argv, "-I/b c"));
    EXPECT_EQ(std::count_if(steps[0].argv.begin(), steps[0].argv.end(),
                            [](const std::string& a) { return a.starts_with("-I"); }),
              2);
    EXPECT_EQ(steps[1].argv, (Words{"g++", "m.obj", "extra.obj", "-L/lib1", "-L/lib2", "-o", "myprog.exe"}));
}

TEST(Bcc32Switches, NothingToBuildIsAnError)
{
    EXPECT_FALSE(PlanBuild({}, {"-3", "-w"}).error.empty());
    EXPECT_FALSE(PlanBuild({}, {"-n/w/", ""}).error.empty());
}

// Guards bcc32.cfg: quoted folders lose their quotes, CR LF is accepted, and the
// command line comes after the file, so its switches have the last word.
TEST(Bcc32Switches, ConfigFileComesFirst)
{
    const Words cfg = ParseConfigText("-I\"/opt/my c/include\"\r\n-L\"/opt/my c/lib\"\r\n-O2\r\n");
    EXPECT_EQ(cfg, (Words{"-I/opt/my c/include", "-L/opt/my c/lib", "-O2"}));
    const std::vector<Step> steps = stepsFor({"-O1", "a.cpp"}, cfg);
    EXPECT_TRUE(has(steps[0].argv, "-I/opt/my c/include"));
    EXPECT_TRUE(has(steps[0].argv, "-Os"));
    EXPECT_FALSE(has(steps[0].argv, "-O2"));
    EXPECT_TRUE(has(steps[1].argv, "-L/opt/my c/lib"));
    EXPECT_TRUE(ParseConfigText("").empty());
}

TEST(Bcc32Switches, HostCompilerMayCarryWords)
{
    const Host host{{"ccache", "gcc"}, {"/opt/g++-13"}, {}};
    const std::vector<Step> steps = HostSteps(PlanBuild({}, {"a.c", "b.cpp"}), host);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ((Words{steps[0].argv[0], steps[0].argv[1]}), (Words{"ccache", "gcc"}));
    EXPECT_EQ(steps[1].argv[0], "/opt/g++-13");
    // One C++ source makes the link a C++ link.
    EXPECT_EQ(steps[2].argv[0], "/opt/g++-13");
    EXPECT_EQ(steps[2].output, "a.exe");
}

// Found by the fuzz run: a source whose name begins with "-" made an object that
// the link read as an option ("-x.obj" is "-x" with ".obj").
TEST(Bcc32Switches, ObjectNamesNeverReadAsOptions)
{
    const std::vector<Step> steps = stepsFor({"sub/-x.c"});
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].output, "./-x.obj");
    EXPECT_EQ(steps[1].argv, (Words{"gcc", "./-x.obj", "-lm", "-o", "-x.exe"}));
    EXPECT_EQ(stepsFor({"-n/w/", "sub/-x.c"})[0].output, "/w/-x.obj");
}

// Guards the compatibility headers' place and the link: their folder comes after
// the configuration's and the command line's -I folders, each compile lists its
// headers, and the library is linked only when asked for (or for object files
// given by name, whose headers are unknown) and before the maths library.
TEST(Bcc32Switches, CompatibilityFolderAndLibrary)
{
    Host host;
    host.compat = {"/nx/compat/include", "/nx/compat/lib/libnollexcompat.a", "/tmp/s"};
    const Plan plan = PlanBuild({"-I/cfg"}, {"-I/mine", "a.c"});
    const std::vector<Step> plain = HostSteps(plan, host);
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(plain[0].argv, (Words{"gcc", "-c", "-I/cfg", "-I/mine", "-idirafter", "/nx/compat/include", "-MD",
                                    "-MF", "/tmp/s/0.d", "-x", "c", "a.c", "-o", "a.obj"}));
    EXPECT_EQ(plain[0].headerList, "/tmp/s/0.d");
    EXPECT_EQ(plain[1].argv, (Words{"gcc", "a.obj", "-lm", "-o", "a.exe"}));
    EXPECT_EQ(HostSteps(plan, host, true)[1].argv,
              (Words{"gcc", "a.obj", "/nx/compat/lib/libnollexcompat.a", "-lm", "-o", "a.exe"}));
    EXPECT_TRUE(has(HostSteps(PlanBuild({}, {"a.cpp", "b.obj"}), host)[1].argv, host.compat.library));

    // Compiling only: the headers are there, but no list is needed.
    const Step compileOnly = HostSteps(PlanBuild({}, {"-c", "a.c"}), host)[0];
    EXPECT_TRUE(has(compileOnly.argv, "-idirafter"));
    EXPECT_FALSE(has(compileOnly.argv, "-MD"));
    // No compat folder: the commands of before.
    EXPECT_EQ(HostSteps(plan, Host{}, true), HostSteps(plan, Host{}));
    EXPECT_FALSE(has(HostSteps(plan, Host{})[0].argv, "-idirafter"));
}

TEST(Bcc32Switches, DependencyListNamesFolder)
{
    const struct {
        const char* text;
        bool listed;
    } cases[] = {
        {"a.obj: a.c /usr/include/stdio.h \\\n /nx/inc/conio.h\n", true},
        {"a.obj: a.c /nx/inc/conio.h", true},
        {"a.obj: a.c /nx/include/conio.h /nx/inc.h\n", false},  // another folder of the same start
        {"a.obj: a.c\n", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ListsFileIn(c.text, "/nx/inc"), c.listed) << c.text;
    // Blanks, "#" and "$" in the folder's name, as make writes them.
    EXPECT_TRUE(ListsFileIn("a.obj: /my\\ d\\#$$x/inc/dos.h \\\n b.h\n", "/my d#$x/inc"));
    EXPECT_FALSE(ListsFileIn("a.obj: /my\\ d\\#$$x/inc/dos.h\n", "/my d"));
}
