// The reader of gdb's machine-interface lines, on lines gdb 13 printed while
// stepping a small program: the faults are a record misread (kind, token, class,
// a value in the wrong place or badly decoded), a broken line taken for a record
// or crashing the reader, and the stop, stack and variable facts misread.
#include "debug/MiFacts.h"

#include <QElapsedTimer>
#include <QStringDecoder>

#include <gtest/gtest.h>

using namespace nollex;

namespace {

// The value at a path: names of fields, and numbers for the nth item of a list
// (or the nth result of a list of results), joined by '/'.
const MiValue* at(const MiValue& root, const QString& path)
{
    const MiValue* v = &root;
    for (const QString& step : path.split(u'/', Qt::SkipEmptyParts)) {
        bool isIndex = false;
        const int n = step.toInt(&isIndex);
        if (!isIndex)
            v = v->field(step);
        else if (!v->items.isEmpty())
            v = n < v->items.size() ? &v->items[n] : nullptr;
        else
            v = n < v->fields.size() ? &v->fields[n].second : nullptr;
        if (!v)
            return nullptr;
    }
    return v;
}

struct LineRow {
    const char* name;
    const char* line;
    MiKind kind;
    qint64 token;
    const char* cls;
    const char* path;  // a string among the results ("" for a stream's text)
    const char* text;  // its decoded text
};

const LineRow Lines[] = {
    {"prompt", "(gdb) ", MiKind::Prompt, -1, "", "", ""},
    {"done", "^done", MiKind::Result, -1, "done", "", ""},
    {"running with a token", "12^running", MiKind::Result, 12, "running", "", ""},
    {"error with quotes", R"(^error,msg="No symbol \"nosuch\" in current context.")", MiKind::Result, -1,
     "error", "msg", R"(No symbol "nosuch" in current context.)"},
    {"exit", "^exit", MiKind::Result, -1, "exit", "", ""},
    {"exec running", R"(*running,thread-id="all")", MiKind::Exec, -1, "running", "thread-id", "all"},
    {"stopped at a breakpoint",
     R"(*stopped,reason="breakpoint-hit",disp="keep",bkptno="1",frame={addr="0x00005555555553a0",func="main",args=[{name="argc",value="1"}],file="t.cpp",fullname="/tmp/mi/t.cpp",line="12",arch="i386:x86-64"},thread-id="1",stopped-threads="all",core="1")",
     MiKind::Exec, -1, "stopped", "frame/args/0/value", "1"},
    {"status", R"(+download,section=".text",section-size="6668")", MiKind::Status, -1, "download", "section", ".text"},
    {"notify", R"(=thread-group-added,id="i1")", MiKind::Notify, -1, "thread-group-added", "id", "i1"},
    {"list of tuples",
     R"(=library-loaded,id="/lib/x86_64-linux-gnu/libc.so.6",symbols-loaded="0",thread-group="i1",ranges=[{from="0x00007ffff7a44380",to="0x00007ffff7b9822d"}])",
     MiKind::Notify, -1, "library-loaded", "ranges/0/to", "0x00007ffff7b9822d"},
    {"console", R"(~"Reading symbols from ./t...\n")", MiKind::Console, -1, "", "", "Reading symbols from ./t...\n"},
    {"console piece", R"(~"\nProgram")", MiKind::Console, -1, "", "", "\nProgram"},
    {"console tab", R"(~"12\t    int r = sq(3);\n")", MiKind::Console, -1, "", "", "12\t    int r = sq(3);\n"},
    {"target", R"(@"hello\r\n")", MiKind::Target, -1, "", "", "hello\r\n"},
    {"log", R"(&"Undefined command: \"bogus\".  Try \"help\".\n")", MiKind::Log, -1, "", "",
     "Undefined command: \"bogus\".  Try \"help\".\n"},
    {"japanese path in octal, token, list of values",
     R"(7^done,bkpt={number="1",type="breakpoint",func="main",file="e.c",fullname="/tmp/mi/\346\227\245\346\234\254 \350\252\236/e.c",line="2",thread-groups=["i1"],times="0"})",
     MiKind::Result, 7, "done", "bkpt/fullname", "/tmp/mi/日本 語/e.c"},
    {"list of values",
     R"(^done,bkpt={number="1",thread-groups=["i1","i2"],times="0"})", MiKind::Result, -1, "done",
     "bkpt/thread-groups/1", "i2"},
    {"string value with escapes inside",
     R"(^done,variables=[{name="argc",arg="1",value="1"},{name="s",value="\"\346\227\245\346\234\254\\t\\\"q\\\"\""}])",
     MiKind::Result, -1, "done", "variables/1/value", R"("日本\t\"q\"")"},
    {"struct, array and vector values",
     R"(^done,variables=[{name="p",value="{x = 1, y = 2.5}"},{name="a",value="{1, 2, 3}"},{name="v",value="std::vector of length 3, capacity 3 = {4, 5, 6}"}])",
     MiKind::Result, -1, "done", "variables/2/value", "std::vector of length 3, capacity 3 = {4, 5, 6}"},
    {"list of results",
     R"(^done,stack=[frame={level="0",func="std::vector<int, std::allocator<int> >::size",line="988"},frame={level="1",func="main",file="t.cpp",line="13"}])",
     MiKind::Result, -1, "done", "stack/1/func", "main"},
    {"empty tuple and list, nested",
     R"(^done,BreakpointTable={nr_rows="0",hdr=[{width="7",col_name="number"}],body=[]},x={})", MiKind::Result, -1,
     "done", "BreakpointTable/hdr/0/col_name", "number"},
    {"octal control byte and escape", R"(~"\033[0m\e\a")", MiKind::Console, -1, "", "", "\033[0m\033\a"},
    // Not well formed: the raw line comes back as an unknown record.
    {"empty", "", MiKind::Unknown, -1, "", "", ""},
    {"program output", "こんにちは", MiKind::Unknown, -1, "", "", "こんにちは"},
    {"cut in a string", R"(^done,msg="No symbol)", MiKind::Unknown, -1, "", "", R"(^done,msg="No symbol)"},
    {"cut after a backslash", R"(~"abc\)", MiKind::Unknown, -1, "", "", R"(~"abc\)"},
    {"unbalanced brace", R"(*stopped,frame={line="1")", MiKind::Unknown, -1, "", "", R"(*stopped,frame={line="1")"},
    {"extra brace", R"(*stopped,frame={line="1"}})", MiKind::Unknown, -1, "", "", R"(*stopped,frame={line="1"}})"},
    {"values and results mixed", R"(^done,x=[a="1","2"])", MiKind::Unknown, -1, "", "", R"(^done,x=[a="1","2"])"},
    {"name without value", "^done,x", MiKind::Unknown, -1, "", "", "^done,x"},
    {"no class", "^,x=\"1\"", MiKind::Unknown, -1, "", "", "^,x=\"1\""},
    {"token before a stream", R"(5~"x")", MiKind::Unknown, -1, "", "", R"(5~"x")"},
    {"text after a stream", R"(~"x"y)", MiKind::Unknown, -1, "", "", R"(~"x"y)"},
    {"octal past a byte", R"(~"\777")", MiKind::Unknown, -1, "", "", R"(~"\777")"},
    {"token too long", "99999999999999999999^done", MiKind::Unknown, -1, "", "", "99999999999999999999^done"},
    {"random bytes", "\x01\xff\xfe^\x7f{[\"", MiKind::Unknown, -1, "", "", "\x01\xff\xfe^\x7f{[\""},
};

}  // namespace

TEST(MiLine, Table)
{
    for (const LineRow& row : Lines) {
        const QString line = QString::fromUtf8(row.line);
        const MiRecord r = parseMiLine(line);
        EXPECT_EQ(r.kind, row.kind) << row.name;
        EXPECT_EQ(r.token, row.token) << row.name;
        EXPECT_EQ(r.cls, QString::fromUtf8(row.cls)) << row.name;
        if (*row.path) {
            const MiValue* v = at(r.results, QString::fromUtf8(row.path));
            ASSERT_TRUE(v) << row.name;
            EXPECT_EQ(v->kind, MiValue::Kind::String) << row.name;
            EXPECT_EQ(v->text, QString::fromUtf8(row.text)) << row.name;
        } else {
            EXPECT_EQ(r.stream, QString::fromUtf8(row.text)) << row.name;
        }
        // The same line with the CR of a CR LF line end reads the same.
        EXPECT_EQ(parseMiLine(line + u'\r').kind, row.kind) << row.name;
    }
}

// A big vector's value is a line of a megabyte, and a hostile line may nest
// without end: both are read in linear time and without exhausting the stack.
TEST(MiLine, LongAndDeepLines)
{
    QString big = QStringLiteral("^done,value=\"{");
    for (int i = 0; i < 100000; ++i)
        big += QStringLiteral("1234, \\\"\\346\\227\\245, ");
    big += QStringLiteral("}\",list=[");
    for (int i = 0; i < 50000; ++i)
        big += QStringLiteral("{name=\"v\"},");
    big += QStringLiteral("{}]");
    const QString deep = QStringLiteral("^done,x=") + QString(1 << 20, u'[');
    QElapsedTimer timer;
    timer.start();
    const MiRecord r = parseMiLine(big);
    EXPECT_EQ(r.kind, MiKind::Result);
    EXPECT_EQ(r.results.string(u"value"), u'{' + QStringLiteral("1234, \"日, ").repeated(100000) + u'}');
    ASSERT_TRUE(r.results.field(u"list"));
    EXPECT_EQ(r.results.field(u"list")->items.size(), 50001);
    EXPECT_EQ(parseMiLine(deep).kind, MiKind::Unknown);
#ifdef NOLLEX_SANITIZED
    constexpr int kSlowdown = 5;
#else
    constexpr int kSlowdown = 1;
#endif
    EXPECT_LT(timer.elapsed(), 2000 * kSlowdown);
}

namespace {

struct StopRow {
    const char* name;
    const char* line;
    bool stopped;
    const char* reason;
    const char* file;
    int line_;
    const char* func;
    int signal;
    int exitCode;
};

const StopRow Stops[] = {
    {"breakpoint",
     R"(*stopped,reason="breakpoint-hit",disp="keep",bkptno="1",frame={addr="0x00005555555553a0",func="main",args=[{name="argc",value="1"}],file="t.cpp",fullname="/tmp/mi/t.cpp",line="12",arch="i386:x86-64"},thread-id="1",stopped-threads="all",core="1")",
     true, "breakpoint-hit", "t.cpp", 12, "main", 0, -1},
    {"step into a library header",
     R"(*stopped,reason="end-stepping-range",frame={addr="0x00005555555556f8",func="std::vector<int, std::allocator<int> >::size",args=[{name="this",value="0x7fffffffe510"}],file="/usr/include/c++/12/bits/stl_vector.h",fullname="/usr/include/c++/12/bits/stl_vector.h",line="988",arch="i386:x86-64"},thread-id="1",stopped-threads="all",core="1")",
     true, "end-stepping-range", "/usr/include/c++/12/bits/stl_vector.h", 988,
     "std::vector<int, std::allocator<int> >::size", 0, -1},
    {"finish",
     R"(*stopped,reason="function-finished",frame={addr="0x00005555555553ce",func="main",args=[{name="argc",value="1"}],file="t.cpp",fullname="/tmp/mi/t.cpp",line="13",arch="i386:x86-64"},gdb-result-var="$1",return-value="3",thread-id="1",stopped-threads="all",core="1")",
     true, "function-finished", "t.cpp", 13, "main", 0, -1},
    {"segmentation fault",
     R"(*stopped,reason="signal-received",signal-name="SIGSEGV",signal-meaning="Segmentation fault",frame={addr="0x000055555555540d",func="main",args=[{name="argc",value="2"}],file="t.cpp",fullname="/tmp/mi/t.cpp",line="14",arch="i386:x86-64"},thread-id="1",stopped-threads="all",core="0")",
     true, "signal-received", "t.cpp", 14, "main", 11, -1},
    {"killed by the signal", R"(*stopped,reason="exited-signalled",signal-name="SIGSEGV",signal-meaning="Segmentation fault")",
     true, "exited-signalled", "", 0, "", 11, -1},
    {"abort", R"(*stopped,reason="signal-received",signal-name="SIGABRT",signal-meaning="Aborted",frame={func="__pthread_kill_implementation",file="./nptl/pthread_kill.c",line="44"})",
     true, "signal-received", "./nptl/pthread_kill.c", 44, "__pthread_kill_implementation", 6, -1},
    {"exited normally", R"(*stopped,reason="exited-normally")", true, "exited-normally", "", 0, "", 0, 0},
    {"exit code 3", R"(*stopped,reason="exited",exit-code="03")", true, "exited", "", 0, "", 0, 3},
    {"exit code 10 in octal", R"(*stopped,reason="exited",exit-code="012")", true, "exited", "", 0, "", 0, 10},
    {"running is no stop", R"(*running,thread-id="all")", false, "", "", 0, "", 0, -1},
    {"a result is no stop", R"(^done,reason="exited")", false, "", "", 0, "", 0, -1},
};

}  // namespace

TEST(MiFacts, Stops)
{
    for (const StopRow& row : Stops) {
        const std::optional<StopFacts> f = stopFacts(parseMiLine(QString::fromUtf8(row.line)));
        ASSERT_EQ(f.has_value(), row.stopped) << row.name;
        if (!f)
            continue;
        EXPECT_EQ(f->reason, QString::fromUtf8(row.reason)) << row.name;
        EXPECT_EQ(f->file, QString::fromUtf8(row.file)) << row.name;
        EXPECT_EQ(f->line, row.line_) << row.name;
        EXPECT_EQ(f->func, QString::fromUtf8(row.func)) << row.name;
        EXPECT_EQ(f->signal, row.signal) << row.name;
        EXPECT_EQ(f->exitCode, row.exitCode) << row.name;
    }
}

// Frames in order with their places; a library frame without a source file has
// none; anything other than a stack gives no frames.
TEST(MiFacts, StackFrames)
{
    const QList<FrameFacts> frames = stackFrames(parseMiLine(QStringLiteral(
        R"(^done,stack=[frame={level="0",addr="0x00005555555556f8",func="std::vector<int, std::allocator<int> >::size",file="/usr/include/c++/12/bits/stl_vector.h",fullname="/usr/include/c++/12/bits/stl_vector.h",line="988",arch="i386:x86-64"},)"
        R"(frame={level="1",addr="0x00005555555553ce",func="main",file="t.cpp",fullname="/tmp/mi/\346\227\245\346\234\254/t.cpp",line="13",arch="i386:x86-64"},)"
        R"(frame={level="2",addr="0x00007ffff7df918a",func="__libc_start_call_main",from="/lib/x86_64-linux-gnu/libc.so.6",arch="i386:x86-64"}])")));
    ASSERT_EQ(frames.size(), 3);
    EXPECT_EQ(frames[0].line, 988);
    EXPECT_EQ(frames[1].level, 1);
    EXPECT_EQ(frames[1].func, QStringLiteral("main"));
    EXPECT_EQ(frames[1].file, QStringLiteral("t.cpp"));
    EXPECT_EQ(frames[1].fullname, QStringLiteral("/tmp/mi/日本/t.cpp"));
    EXPECT_EQ(frames[1].line, 13);
    EXPECT_EQ(frames[2].level, 2);
    EXPECT_TRUE(frames[2].file.isEmpty());
    EXPECT_EQ(frames[2].line, 0);
    EXPECT_TRUE(stackFrames(parseMiLine(QStringLiteral(R"(^done,variables=[])"))).isEmpty());
    EXPECT_TRUE(stackFrames(parseMiLine(QStringLiteral(R"(*stopped,stack=[frame={level="0"}])"))).isEmpty());
}

// With simple values a compound variable has its type but no value; text values
// come decoded, Japanese included.
TEST(MiFacts, Variables)
{
    const QList<VariableFacts> vars = variables(parseMiLine(QStringLiteral(
        R"(^done,variables=[{name="argc",arg="1",type="int",value="1"},{name="p",type="P"},{name="a",type="int [3]"},)"
        R"({name="v",type="std::vector<int, std::allocator<int> >"},{name="s",type="std::string"},)"
        R"({name="msg",type="const char *",value="0x555555557013 \"\343\201\223\343\202\223\343\201\253\343\201\241\343\201\257\\n\""},{name="r",type="int",value="9"}])")));
    ASSERT_EQ(vars.size(), 7);
    EXPECT_EQ(vars[0].name, QStringLiteral("argc"));
    EXPECT_EQ(vars[0].value, QStringLiteral("1"));
    EXPECT_EQ(vars[2].type, QStringLiteral("int [3]"));
    EXPECT_TRUE(vars[2].value.isEmpty());
    EXPECT_EQ(vars[5].value, QStringLiteral(R"(0x555555557013 "こんにちは\n")"));
    EXPECT_EQ(vars[6].type, QStringLiteral("int"));
    EXPECT_TRUE(variables(parseMiLine(QStringLiteral(R"(^done,stack=[])"))).isEmpty());
}

// A quoted argument is one MI string that gdb reads back as the same text; the
// Japanese path is the form gdb 13 accepted for a breakpoint.
TEST(MiFacts, Quoted)
{
    const struct {
        const char* text;
        const char* quoted;
    } rows[] = {
        {"t.cpp", R"("t.cpp")"},
        {"/tmp/mi/日本 語/e.c:2", R"("/tmp/mi/\346\227\245\346\234\254 \350\252\236/e.c:2")"},
        {"a\"b\\c", R"("a\"b\\c")"},
        {"line\nend\ttab", R"("line\012end\011tab")"},
        {"", R"("")"},
        {"\xEF\xBB\xBF" "bom first", R"("\357\273\277bom first")"},
    };
    for (const auto& row : rows) {
        // Keeping a leading byte order mark, which QString::fromUtf8 drops.
        const QString text = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom)(row.text);
        EXPECT_EQ(miQuoted(text), QString::fromUtf8(row.quoted)) << row.text;
        EXPECT_EQ(parseMiLine(QStringLiteral("^done,x=") + miQuoted(text)).results.string(u"x"), text) << row.text;
    }
}
