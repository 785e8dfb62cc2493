// The replay under memcheck, on real programs: each is written as __out.c, built
// with gcc -g -O0 and no checkers as the replay builds it, run by runReplay with
// the given input, and memcheck's report explained for the page main.c. Skipped
// where gcc or valgrind is not installed.
#include "explain/Replay.h"
#include "explain/RunFault.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace nollex;

namespace {

struct ReplayRow {
    const char* name;
    const char* text;   // the page
    const char* input;  // what the learner typed
    const char* kind;   // "" when nothing is explained
    int line;
    const char* explanation;
};

const ReplayRow ReplayRows[] = {
    {"local-in-if", R"_(#include <stdio.h>

int main(void)
{
    int n, sum;
    n = 3;
    if (sum > n)
        puts("big");
    return 0;
}
)_",
     "", "uninit-local", 7,
     "main.c 7 行目: 変数 sum に値を入れる前に、その値を使っています（sum は 5 行目で宣言）。宣言のときに値を入れるか、使う前に代入してください。"},
    // The element used depends on the input: the typed bytes reach the program.
    {"array-element-by-input", R"_(#include <stdio.h>

int main(void)
{
    int a[4];
    int n;
    scanf("%d", &n);
    a[0] = n;
    if (a[n] > 0)
        puts("yes");
    return 0;
}
)_",
     "2\n", "uninit-array", 9,
     "main.c 9 行目: 配列 a の要素に値を入れる前に使っています（a は 5 行目で宣言）。使う要素すべてに値を入れてから使ってください。"},
    {"array-element-set", R"_(#include <stdio.h>

int main(void)
{
    int a[4];
    int n;
    scanf("%d", &n);
    a[0] = n;
    if (a[n] > 0)
        puts("yes");
    return 0;
}
)_",
     "0\n", "", 0, ""},
    {"struct-member", R"_(#include <stdio.h>

struct Point { int x; int y; };

int main(void)
{
    struct Point p;
    p.x = 1;
    printf("%d %d\n", p.x, p.y);
    return 0;
}
)_",
     "", "uninit-member", 9,
     "main.c 9 行目: 構造体 p のメンバーに値を入れる前に使っています（p は 7 行目で宣言）。使うメンバーすべてに値を入れてから使ってください。"},
    {"malloc-memory", R"_(#include <stdio.h>
#include <stdlib.h>

int main(void)
{
    int *q = malloc(4 * sizeof(int));
    int total = 0;
    for (int i = 0; i < 4; i++)
        total += q[i];
    if (total == 0)
        puts("zero");
    free(q);
    return 0;
}
)_",
     "", "uninit-heap", 10,
     "main.c 10 行目: malloc などで確保した q の指す領域に値を入れる前に、その中身を使っています（6 行目で確保）。確保した領域の中身は決まっていません。値を入れてから使うか、0 で埋まる calloc を使ってください。"},
    {"string-without-nul", R"_(#include <stdio.h>

int main(void)
{
    char s[8];
    s[0] = 'h';
    s[1] = 'i';
    printf("%s\n", s);
    return 0;
}
)_",
     "", "uninit-string", 8,
     "main.c 8 行目: 文字の配列 s を文字列として使いましたが、終わりの '\\0' がないか、値を入れていない文字があります（s は 5 行目で宣言）。入れた文字の後に '\\0' を入れてください。"},
    // Used in the called function, never set in its caller: told where the caller passed it.
    {"passed-to-function", R"_(#include <stdio.h>

int twice(int v)
{
    if (v > 10)
        return 0;
    return v * 2;
}

int main(void)
{
    int x;
    printf("%d\n", twice(x));
    return 0;
}
)_",
     "", "uninit-local", 13,
     "main.c 13 行目: 変数 x に値を入れる前に、その値を使っています（x は 12 行目で宣言）。宣言のときに値を入れるか、使う前に代入してください。"},
    {"pointer-never-set", R"_(int main(void)
{
    int *p;
    *p = 3;
    return 0;
}
)_",
     "", "uninit-pointer", 4,
     "main.c 4 行目: ポインタ p に何も指させないまま使っています（p は 3 行目で宣言）。変数のアドレスか malloc の結果を入れてから使ってください。"},
    // Through a pointer the scan does not follow: no variable is named.
    {"through-a-pointer", R"_(#include <stdio.h>

int main(void)
{
    int a[3];
    int *p = a;
    if (p[1] > 0)
        puts("yes");
    return 0;
}
)_",
     "", "uninit-value", 7,
     "main.c 7 行目: 値を入れる前の変数（配列の要素、構造体のメンバー、malloc の領域の中身も）の値を使っています。この行で使う値に、先に値を入れてください。"},
    {"exit-status", "int main(void)\n{\n    int r;\n    return r;\n}\n", "", "uninit-exit-status", 0,
     "main.c: main が返した値（プログラムの終了ステータス）に、値を入れていない変数の値が使われました。main の return で返す値を確かめてください。"},
};

bool haveTools()
{
    return !QStandardPaths::findExecutable(QStringLiteral("gcc")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("valgrind")).isEmpty();
}

// The page built as the replay builds it, in `dir`; the program's path.
QString build(const QTemporaryDir& dir, const char* text)
{
    const QString source = dir.filePath(QStringLiteral("__out.c"));
    QFile f(source);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write(text);
    f.close();
    const QString program = dir.filePath(QStringLiteral("prog"));
    QProcess gcc;
    gcc.start(QStringLiteral("gcc"), {QStringLiteral("-g"), QStringLiteral("-O0"), QStringLiteral("-o"), program, source});
    if (!gcc.waitForFinished(30000) || gcc.exitCode() != 0)
        return QString();
    return program;
}

BuiltPage pageIn(const QTemporaryDir& dir, const char* text)
{
    return BuiltPage{dir.filePath(QStringLiteral("__out.c")), QStringLiteral("main.c"), QString::fromUtf8(text)};
}

ReplayResult replay(const QTemporaryDir& dir, const QString& program, const char* input, int ms = 20000,
                    const std::atomic<bool>* stop = nullptr)
{
    ReplayRequest r;
    r.program = program;
    r.input = input;
    r.folder = dir.path();
    r.timeLimitMs = ms;
    r.outputLimit = 100000;
    return runReplay(r, stop);
}

}  // namespace

TEST(Replay, ExplainsEachKindOfValueNeverSet)
{
    if (!haveTools())
        GTEST_SKIP() << "gcc or valgrind is not installed";
    const ReplayExplainer explainer = ReplayExplainer::installed();
    QSet<QString> tested;
    for (const ReplayRow& row : ReplayRows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString program = build(dir, row.text);
        ASSERT_FALSE(program.isEmpty());
        const ReplayResult got = replay(dir, program, row.input);
        EXPECT_EQ(got.end, ReplayEnd::Finished);
        const std::optional<Explanation> e = explainer.explain(got.errors, pageIn(dir, row.text));
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("replay.xml"))));
        if (!*row.kind) {
            EXPECT_TRUE(got.errors.isEmpty());
            EXPECT_FALSE(e.has_value());
            continue;
        }
        ASSERT_TRUE(e.has_value());
        EXPECT_EQ(e->kind.toStdString(), row.kind);
        EXPECT_EQ(e->place.file, dir.filePath(QStringLiteral("__out.c")));
        EXPECT_EQ(e->place.line, row.line);
        EXPECT_EQ(e->text.toStdString(), row.explanation);
        tested.insert(e->kind);
    }
    // Every kind of memcheck's in the table has its row (fault-from-uninit: the next test).
    const std::optional<KindTable> table = parseKindTable(builtInKindTableText());
    ASSERT_TRUE(table);
    for (const ExplainedKind& k : table->kinds) {
        if (k.report && k.formats.first().startsWith(QStringLiteral("memcheck: ")) && k.name != u"fault-from-uninit") {
            EXPECT_TRUE(tested.contains(k.name)) << k.name.toStdString();
        }
    }
}

// A guarded fault on a line that used the garbage is told as that; one on a line
// that did not, or after the value was set, is not.
TEST(Replay, TellsAGuardedFaultThatUsedAValueNeverSet)
{
    if (!haveTools())
        GTEST_SKIP() << "gcc or valgrind is not installed";
    const char* text = R"_(#include <stdio.h>

int main(void)
{
    int total;
    for (int i = 0; i < 3; i++)
        total = total * 1000 + i;
    printf("%d\n", total);
    return 0;
}
)_";
    QTemporaryDir dir;
    const QString program = build(dir, text);
    ASSERT_FALSE(program.isEmpty());
    const ReplayResult got = replay(dir, program, "");
    const BuiltPage page = pageIn(dir, text);
    const ReplayExplainer explainer = ReplayExplainer::installed();
    Explanation overflow{0, QStringLiteral("signed-overflow"), MessagePlace{page.source, 7, 23, MessageKind::Error},
                         QStringLiteral("wider type")};
    const std::optional<Explanation> e = explainer.explainFault(overflow, got.errors, page);
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->kind, QStringLiteral("fault-from-uninit"));
    EXPECT_EQ(e->place, overflow.place);
    EXPECT_EQ(e->text.toStdString(),
              "main.c 7 行目: この行で使った total には、まだ値が入っていませんでした（total は 5 行目で宣言）。"
              "決まっていない（でたらめな）値を使ったためにこの誤りが起きています。型を変えるのではなく、使う前に total "
              "に値を入れてください。");
    // A run's fault: the guarded fault told as that, and the replay's own first
    // report at another line after it; a fault the value did not cause is kept.
    const std::optional<Explanation> first = explainer.explain(got.errors, page);
    ASSERT_TRUE(first.has_value());
    ASSERT_NE(first->place.line, 7);
    RunFault fault{{overflow}, QStringLiteral("report"), QString()};
    addReplayFindings(fault, explainer, got.errors, page);
    EXPECT_EQ(fault.explanations, (QList<Explanation>{*e, *first}));
    for (const int line : {6, 9}) {
        overflow.place.line = line;
        EXPECT_FALSE(explainer.explainFault(overflow, got.errors, page).has_value()) << line;
    }
    fault.explanations = {overflow};
    addReplayFindings(fault, explainer, {}, page);
    EXPECT_EQ(fault.explanations, QList<Explanation>{overflow}) << "a replay that saw nothing";
}

// A program that loops, floods its output or is stopped ends at once with nothing
// explained; a missing valgrind is told as missing.
TEST(Replay, EndsAtItsLimitsAndTellsAMissingValgrind)
{
    if (!haveTools())
        GTEST_SKIP() << "gcc or valgrind is not installed";
    const ReplayExplainer explainer = ReplayExplainer::installed();
    const struct {
        const char* text;
        ReplayEnd end;
        bool stop;
        int ms;  // the flood reaches its limit long before its time is up, even on a busy machine
    } rows[] = {
        {"int main(void)\n{\n    for (;;) {}\n}\n", ReplayEnd::TimeLimit, false, 1500},
        {"#include <stdio.h>\nint main(void)\n{\n    for (;;) puts(\"many lines\");\n}\n", ReplayEnd::OutputLimit, false,
         60000},
        {"int main(void)\n{\n    for (;;) {}\n}\n", ReplayEnd::Stopped, true, 1500},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        QTemporaryDir dir;
        const QString program = build(dir, row.text);
        ASSERT_FALSE(program.isEmpty());
        const std::atomic<bool> stop{row.stop};
        QElapsedTimer clock;
        clock.start();
        const ReplayResult got = replay(dir, program, "", row.ms, &stop);
        EXPECT_LT(clock.elapsed(), row.ms + 8000);
        EXPECT_EQ(got.end, row.end);
        EXPECT_FALSE(explainer.explain(got.errors, pageIn(dir, row.text)).has_value());
    }
    QTemporaryDir dir;
    ReplayRequest missing;
    missing.valgrind = dir.filePath(QStringLiteral("no-such/valgrind"));
    missing.program = QStringLiteral("/bin/true");
    missing.folder = dir.path();
    EXPECT_EQ(runReplay(missing).end, ReplayEnd::Missing);
}

// memcheck's report as it is written: a report of another kind is left out, one cut
// off keeps the reports it finished, and bytes that are no report give none.
TEST(Replay, ReadsMemcheckReports)
{
    QFile f(QStringLiteral(NOLLEX_SOURCE_DIR "/fuzz/corpus/replay/member.xml"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray xml = f.readAll();
    const QList<ReplayError> all = parseMemcheckXml(xml);
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].kind, QStringLiteral("UninitCondition"));
    EXPECT_EQ(all[0].origin, QStringLiteral("stack"));
    ASSERT_EQ(all[0].stack.size(), 3);
    EXPECT_EQ(all[0].stack[2], (ReplayFrame{QStringLiteral("main"), QStringLiteral("__out.c"), 9}));
    EXPECT_EQ(all[0].originStack, (QList<ReplayFrame>{{QStringLiteral("main"), QStringLiteral("__out.c"), 6}}));
    EXPECT_EQ(all[1].what, QStringLiteral("Use of uninitialised value of size 8"));

    const qsizetype second = xml.indexOf("<error>", xml.indexOf("</error>"));
    ASSERT_GT(second, 0);
    EXPECT_EQ(parseMemcheckXml(xml.left(second + 200)), all.mid(0, 1));

    QByteArray other = xml;
    other.replace("<kind>UninitCondition</kind>", "<kind>InvalidRead</kind>");
    EXPECT_EQ(parseMemcheckXml(other), all.mid(1));
    EXPECT_TRUE(parseMemcheckXml("<error><kind>UninitValue</kind><stack/></error>").isEmpty());
}
