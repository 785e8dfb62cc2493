// The pieces under the explanations: the message catalogs' reader, the tie between
// a format and its translation, the unclosed brace, and input no compiler writes.
#include "explain/Explainer.h"
#include "explain/MoCatalog.h"
#include "explain/RunFault.h"
#include "explain/SourceScan.h"
#include "support/TempDir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace nollex;

namespace {

// A catalog as msgfmt writes it: header, then the two tables, then the strings.
QByteArray catalog(const QList<std::pair<QByteArray, QByteArray>>& entries, bool bigEndian = false)
{
    const auto word = [&](quint32 v) {
        QByteArray b(4, '\0');
        if (bigEndian)
            qToBigEndian(v, b.data());
        else
            qToLittleEndian(v, b.data());
        return b;
    };
    const quint32 n = quint32(entries.size());
    QByteArray head = word(0x950412de) + word(0) + word(n) + word(28) + word(28 + 8 * n) + word(0) + word(0);
    QByteArray strings;
    const quint32 stringsAt = 28 + 16 * n;
    QByteArray originals, translations;
    for (const auto& e : entries) {
        originals += word(quint32(e.first.size())) + word(stringsAt + quint32(strings.size()));
        strings += e.first + '\0';
    }
    for (const auto& e : entries) {
        translations += word(quint32(e.second.size())) + word(stringsAt + quint32(strings.size()));
        strings += e.second + '\0';
    }
    return head + originals + translations + strings;
}

const QList<std::pair<QByteArray, QByteArray>> Entries = {
    {"", "Content-Type: text/plain; charset=UTF-8\n"},
    {"error: ", "エラー: "},
    {"too few arguments to function %qE", "関数 %qE へ渡す引数が少なすぎます"},
    {"%d file\0%d files", "%d 個のファイル"},
};

}  // namespace

// A catalog in either byte order reads the same; one that lies about its size or
// points outside itself is no catalog, never a crash or a partial read.
TEST(MoCatalog, BothByteOrdersAndBrokenCatalogs)
{
    const QByteArray good = catalog(Entries);
    for (const bool big : {false, true}) {
        const std::optional<QHash<QString, QString>> c = parseMoCatalog(catalog(Entries, big));
        ASSERT_TRUE(c);
        EXPECT_EQ(c->size(), 3);  // the header entry is left out
        EXPECT_EQ(c->value(QStringLiteral("error: ")), QStringLiteral("エラー: "));
        EXPECT_EQ(c->value(QStringLiteral("%d file")), QStringLiteral("%d 個のファイル"));
    }
    QByteArray hugeCount = good;
    hugeCount[8] = char(0xff), hugeCount[9] = char(0xff), hugeCount[10] = char(0xff);
    QByteArray outside = good;
    outside[28 + 4] = char(0xf0), outside[28 + 7] = char(0x7f);  // first string's offset
    const struct {
        const char* name;
        QByteArray bytes;
    } broken[] = {{"empty", {}}, {"wrong magic", "\x12\x34\x56\x78" + good.mid(4)},
                  {"cut in the tables", good.left(40)}, {"cut in the strings", good.left(good.size() - 5)},
                  {"count past the end", hugeCount}, {"string outside", outside}};
    for (const auto& b : broken)
        EXPECT_FALSE(parseMoCatalog(b.bytes)) << b.name;
}

// A translation that puts the holes in another order (gcc's %2$qs) still gives each
// hole its English number, and a limit on an English hole holds in the translation.
TEST(Explainer, TranslatedFormatsKeepTheirHoles)
{
    KindTable table;
    table.kinds = {{QStringLiteral("swap"), {QStringLiteral("%qs{a*} before %qs")}, {QStringLiteral("{1}|{2}")}}};
    QHash<QString, QString> ja;
    ja.insert(QStringLiteral("%qs before %qs"), QStringLiteral("%2$qs の前の %1$qs"));
    const Explainer e(table, {ja});
    const BuiltPage page{QStringLiteral("/w/__out.c"), QStringLiteral("p.c"), QString()};
    const auto text = [&](const char* line) {
        const QList<Explanation> got = e.explain(QString::fromUtf8(line), page);
        return got.isEmpty() ? std::string("-") : got[0].text.toStdString();
    };
    EXPECT_EQ(text("/w/__out.c:1:2: error: ‘ab’ before ‘cd’"), "ab|cd");
    EXPECT_EQ(text("/w/__out.c:1:2: error: ‘cd’ の前の ‘ab’"), "ab|cd");
    EXPECT_EQ(text("/w/__out.c:1:2: error: ‘cd’ の前の ‘xb’"), "-");
    EXPECT_EQ(text("/w/__out.c:1:2: error: 'ab' before 'cd' [-Wextra]"), "ab|cd");
}

// A missing catalog folder means English only; a catalog file that is not one adds nothing.
TEST(Explainer, MissingOrBrokenCatalogs)
{
    test::TempDir dir;
    dir.write(QStringLiteral("gcc-12.mo"), "not a catalog");
    const BuiltPage page{QStringLiteral("/w/__out.c"), QStringLiteral("hello.c"), QString()};
    const QString english = QStringLiteral("/w/__out.c:4:12: error: too few arguments to function ‘add’");
    for (const QString& folder : {dir.path(), dir.path() + QStringLiteral("none")}) {
        const Explainer e = Explainer::installed(folder);
        EXPECT_EQ(e.explain(english, page).size(), 1);
    }
    dir.write(QStringLiteral("gcc-12.mo"), catalog(Entries));
    const QString japanese = QStringLiteral("/w/__out.c:4:12: エラー: 関数 ‘add’ へ渡す引数が少なすぎます");
    const QList<Explanation> got = Explainer::installed(dir.path()).explain(japanese, page);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].kind, QStringLiteral("too-few-arguments"));
}

TEST(SourceScan, LikelyUnclosedBrace)
{
    const struct {
        const char* name;
        const char* text;
        int line;
    } rows[] = {
        {"all closed", "int main(void)\n{\n    if (x) {\n    }\n}\n", 0},
        {"inner block's brace forgotten", "int main(void)\n{\n    for (;;) {\n        f();\n    return 0;\n}\n", 3},
        {"last one open", "int main(void)\n{\n    return 0;\n", 2},
        {"braces in strings and comments", "int main(void)\n{\n    puts(\"{\"); // {\n    /* { */ char c = '{';\n", 2},
        {"macro line", "#define B {\nint main(void)\n{\n}\n", 0},
        {"unterminated comment", "int f(void)\n{\n/* {", 2},
    };
    for (const auto& r : rows)
        EXPECT_EQ(likelyUnclosedBraceLine(QString::fromUtf8(r.text)), r.line) << r.name;
}

// Output no compiler writes, or writes rarely: a line of a megabyte, a hundred
// thousand lines, bytes that are not text. Each is read in time that grows with
// its length, and the messages around it are still explained; the same for the
// run-time checkers' reports.
TEST(Explainer, HugeAndOddOutput)
{
    const Explainer& e = Explainer::installed();
    const BuiltPage page{QStringLiteral("/w/__out.c"), QStringLiteral("hello.c"), QString()};
    const QString message = QStringLiteral("/w/__out.c:3:5: error: ‘x’ undeclared (first use in this function)\n");
    const QString longLine = QStringLiteral("/w/__out.c:1:1: error: ‘") + QString(1 << 20, u'‘') + u'\n';
    QString many;
    for (int i = 0; i < 100000; ++i)
        many += i % 2 ? message : QStringLiteral("/w/__out.c:9:1: error: expected ‘%1’ before\n").arg(i);
    const QString junk = QString::fromUtf8(QByteArray("\xff\xfe:1:\x80 error: \0\0", 16).repeated(1000));
    const QString fault = QStringLiteral("__out.c:6:26: runtime error: division by zero\n");
    const QString header = QStringLiteral("==7==ERROR: AddressSanitizer: stack-overflow on address 0x7ffd2387fffc\n");
    QString frames;
    for (int i = 0; i < 100000; ++i)
        frames += QStringLiteral("    #%1 0x55c385deae63 in f /w/__out.c:5\n").arg(i);
    const QString stackOverflow = header + frames + QStringLiteral("SUMMARY: AddressSanitizer: stack-overflow /w/__out.c:4 in f\n");
    const QString unfinished = header.repeated(50000) + QString(1 << 20, u'[') + u'\n';
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(e.explain(longLine + message, page).size(), 1);
    EXPECT_EQ(e.explain(many, page).size(), 1);  // the same text once
    EXPECT_TRUE(e.explain(junk, page).isEmpty());
    EXPECT_EQ(e.explainReport(longLine + fault, page).size(), 1);
    EXPECT_EQ(e.explainReport(stackOverflow, page).size(), 1);
    EXPECT_EQ(e.explainReport(unfinished + fault, page).size(), 1);
    EXPECT_TRUE(e.explainReport(junk, page).isEmpty());
#ifdef NOLLEX_SANITIZED
    constexpr int kSlowdown = 5;  // the checks make this text work about ten times slower
#else
    constexpr int kSlowdown = 1;
#endif
    EXPECT_LT(timer.elapsed(), 10000 * kSlowdown);
}

// The record of a run's end as the console's interpreter writes it: a record cut
// short is none; a console held open under its explanation is not told how to
// stay open, one that closed by itself is.
TEST(RunRecord, ReadAndToldAsTheConsoleEnded)
{
    const struct {
        const char* name;
        QByteArray bytes;
        bool whole;
        bool held;
    } rows[] = {
        {"exited", "pid=7\nexit=3\nms=1250\n", true, false},
        {"signal, held", "pid=7\nsignal=11\nms=40\nheld=1\n", true, true},
        {"held=0", "pid=7\nexit=0\nms=1\nheld=0\n", true, false},
        {"no time", "pid=7\nexit=0\n", false, false},
        {"no end", "pid=7\nms=1\nheld=1\n", false, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const std::optional<RunRecord> record = parseRunRecord(r.bytes);
        ASSERT_EQ(record.has_value(), r.whole);
        if (!record)
            continue;
        EXPECT_EQ(record->held, r.held);
        const QString told = runToldLine(*record);
        EXPECT_TRUE(told.contains(record->signal ? QStringLiteral("シグナル 11")
                                                 : QStringLiteral("終了コード %1").arg(record->exitCode)))
            << told.toStdString();
        EXPECT_EQ(told.contains(QStringLiteral("EXIT入力まで待つ")), !r.held) << told.toStdString();
    }
}
