// Nollex benchmarks: each scenario runs the real program, window or stand-in a
// number of times and the table shows the median of the runs against its target.
//
//   nollex_bench [--only NAME[,NAME...]] [--quick | --runs N] [--out FILE]
//
// --quick takes a quarter of the runs; --runs N takes N of each (for profiling).
// NAME: startup, memory, open, background, keystroke, journal, find, replace, format, execute,
// compiler, guard, messages, explain, samples, debug, close.
// Runs on the Qt platform of the environment (the script gives it a virtual X
// server); the program under test is the nollex beside this build.

#include "Harness.h"
#include "Workloads.h"

#include "app/TForm1.h"
#include "app/journal/JournalKeeper.h"
#include "app/debug/DebugPanel.h"
#include "app/completion/CompletionAssist.h"
#include "app/edit/EditTools.h"
#include "app/samples/SampleRunner.h"
#include "compile/MessagePlace.h"
#include "debug/DebugSession.h"
#include "editor/CaretPos.h"
#include "editor/FileCommands.h"
#include "editor/Find.h"
#include "editor/UndoToggle.h"
#include "explain/Explainer.h"
#include "journal/JournalFolder.h"
#include "journal/JournalWriter.h"
#include "options/CompileOptionSet.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/WinCommandLine.h"
#include "samples/CaseRunner.h"
#include "samples/SampleCases.h"
#include "samples/Verdict.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <Qsci/qsciscintilla.h>
#include <QPlainTextEdit>
#include <QSignalSpy>

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include <cstdio>
#include <memory>
#include <optional>

using namespace nollex;
using namespace nollex::bench;

namespace {

constexpr qint64 KB = 1024;
constexpr qint64 MB = 1024 * 1024;

// Answers every question without a window: the files queued for the next Open,
// "No" to a question, OK to a message; counts what was asked.
// Open to the end of a page's background work, in ms, the page shown from its top.
// The component colours each slice of lines just before it wraps it, from the top,
// so with nothing painted further down the page is wrapped once it is all coloured;
// then the program goes idle.
std::optional<double> backgroundWorkDone(TCustomizedMemo& memo, const Clock::time_point t0)
{
    while (memo.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED) < memo.SendScintilla(QsciScintillaBase::SCI_GETLENGTH)) {
        QCoreApplication::sendPostedEvents();
        QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents);
        if (msSince(t0) > 60000)
            return std::nullopt;
    }
    const double coloured = msSince(t0);
    const std::optional<double> rest = untilIdle(60000);
    if (!rest)
        return std::nullopt;
    return coloured + *rest;
}

class BenchDialogs : public Dialogs {
public:
    QStringList nextOpen;
    int messages = 0;
    QString lastMessage;

    MsgAnswer message(const QString&, const QString& text, MsgButtons buttons, MsgIcon) override
    {
        ++messages;
        lastMessage = text;
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    }
    QStringList openFiles(const OpenFileRequest&) override { return std::exchange(nextOpen, {}); }
    std::optional<QString> saveFile(const SaveFileRequest&) override { return std::nullopt; }
    std::optional<QColor> color(const QColor&) override { return std::nullopt; }
    std::optional<FontChoice> font(const FontChoice&,
                                   const std::function<void(const FontChoice&)>&) override
    {
        return std::nullopt;
    }
    std::optional<QString> input(const InputRequest&) override { return std::nullopt; }
    std::optional<SampleCaseText> sampleCase(const QString&) override { return std::nullopt; }
};

struct Options {
    QStringList only;
    bool quick = false;
    int runs = 0;  // 0: each scenario's own number
    QString out;
};

// The machine's one-minute load average: other work shares the processors.
QString loadAverage()
{
    return QString::fromLatin1(readFile(QStringLiteral("/proc/loadavg")).split(' ').value(0));
}

class Bench {
public:
    explicit Bench(Options options) : options_(std::move(options)) {}

    int run();

private:
    bool wanted(const char* name) const
    {
        return options_.only.isEmpty() || options_.only.contains(QLatin1String(name));
    }
    int runs(int full) const
    {
        if (options_.runs > 0)
            return options_.runs;
        return options_.quick ? std::max(3, full / 4) : full;
    }
    QString binary(const QString& name) const { return QStringLiteral(NOLLEX_BINARY_DIR "/") + name; }
    QString folder(const QString& name) const;
    QString programFolder(const QString& name, bool withNollex);
    std::optional<double> startupOnce(const QString& program, long* residentKb = nullptr);
    QString pageFiles(const QString& name, int count, qint64 bytes, QStringList& files);
    bool checkRestore(const QString& program, int pages);

    void startup();
    void memory();
    void openAndEdit();
    void findAgain();
    TCustomizedMemo* openSettled(TForm1& form, BenchDialogs& dialogs, const QString& path);
    void replaceAll();
    void format();
    void completion(bool cpp);
    void completionRows(TForm1& form, TCustomizedMemo& memo, const QString& what);
    void execute();
    void compilerOverhead();
    void guardedRun();
    Row replayRow(const QString& tools, const QString& work, const QString& source, const QString& replay, bool valgrind);
    void messageMarks();
    void explanations();
    void sampleRuns();
    void debugger();
    void outputCapWhileTyping();
    void closing();

    Options options_;
    QTemporaryDir root_;
    Table table_;
    PaintCounter paints_;
};

QString Bench::folder(const QString& name) const
{
    const QString path = QDir(root_.path()).absoluteFilePath(name) + u'/';
    QDir().mkpath(path);
    return path;
}

// A system folder of its own: the program (copied, as it finds Nollex.ini beside
// its real file) and the two stand-ins.
QString Bench::programFolder(const QString& name, bool withNollex)
{
    const QString path = folder(name);
    QStringList tools{QStringLiteral("cmd.exe"), QStringLiteral("bcc32.exe"), QStringLiteral("nollex-case")};
    if (withNollex)
        tools << QStringLiteral("nollex");
    for (const QString& tool : tools) {
        if (!QFile::exists(path + tool) && !QFile::copy(binary(tool), path + tool))
            throw std::runtime_error("cannot copy " + binary(tool).toStdString());
    }
    return path;
}

// Start to first paint of the real program, in ms; its peak resident size in KB.
std::optional<double> Bench::startupOnce(const QString& program, long* residentKb)
{
    const ChildRun run = runChild({program + QStringLiteral("nollex")}, program,
                                  {QStringLiteral("NOLLEX_EXIT_AFTER_SHOW=1")});
    if (residentKb)
        *residentKb = run.maxResidentKb;
    for (const QByteArray& line : run.output.split('\n')) {
        if (line.startsWith("shown ")) {
            const qint64 shownNs = line.mid(6).toLongLong();
            const qint64 startNs =
                std::chrono::duration_cast<std::chrono::nanoseconds>(run.started.time_since_epoch())
                    .count();
            return (shownNs - startNs) / 1e6;
        }
    }
    return std::nullopt;
}

// count source files of bytes each in a folder of their own.
QString Bench::pageFiles(const QString& name, int count, qint64 bytes, QStringList& files)
{
    const QString dir = folder(name);
    const QByteArray text = sourceText(int(bytes / 35), bytes);
    for (int i = 0; i < count; ++i) {
        files << dir + QStringLiteral("page%1.cpp").arg(i);
        writeFile(files.back(), text);
    }
    return dir;
}

// The settings really restore the pages (checked in this process, untimed).
bool Bench::checkRestore(const QString& program, int pages)
{
    BenchDialogs dialogs;
    TForm1 form({dialogs, program});
    form.show();
    settle(&paints_, paints_.count());
    const bool ok = form.Memos->LastIndex() == pages - 1 && !form.Memos->fileNames().last().isEmpty() &&
                    form.Memos->ActiveMemo()->characterCount() > 1000 &&
                    dialogs.messages == 0;
    form.hide();
    return ok;
}

void Bench::startup()
{
    const QString bare = programFolder(QStringLiteral("start-bare"), true);
    Row row{QStringLiteral("Start-up: process start to the main window shown, no Nollex.ini"),
            QStringLiteral("≤ 150 ms"), 150};
    for (int i = -2; i < runs(15); ++i) {
        QFile::remove(bare + QStringLiteral("Nollex.ini"));
        const std::optional<double> ms = startupOnce(bare);
        if (!ms) {
            row.error = QStringLiteral("the program did not report its first paint");
            break;
        }
        if (i >= 0)
            row.samples.push_back(*ms);
    }
    table_.add(row);

    const QString ten = programFolder(QStringLiteral("start-10"), true);
    QStringList files;
    pageFiles(QStringLiteral("pages-10"), 10, 100 * KB, files);
    writeFile(ten + QStringLiteral("Nollex.ini"), settingsText(files));
    Row restored{QStringLiteral("Start-up with a Nollex.ini restoring 10 pages of 100 KB each"),
                 QStringLiteral("≤ 300 ms"), 300};
    if (!checkRestore(ten, 10))
        restored.error = QStringLiteral("the settings did not restore the 10 pages");
    for (int i = -1; i < runs(15) && restored.error.isEmpty(); ++i) {
        const std::optional<double> ms = startupOnce(ten);
        if (!ms)
            restored.error = QStringLiteral("the program did not report its first paint");
        else if (i >= 0)
            restored.samples.push_back(*ms);
    }
    table_.add(restored);

    // A start after a crash: the journal of 10 untitled pages of 100 KB each goes back
    // into its pages, against the start that opens as much text without one (the row
    // above). Made anew before each start, as the start restores it.
    const QString crashed = programFolder(QStringLiteral("start-journal"), true);
    const QByteArray text = sourceText(3000, 100 * KB);
    Row journalled{QStringLiteral("Start-up restoring a journal of 10 pages of 100 KB each"),
                   QStringLiteral("≤ 1.2 × the same pages without"), 0};
    for (int i = -1; i < runs(15) && journalled.error.isEmpty(); ++i) {
        QFile::remove(crashed + QStringLiteral("Nollex.ini"));
        QDir().mkpath(crashed + QStringLiteral("journal"));
        QString error;
        if (auto held = JournalFolder::create(crashed + QStringLiteral("journal"), &error)) {
            JournalWriter writer([](const std::optional<QString>&) {});
            QHash<int, JournalEntry> pages;
            for (int p = 0; p < 10; ++p)
                pages.insert(p + 1, JournalEntry{QString(), TextFormat{}, FileStamp{}, 0, p, text});
            writer.submit(held->path(), pages, {});
        }
        const std::optional<double> ms = startupOnce(crashed);
        if (!ms)
            journalled.error = QStringLiteral("the program did not report its first paint");
        else if (i >= 0)
            journalled.samples.push_back(*ms);
    }
    if (journalled.error.isEmpty() && !restored.samples.empty()) {
        journalled.limit = 1.2 * median(restored.samples);
        journalled.note =
            QStringLiteral("%1 × without").arg(median(journalled.samples) / median(restored.samples), 0, 'f', 2);
    }
    table_.add(journalled);
}

void Bench::memory()
{
    const QString program = programFolder(QStringLiteral("memory-20"), true);
    QStringList files;
    pageFiles(QStringLiteral("pages-20"), 20, 500 * KB, files);
    writeFile(program + QStringLiteral("Nollex.ini"), settingsText(files));
    Row row{QStringLiteral("Memory with 20 pages of 500 KB each (peak resident, shown)"),
            QStringLiteral("≤ 250 MB"), 250, QStringLiteral("MB")};
    if (!checkRestore(program, 20))
        row.error = QStringLiteral("the settings did not restore the 20 pages");
    for (int i = 0; i < runs(5) && row.error.isEmpty(); ++i) {
        long kb = 0;
        if (!startupOnce(program, &kb))
            row.error = QStringLiteral("the program did not report its first paint");
        row.samples.push_back(kb / 1024.0);
    }
    table_.add(row);
}

// Opening the 10 MB file in both encodings, then keystrokes and Find in it.
void Bench::openAndEdit()
{
    const QString work = folder(QStringLiteral("big"));
    const QByteArray utf8 = sourceText(300000, 10 * MB);
    const QString utf8Path = work + QStringLiteral("big_utf8.cpp");
    const QString sjisPath = work + QStringLiteral("big_sjis.cpp");
    writeFile(utf8Path, utf8);
    writeFile(sjisPath, toShiftJis(utf8));

    BenchDialogs dialogs;
    TForm1 form({dialogs, programFolder(QStringLiteral("edit"), false)});
    form.show();
    settle(&paints_, paints_.count());

    auto openTimed = [&](const QString& path) -> std::optional<double> {
        dialogs.nextOpen = {path};
        const long before = paints_.count();
        const Clock::time_point t0 = Clock::now();
        form.Open1Click();
        const bool shown = firstPaint(&paints_, before);
        const double ms = msSince(t0);
        if (!shown || form.Memos->ActiveMemo()->lines() != 300001)
            return std::nullopt;
        return ms;
    };
    // Open to the end of the page's background work (wrapping, colouring), in ms.
    auto backgroundDone = [&](const Clock::time_point t0) -> std::optional<double> {
        return backgroundWorkDone(*form.Memos->ActiveMemo(), t0);
    };
    auto closeActive = [&] {
        form.Close1Click();
        settle();
    };

    if (wanted("open")) {
        Row u{QStringLiteral("Open a 10 MB, 300,000-line UTF-8 source into a page, until it is shown"),
              QStringLiteral("≤ 200 ms"), 200};
        Row s{QStringLiteral("The same file in Shift-JIS"), QStringLiteral("≤ 1.2 × UTF-8"), 0};
        for (int i = -1; i < runs(7); ++i) {
            const std::optional<double> a = openTimed(utf8Path);
            closeActive();
            const std::optional<double> b = openTimed(sjisPath);
            closeActive();
            if (!a || !b) {
                u.error = s.error = QStringLiteral("the page did not show the whole file");
                break;
            }
            if (i >= 0) {
                u.samples.push_back(*a);
                s.samples.push_back(*b);
            }
        }
        // What the editing component itself needs to take that text, bare and
        // unshown: the floor under the figure above.
        Row floor{QStringLiteral("Reference: the bare editing component taking the same text"),
                  QString(), 0};
        for (int i = 0; i < runs(5); ++i) {
            QsciScintilla bare;
            bare.setUtf8(true);
            const Clock::time_point t0 = Clock::now();
            bare.SendScintilla(QsciScintillaBase::SCI_SETTEXT, 0UL, utf8.constData());
            floor.samples.push_back(msSince(t0));
        }
        if (u.error.isEmpty()) {
            s.limit = 1.2 * median(u.samples);
            s.note = QStringLiteral("%1 × UTF-8").arg(median(s.samples) / median(u.samples), 0, 'f', 2);
        }
        table_.add(u);
        table_.add(floor);
        table_.add(s);
    }

    if (wanted("background")) {
        // While the page wraps and colours in the background, a key typed into it
        // waits at most for one slice of that work.
        Row work{QStringLiteral("That page's background work (wrapping, colouring, marks), open to done"),
                 QStringLiteral("≤ 1.5 s"), 1500};
        Row key{QStringLiteral("A key typed into that page while its background work runs (slowest of 20 per run)"),
                QStringLiteral("≤ 30 ms"), 30};
        std::vector<double> cpu;
        for (int i = 0; i < runs(3); ++i) {
            // The work alone, open to idle; then the keys, on the page opened anew
            // (20 keys 150 ms apart end well before its work does).
            dialogs.nextOpen = {utf8Path};
            const Clock::time_point opened = Clock::now();
            const double cpu0 = threadCpuMs();
            form.Open1Click();
            const std::optional<double> done = backgroundDone(opened);
            cpu.push_back(threadCpuMs() - cpu0);
            closeActive();
            dialogs.nextOpen = {utf8Path};
            form.Open1Click();
            TCustomizedMemo* memo = form.Memos->ActiveMemo();
            memo->setFocus();
            double slowest = 0;
            int typed = 0;
            for (int k = 0; k < 20; ++k) {
                // Posted as the window system delivers it, behind whatever is queued.
                const int length = memo->characterCount();
                const Clock::time_point k0 = Clock::now();
                QCoreApplication::postEvent(memo, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
                QCoreApplication::postEvent(memo, new QKeyEvent(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
                const long before = paints_.count();
                while (memo->characterCount() == length || paints_.count() == before) {
                    QCoreApplication::sendPostedEvents();
                    QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents);
                    if (msSince(k0) > 5000)
                        break;
                }
                slowest = std::max(slowest, msSince(k0));
                ++typed;
                // Keys come a while apart, as typing does.
                const Clock::time_point pause = Clock::now();
                while (msSince(pause) < 150) {
                    QCoreApplication::sendPostedEvents();
                    QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents);
                }
            }
            if (!done || typed == 0) {
                work.error = key.error = QStringLiteral("the background work did not end, or no key was typed");
                break;
            }
            work.samples.push_back(*done);
            key.samples.push_back(slowest);
            memo->setModified(false);
            closeActive();
        }
        // The processor time of the window's thread, which other work on the
        // machine does not lengthen as it does the time on the clock.
        if (!cpu.empty())
            work.note = QStringLiteral("%1 ms of processor time").arg(median(cpu), 0, 'f', 0);
        table_.add(work);
        table_.add(key);
    }

    if (!wanted("keystroke") && !wanted("find") && !wanted("journal"))
        return;
    if (!openTimed(utf8Path))
        throw std::runtime_error("the 10 MB page did not open");
    TCustomizedMemo* memo = form.Memos->ActiveMemo();
    const int page = form.Memos->ActiveIndex();
    const QString caption = form.Memos->caption(page);
    // Timed once the background work is done.
    backgroundDone(Clock::now());
    memo->SendScintilla(QsciScintillaBase::SCI_GOTOLINE, 150000UL);
    memo->SendScintilla(QsciScintillaBase::SCI_VERTICALCENTRECARET);
    memo->setFocus();
    settle(&paints_, paints_.count());

    if (wanted("keystroke")) {
        Row row{QStringLiteral("One keystroke in that page after its background work, with the change mark and the caret labels"),
                QStringLiteral("≤ 5 ms"), 5};
        for (int i = -5; i < runs(200); ++i) {
            // Every timed key is the first edit: the page is unmarked and unmodified.
            memo->setModified(false);
            memo->ChangeMarked = false;
            form.Memos->setCaption(page, caption);
            settle();
            const long before = paints_.count();
            const Clock::time_point t0 = Clock::now();
            QTest::keyClick(memo, Qt::Key_A);
            settle(&paints_, before);
            const double ms = msSince(t0);
            if (form.Memos->caption(page) != caption + QStringLiteral(" *") ||
                form.Label2->text() != QStringLiteral("桁:2")) {
                row.error = QStringLiteral("the mark or the caret column did not follow the key");
                break;
            }
            if (i >= 0)
                row.samples.push_back(ms);
            QTest::keyClick(memo, Qt::Key_Backspace);
            settle();
        }
        table_.add(row);
    }

    if (wanted("journal")) {
        // The changed 10 MB page handed to the journal, then a key typed while the
        // writer's thread writes its entry.
        Row write{QStringLiteral("That page's journal entry written (handed over and on disk)"), QStringLiteral("≤ 50 ms"),
                  50};
        Row key{QStringLiteral("A key typed into that page while its journal entry is written"), QStringLiteral("≤ 5 ms"),
                5};
        for (int i = -2; i < runs(20); ++i) {
            QTest::keyClick(memo, Qt::Key_A);
            settle();
            const Clock::time_point t0 = Clock::now();
            form.journal().write();
            const Clock::time_point t1 = Clock::now();
            QTest::keyClick(memo, Qt::Key_B);
            settle();
            const double keyMs = msSince(t1);
            form.journal().waitIdle();
            if (i >= 0) {
                write.samples.push_back(msSince(t0) - keyMs);
                key.samples.push_back(keyMs);
            }
        }
        table_.add(write);
        table_.add(key);
    }

    if (wanted("find")) {
        const QString absent = QStringLiteral("該当なし_NOMATCH");
        Row first{QStringLiteral("Find downward through that page, no match (first search of the page)"),
                  QStringLiteral("≤ 20 ms"), 20};
        Row again{QStringLiteral("Find downward through that page, no match (page searched before)"),
                  QStringLiteral("≤ 20 ms"), 20};
        memo->setCaret(0);
        settle();
        for (int i = -1; i < runs(10); ++i) {
            DocumentTextCache fresh;  // as the window's own before its first search
            QString searchText = absent;
            const int asked = dialogs.messages;
            const Clock::time_point t0 = Clock::now();
            runFind(*memo, searchText, FindDirection::Down, dialogs, fresh);
            settle();
            const double ms = msSince(t0);
            if (dialogs.messages != asked + 1 || !dialogs.lastMessage.contains(absent)) {
                first.error = QStringLiteral("the miss was not reported");
                break;
            }
            if (i >= 0)
                first.samples.push_back(ms);
        }
        form.State.SearchText = absent;
        for (int i = -1; i < runs(20); ++i) {
            const int asked = dialogs.messages;
            const Clock::time_point t0 = Clock::now();
            form.FindString(FindDirection::Down);
            settle();
            const double ms = msSince(t0);
            if (dialogs.messages != asked + 1) {
                again.error = QStringLiteral("the miss was not reported");
                break;
            }
            if (i >= 0)
                again.samples.push_back(ms);
        }
        table_.add(first);
        table_.add(again);
        closeActive();
        findAgain();
    }
}

// Shows the window, opens the file into a page and waits until the page's
// background work is done.
TCustomizedMemo* Bench::openSettled(TForm1& form, BenchDialogs& dialogs, const QString& path)
{
    form.show();
    settle(&paints_, paints_.count());
    dialogs.nextOpen = {path};
    form.Open1Click();
    settle(&paints_, 0);
    TCustomizedMemo* memo = form.Memos->ActiveMemo();
    if (!backgroundWorkDone(*memo, Clock::now()))
        throw std::runtime_error("the background work of " + path.toStdString() + " did not end");
    return memo;
}

// Find again downward through a 10 MB page with 1,000 occurrences, one by one.
void Bench::findAgain()
{
    const QString marker = QStringLiteral("要確認");
    const QString path = folder(QStringLiteral("big")) + QStringLiteral("big_marked.cpp");
    writeFile(path, sourceText(300000, 10 * MB, marker, 300));

    BenchDialogs dialogs;
    TForm1 form({dialogs, programFolder(QStringLiteral("find"), false)});
    // Timed, like the keystroke, once the page's background work is done.
    TCustomizedMemo* memo = openSettled(form, dialogs, path);
    memo->setFocus();
    form.State.SearchText = marker;
    form.FindString(FindDirection::Up);  // from the start upward: nothing, and the page's text is taken
    settle();

    Row row{QStringLiteral("Find again downward, 1,000 times through a 10 MB file with 1,000 matches, after its background work (each)"),
            QStringLiteral("≤ 1 ms"), 1};
    const int asked = dialogs.messages;
    for (int i = 0; i < 1000; ++i) {
        const long before = paints_.count();
        const Clock::time_point t0 = Clock::now();
        form.FindString(FindDirection::Down);
        settle(&paints_, before);
        row.samples.push_back(msSince(t0));
        if (memo->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                memo->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)) != 150 + 300 * i) {
            row.error = QStringLiteral("occurrence %1 was not found in its line").arg(i + 1);
            break;
        }
    }
    form.FindString(FindDirection::Down);
    if (row.error.isEmpty() && dialogs.messages != asked + 1)
        row.error = QStringLiteral("the search went on past the last occurrence");
    table_.add(row);
}

// Replace All of 10,000 occurrences in a 10 MB page, through the Replace window,
// after the page's background work; undone between runs.
void Bench::replaceAll()
{
    const QString marker = QStringLiteral("要確認");
    const QString path = folder(QStringLiteral("big")) + QStringLiteral("big_replace.cpp");
    writeFile(path, sourceText(300000, 10 * MB, marker, 30));

    BenchDialogs dialogs;
    TForm1 form({dialogs, programFolder(QStringLiteral("replace"), false)});
    TCustomizedMemo* memo = openSettled(form, dialogs, path);
    EditTools& tools = form.editTools();
    tools.showReplace();
    tools.findField()->setText(marker);
    tools.replacementField()->setText(QStringLiteral("確認済み"));
    settle();

    Row row{QStringLiteral("Replace All of 10,000 matches in a 10 MB page, one undo step, to the count shown and the page painted"),
            QStringLiteral("≤ 300 ms"), 300};
    std::vector<double> rewrap;
    for (int i = -1; i < runs(10); ++i) {
        const long before = paints_.count();
        const Clock::time_point t0 = Clock::now();
        tools.replaceAll();
        // The edited lines are wrapped again in the background, as after opening
        // the page; the window is live meanwhile, so that is timed apart.
        while (paints_.count() == before && msSince(t0) < 10000)
            QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents);
        const double ms = msSince(t0);
        const std::optional<double> wrapped = untilIdle(60000);
        if (form.StatusPanel0->text() != QStringLiteral("10000 件置換しました") || !wrapped) {
            row.error = QStringLiteral("the count was %1").arg(form.StatusPanel0->text());
            break;
        }
        if (i >= 0) {
            row.samples.push_back(ms);
            rewrap.push_back(*wrapped);
        }
        undoLastEdit(*memo);
        untilIdle(60000);
    }
    if (!rewrap.empty())
        row.note = QStringLiteral("the lines wrapped again in the background after it: %1 ms").arg(median(rewrap), 0, 'f', 0);
    table_.add(row);
    memo->setModified(false);
}

// Format of a 1,000-line page whose lines lost their indentation, with clang-format.
namespace {

// A 300-line page of the language: a struct, many small functions, and main with an
// empty line where the names are typed.
QByteArray completionPage(bool cpp)
{
    QByteArray text = cpp ? "#include <iostream>\n" : "#include <stdio.h>\n";
    text += "struct point { int across; int down; };\n";
    for (int i = 0; i < 290; ++i)
        text += "int step" + QByteArray::number(i) + "(int x) { return x + " + QByteArray::number(i) + "; }\n";
    text += "int main(void)\n{\n    struct point s;\n    \n    return 0;\n}\n";
    return text;
}

// The resident memory of the clangd this process started, in MB; 0 when none runs.
double clangdMegabytes()
{
    const QString self = QString::number(QCoreApplication::applicationPid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        if (close < 0 || !line.mid(0, close).contains("(clangd") ||
            line.mid(close + 2).split(' ').value(1) != self.toLatin1())
            continue;
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
        const qsizetype at = text.indexOf("VmRSS:");
        return text.mid(at + 6, text.indexOf('\n', at) - at - 6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

}  // namespace

// Completion on a 300-line page: the first list after opening, the list after the
// last key with clangd warm, a key typed while clangd works, and clangd's memory.
void Bench::completion(bool cpp)
{
    const QString what = cpp ? QStringLiteral("C++, <iostream>") : QStringLiteral("C, <stdio.h>");
    if (QStandardPaths::findExecutable(QStringLiteral("clangd")).isEmpty()) {
        Row row{QStringLiteral("Completion (%1)").arg(what), QStringLiteral("—"), 0};
        row.error = QStringLiteral("clangd is not installed");
        table_.add(row);
        return;
    }
    const QString path = folder(QStringLiteral("completion")) + (cpp ? QStringLiteral("page.cpp") : QStringLiteral("page.c"));
    writeFile(path, completionPage(cpp));
    BenchDialogs dialogs;
    TForm1 form({dialogs, programFolder(QStringLiteral("completion"), false)});
    TCustomizedMemo* memo = openSettled(form, dialogs, path);
    memo->setFocus();
    memo->setCursorPosition(memo->lines() - 4, 4);
    Row first{QStringLiteral("Completion (%1, 300 lines): the first list after opening").arg(what), QStringLiteral("≤ 2 s"),
              2000};
    const Clock::time_point t0 = Clock::now();
    QTest::keyClicks(memo, QStringLiteral("s."));
    if (!QTest::qWaitFor([&] { return form.completion().shownList().contains(QStringLiteral("across")); }, 20000))
        first.error = QStringLiteral("no list of the members came");
    first.samples.push_back(msSince(t0));
    table_.add(first);
    QTest::keyClick(memo, Qt::Key_Escape);
    completionRows(form, *memo, what);
    memo->setModified(false);
}

// The warm list, then the key typed while clangd works and the memory rows.
void Bench::completionRows(TForm1& form, TCustomizedMemo& memo, const QString& what)
{
    Row list{QStringLiteral("Completion (%1): the list shown after the last key, clangd warm").arg(what),
             QStringLiteral("≤ 150 ms"), 150};
    Row key{QStringLiteral("Completion (%1): a key typed while clangd works").arg(what), QStringLiteral("≤ 5 ms"), 5};
    for (int i = 0; i < runs(20) && list.error.isEmpty(); ++i) {
        for (int n = i == 0 ? 2 : 4; n > 0; --n)
            QTest::keyClick(&memo, Qt::Key_Backspace);
        settle();
        QTest::keyClicks(&memo, QStringLiteral("s."));
        // A key typed while the answer for "s." is awaited, then the last key.
        const Clock::time_point k0 = Clock::now();
        QTest::keyClick(&memo, Qt::Key_A);
        QCoreApplication::processEvents();
        key.samples.push_back(msSince(k0));
        const Clock::time_point t0 = Clock::now();
        QTest::keyClick(&memo, Qt::Key_C);
        if (!QTest::qWaitFor([&] { return form.completion().shownList().contains(QStringLiteral("across")); }, 10000))
            list.error = QStringLiteral("no list of the members came");
        list.samples.push_back(msSince(t0));
        QTest::keyClick(&memo, Qt::Key_Escape);
    }
    table_.add(list);
    table_.add(key);
    Row memory{QStringLiteral("Completion (%1): clangd's resident memory").arg(what), QStringLiteral("≤ 300 MB"), 300,
               QStringLiteral("MB")};
    memory.samples.push_back(clangdMegabytes());
    if (memory.samples.back() <= 0)
        memory.error = QStringLiteral("no clangd of this window was found");
    table_.add(memory);
}

void Bench::format()
{
    Row row{QStringLiteral("Format of a 1,000-line page (clang-format), one undo step"), QStringLiteral("≤ 300 ms"), 300};
    if (QStandardPaths::findExecutable(QStringLiteral("clang-format")).isEmpty()) {
        row.error = QStringLiteral("clang-format is not installed");
        table_.add(row);
        return;
    }
    QByteArray flat;
    for (const QByteArray& line : sourceText(1000, 40 * KB).split('\n'))
        flat += line.trimmed() + '\n';
    const QString path = folder(QStringLiteral("format")) + QStringLiteral("page.cpp");
    writeFile(path, flat.chopped(1));

    BenchDialogs dialogs;
    TForm1 form({dialogs, programFolder(QStringLiteral("format"), false)});
    TCustomizedMemo* memo = openSettled(form, dialogs, path);
    const QString page = memo->toPlainText();
    for (int i = -1; i < runs(20); ++i) {
        const long before = paints_.count();
        const Clock::time_point t0 = Clock::now();
        form.editTools().format();
        settle(&paints_, before);
        const double ms = msSince(t0);
        if (memo->toPlainText() == page || !form.StatusPanel0->text().startsWith(QStringLiteral("整形しました"))) {
            row.error = QStringLiteral("the page was not formatted: %1").arg(form.StatusPanel0->text());
            break;
        }
        if (i >= 0)
            row.samples.push_back(ms);
        undoLastEdit(*memo);
        settle();
    }
    table_.add(row);
    memo->setModified(false);
}

void Bench::execute()
{
    const QString program = programFolder(QStringLiteral("execute"), false);
    const QString work = folder(QStringLiteral("hello"));
    const QString log = root_.filePath(QStringLiteral("terminal.log"));
    qputenv("NOLLEX_CXX", binary(QStringLiteral("bench_fakecc")).toUtf8());
    qputenv("NOLLEX_CC", binary(QStringLiteral("bench_fakecc")).toUtf8());
    qputenv("NOLLEX_TERMINAL", binary(QStringLiteral("bench_terminal")).toUtf8());
    qputenv("BENCH_TERMINAL_LOG", log.toUtf8());
    writeFile(work + QStringLiteral("hello.cpp"),
              "#include <cstdio>\nint main()\n{\n    std::puts(\"Hello\");\n    return 0;\n}\n");

    BenchDialogs dialogs;
    TForm1 form({dialogs, program});
    form.show();
    settle(&paints_, paints_.count());
    dialogs.nextOpen = {work + QStringLiteral("hello.cpp")};
    form.Open1Click();
    settle();

    Row row{QStringLiteral("Execute of a hello-world page, without the host compiler's own time"),
            QStringLiteral("≤ 40 ms"), 40};
    auto consoles = [&] { return readFile(log).count('\n'); };
    for (int i = -2; i < runs(20); ++i) {
        const qsizetype started = consoles();
        form.Memo2->clear();
        settle();
        const long before = paints_.count();
        const Clock::time_point t0 = Clock::now();
        form.Execute1Click();
        settle(&paints_, before);
        const double ms = msSince(t0);
        // The console starts detached: wait (untimed) until it has recorded its command.
        for (int w = 0; w < 2000 && consoles() == started; ++w)
            QThread::usleep(500);
        // A correct build shows nothing in the messages: the compiler said nothing.
        if (consoles() != started + 1 || !form.Memo2->toPlainText().isEmpty()) {
            row.error = QStringLiteral("the build did not reach the console: ") +
                        form.Memo2->toPlainText().left(200);
            break;
        }
        if (i >= 0)
            row.samples.push_back(ms);
    }
    row.note = QStringLiteral("a no-op compiler stands for g++");
    table_.add(row);
}

// bcc32.exe against the same host commands run directly, in pairs.
void Bench::compilerOverhead()
{
    const QString work = folder(QStringLiteral("compile"));
    const QString source = work + QStringLiteral("hello.cpp");
    writeFile(source, "#include <cstdio>\nint main()\n{\n    std::puts(\"Hello\");\n    return 0;\n}\n");
    const QString bcc = programFolder(QStringLiteral("compile-tools"), false) + QStringLiteral("bcc32.exe");
    const QString fake = binary(QStringLiteral("bench_fakecc"));
    const QString log = work + QStringLiteral("steps.log");

    // The command line a build gives it: the default switches, the output folder, the source.
    QStringList bccLine{bcc};
    for (const std::string& w :
         SplitWindowsCommandLine(joinedOptionText(CompileOptionSet{}).toStdString()))
        bccLine << QString::fromStdString(w);
    bccLine << QStringLiteral("-n") + work << source;

    // The host commands it runs, as the no-op compiler records them.
    QFile::remove(log);
    runChild(bccLine, work,
             {QStringLiteral("NOLLEX_CXX=") + fake, QStringLiteral("NOLLEX_CC=") + fake,
              QStringLiteral("BENCH_FAKECC_LOG=") + log});
    std::vector<QStringList> steps;
    for (const QByteArray& line : readFile(log).split('\n')) {
        if (!line.isEmpty())
            steps.push_back(QString::fromUtf8(line).split(u'\t'));
    }

    auto pairs = [&](const QString& compiler, int count, Row& row, const QString& what) {
        const QStringList env{QStringLiteral("NOLLEX_CXX=") + compiler,
                              QStringLiteral("NOLLEX_CC=") + compiler};
        std::vector<double> through, direct;
        for (int i = -1; i < count; ++i) {
            // Each side goes first in every other pair, so warming favours neither.
            ChildRun a;
            if (i % 2 == 0)
                a = runChild(bccLine, work, env);
            double b = 0;
            bool ok = true;
            for (const QStringList& step : steps) {
                const ChildRun s = runChild(QStringList{compiler} + step, work);
                ok = ok && s.exitStatus == 0;
                b += s.wallMs;
            }
            if (i % 2 != 0)
                a = runChild(bccLine, work, env);
            ok = ok && a.exitStatus == 0;
            if (!ok) {
                row.error = QStringLiteral("a compile failed");
                return;
            }
            if (i >= 0) {
                through.push_back(a.wallMs);
                direct.push_back(b);
                row.samples.push_back(a.wallMs - b);
            }
        }
        row.note = QStringLiteral("bcc32.exe %1 ms, %2 directly %3 ms")
                       .arg(median(through), 0, 'f', 1)
                       .arg(what)
                       .arg(median(direct), 0, 'f', 1);
    };

    Row real{QStringLiteral("The stand-in compiler's overhead over calling g++ directly (hello world)"),
             QStringLiteral("≤ 10 ms"), 10};
    if (steps.size() != 2)
        real.error = QStringLiteral("the stand-in did not run a compile and a link");
    const QString gxx = QStandardPaths::findExecutable(QStringLiteral("g++"));
    if (real.error.isEmpty() && gxx.isEmpty())
        real.error = QStringLiteral("g++ not found");
    if (real.error.isEmpty())
        pairs(gxx, runs(20), real, QStringLiteral("g++"));
    Row noop{QStringLiteral("The same overhead measured with a no-op compiler (noise-free)"),
             QStringLiteral("≤ 10 ms"), 10};
    if (steps.size() == 2)
        pairs(fake, runs(40), noop, QStringLiteral("the no-op"));
    else
        noop.error = real.error;
    table_.add(real);
    table_.add(noop);
}

// Hello world built through bcc32.exe with real g++, with and without the run-time
// checks, in pairs; then each program started and waited for, in pairs.
void Bench::guardedRun()
{
    const QString work = folder(QStringLiteral("guard"));
    const QString source = work + QStringLiteral("hello.cpp");
    writeFile(source, "#include <iostream>\nint main()\n{\n    std::cout << \"Hello\\n\";\n    return 0;\n}\n");
    // The checks' helper library sits where the installed stand-in finds it.
    const QString bcc = programFolder(QStringLiteral("guard-tools"), false) + QStringLiteral("bcc32.exe");
    const QString guardLibrary = QStringLiteral("compat/lib/libnollexguard.a");
    QDir().mkpath(QFileInfo(bcc).path() + QStringLiteral("/compat/lib"));
    QFile::copy(binary(guardLibrary), QFileInfo(bcc).path() + u'/' + guardLibrary);
    // The guarded build makes the replay's program beside it, as F9 does.
    const QString replay = work + QStringLiteral("replay.exe");
    const bool valgrind = !QStandardPaths::findExecutable(QStringLiteral("valgrind")).isEmpty();
    auto build = [&](const QString& exe, bool guarded) {
        QStringList environment{QStringLiteral("NOLLEX_GUARD=") + (guarded ? u'1' : u'0')};
        if (guarded && valgrind)
            environment << QStringLiteral("NOLLEX_REPLAY=") + replay;
        return runChild({bcc, QStringLiteral("-e") + exe, QStringLiteral("-n") + work, source}, work, environment);
    };
    Row compile{QStringLiteral("Guarded build of hello world (checks, line information, the replay's build beside), real g++"),
                QStringLiteral("≤ 2 × unguarded"), 0};
    Row start{QStringLiteral("Start of the guarded hello world, to its end, over the unguarded one"),
              QStringLiteral("≤ +50 ms"), 50};
    std::vector<double> plain, guarded;
    for (int i = -1; i < runs(10) && compile.error.isEmpty(); ++i) {
        const ChildRun a = build(QStringLiteral("plain.exe"), false);
        const ChildRun b = build(QStringLiteral("guarded.exe"), true);
        if (a.exitStatus != 0 || b.exitStatus != 0)
            compile.error = start.error = QStringLiteral("a build failed");
        else if (i >= 0) {
            plain.push_back(a.wallMs);
            guarded.push_back(b.wallMs);
        }
    }
    for (int i = -1; i < runs(20) && start.error.isEmpty(); ++i) {
        const ChildRun a = runChild({work + QStringLiteral("plain.exe")}, work);
        const ChildRun b = runChild({work + QStringLiteral("guarded.exe")}, work);
        if (a.exitStatus != 0 || b.exitStatus != 0)
            start.error = QStringLiteral("a program failed");
        else if (i >= 0)
            start.samples.push_back(b.wallMs - a.wallMs);
    }
    if (compile.error.isEmpty()) {
        compile.samples = guarded;
        compile.limit = 2 * median(plain);
        compile.note = QStringLiteral("%1 × the unguarded %2 ms")
                           .arg(median(guarded) / median(plain), 0, 'f', 2)
                           .arg(median(plain), 0, 'f', 0);
    }
    table_.add(compile);
    table_.add(start);
    table_.add(replayRow(QFileInfo(bcc).path() + u'/', work, source, replay, valgrind));
}

// The console's replay of the guarded hello world: the run through cmd.exe watched
// with the replay, over the same run watched without it.
Row Bench::replayRow(const QString& tools, const QString& work, const QString& source, const QString& replay,
                            bool valgrind)
{
    Row row{QStringLiteral("Replay of the guarded hello world under memcheck, the program's end to the console's end"),
            QStringLiteral("≤ 2000 ms"), 2000};
    if (!valgrind) {
        row.error = QStringLiteral("valgrind is not installed");
        return row;
    }
    QFile::copy(binary(QStringLiteral("nollex-explain")), tools + QStringLiteral("nollex-explain"));
    const QString stem = work + QStringLiteral("run");
    writeFile(stem + QStringLiteral(".page"), (source + QStringLiteral("\nhello.cpp\n")).toUtf8() + readFile(source));
    const QStringList argv{tools + QStringLiteral("cmd.exe"), QStringLiteral("/C"), work + QStringLiteral("guarded.exe")};
    for (int i = -1; i < runs(5) && row.error.isEmpty(); ++i) {
        const ChildRun a = runChild(argv, work, {QStringLiteral("NOLLEX_RUN=") + stem});
        const ChildRun b = runChild(argv, work, {QStringLiteral("NOLLEX_RUN=") + stem, QStringLiteral("NOLLEX_REPLAY=") + replay});
        if (a.exitStatus != 0 || b.exitStatus != 0 || !QFile::exists(replay))
            row.error = QStringLiteral("a run failed");
        else if (i >= 0)
            row.samples.push_back(b.wallMs - a.wallMs);
    }
    return row;
}

// The debugger through the window with the real g++ and gdb: F5 to the first stop
// beyond the compile, and a step to the caret on the new line with the variables
// shown, in a function with 50 locals and with a vector of a million elements listed.
void Bench::debugger()
{
    Row first{QStringLiteral("F5 on a small page to the first stop, beyond the compile (real g++ and gdb)"),
              QStringLiteral("≤ 1500 ms"), 1500};
    Row step{QStringLiteral("F7 in a function with 50 locals, to the caret on the new line and the variables shown"),
             QStringLiteral("≤ 100 ms"), 100};
    Row vector{QStringLiteral("F7 with a std::vector<int> of 1,000,000 elements open in the variables"),
               QStringLiteral("≤ 100 ms"), 100};
    if (QStandardPaths::findExecutable(QStringLiteral("gdb")).isEmpty()) {
        first.error = step.error = vector.error = QStringLiteral("gdb is not installed");
        for (const Row* row : {&first, &step, &vector})
            table_.add(*row);
        return;
    }
    const QString program = programFolder(QStringLiteral("debug"), false);
    QFile::copy(binary(QStringLiteral("nollex-console")), program + QStringLiteral("nollex-console"));
    const QString work = folder(QStringLiteral("debug-work"));
    qunsetenv("NOLLEX_CXX");
    qunsetenv("NOLLEX_CC");
    // The program's console without a window.
    const QString terminal = work + QStringLiteral("console.sh");
    writeFile(terminal, "#!/bin/sh\nexec \"$@\" < /dev/null > /dev/null 2>&1\n");
    QFile::setPermissions(terminal, QFile::permissions(terminal) | QFileDevice::ExeOwner);
    qputenv("NOLLEX_TERMINAL", terminal.toUtf8());
    QByteArray locals = "int work(int n)\n{\n";
    for (int i = 0; i < 48; ++i)
        locals += "    int v" + QByteArray::number(i) + " = n + " + QByteArray::number(i) + ";\n";
    const int loopLine = 48 + 5;
    locals += "    int sum = 0;\n    for (int k = 0; k < 100000; ++k) {\n        sum += k;\n        v0 += sum;\n    }\n"
              "    return sum + v0 + v47;\n}\nint main()\n{\n    return work(3) > 0 ? 0 : 1;\n}\n";
    writeFile(work + QStringLiteral("locals.cpp"), locals);
    writeFile(work + QStringLiteral("vector.cpp"),
              "#include <vector>\nint main()\n{\n    std::vector<int> big(1000000, 7);\n    long sum = 0;\n"
              "    for (int k = 0; k < 100000; ++k) {\n        sum += big[k];\n        big[k] = 1;\n    }\n"
              "    return int(sum % 2);\n}\n");

    BenchDialogs dialogs;
    TForm1 form({dialogs, program});
    form.show();
    settle(&paints_, paints_.count());
    // Runs act and waits for the stop the window has shown; the time from the end of
    // act, or from its start.
    const auto stopAfter = [&](const std::function<void()>& act, bool fromEnd) -> std::optional<double> {
        const Clock::time_point t0 = Clock::now();
        act();
        const Clock::time_point t1 = Clock::now();
        DebugSession* session = form.debugPanel().session();
        if (!session)
            return std::nullopt;
        std::optional<double> ms;
        bool over = false;
        // Connected after the window: it has shown the stop when this runs.
        const QMetaObject::Connection stopped = QObject::connect(session, &DebugSession::stopped, [&] {
            ms = msSince(fromEnd ? t1 : t0);
            over = true;
        });
        const QMetaObject::Connection ended =
            QObject::connect(session, &DebugSession::ended, [&] { over = true; });
        QElapsedTimer limit;
        limit.start();
        while (!over && limit.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QObject::disconnect(stopped);
        QObject::disconnect(ended);
        return ms;
    };

    dialogs.nextOpen = {work + QStringLiteral("locals.cpp")};
    form.Open1Click();
    settle();
    form.Memos->ActiveMemo()->toggleBreakpoint(loopLine);
    for (int i = -1; i < runs(8) && first.error.isEmpty(); ++i) {
        const std::optional<double> ms = stopAfter([&] { form.DebugRun1Click(); }, true);
        if (!ms)
            first.error = QStringLiteral("no stop: ") + form.Memo2->toPlainText().left(200);
        else if (i >= 0)
            first.samples.push_back(*ms);
        if (i + 1 < runs(8))
            form.DebugStop1Click();
    }
    for (int i = -1; i < runs(30) && first.error.isEmpty() && step.error.isEmpty(); ++i) {
        const std::optional<double> ms = stopAfter([&] { form.StepOver1Click(); }, false);
        if (!ms || form.debugPanel().variables()->topLevelItemCount() < 50)
            step.error = QStringLiteral("the step did not show the variables");
        else if (i >= 0)
            step.samples.push_back(*ms);
    }
    form.DebugStop1Click();

    dialogs.nextOpen = {work + QStringLiteral("vector.cpp")};
    form.Open1Click();
    settle();
    form.Memos->ActiveMemo()->toggleBreakpoint(7);
    if (!stopAfter([&] { form.DebugRun1Click(); }, true)) {
        vector.error = QStringLiteral("no stop");
    } else {
        DebugSession* session = form.debugPanel().session();
        QSignalSpy listed(session, &DebugSession::viewChanged);
        session->setExpanded(QStringLiteral("big"), true);
        if (!listed.wait(10000))
            vector.error = QStringLiteral("the vector's elements were not listed");
    }
    for (int i = -1; i < runs(30) && vector.error.isEmpty(); ++i) {
        const std::optional<double> ms = stopAfter([&] { form.StepOver1Click(); }, false);
        if (!ms)
            vector.error = QStringLiteral("the step did not stop");
        else if (i >= 0)
            vector.samples.push_back(*ms);
    }
    form.DebugStop1Click();
    for (const Row* row : {&first, &step, &vector})
        table_.add(*row);
}

// A build's messages read line by line and their errors and warnings marked in the
// page they name, as the window does after a build (without the message pane).
void Bench::messageMarks()
{
    constexpr int kLines = 1000;
    constexpr int kPageLines = 2000;
    const QString file = QStringLiteral("/w/page.cpp");
    const QString text = messageText(kLines, 100000, file, kPageLines);
    TCustomizedMemo page;
    page.setText(QString::fromUtf8(sourceText(kPageLines, 100 * KB)));
    Row row{QStringLiteral("1,000 message lines of 100,000 characters each, read and their places marked"),
            QStringLiteral("≤ 200 ms"), 200};
    for (int i = -1; i < runs(10); ++i) {
        page.clearMarks();
        const Clock::time_point t0 = Clock::now();
        for (const QStringView line : text.tokenize(u'\n')) {
            const std::optional<MessagePlace> place = parseMessagePlace(line);
            if (!place || place->file != file ||
                (place->kind != MessageKind::Error && place->kind != MessageKind::Warning))
                continue;
            const int index = characterIndexForColumn(lineText(page, place->line), place->column);
            page.addMark(place->kind == MessageKind::Error ? TCustomizedMemo::MarkKind::Error
                                                           : TCustomizedMemo::MarkKind::Warning,
                         place->line, index);
        }
        const double ms = msSince(t0);
        const qsizetype marked = page.markedLines(TCustomizedMemo::MarkKind::Error).size() +
                                 page.markedLines(TCustomizedMemo::MarkKind::Warning).size();
        if (marked != kLines / 5) {
            row.error = QStringLiteral("%1 lines marked, not %2").arg(marked).arg(kLines / 5);
            break;
        }
        if (i >= 0)
            row.samples.push_back(ms);
    }
    table_.add(row);
}

// Real gcc messages of five kinds, each with its excerpt, at line %1.
QString compilerMessages(int count)
{
    static const char* const messages[] = {
        "/w/__out.c:%1:20: error: ‘x’ undeclared (first use in this function)\n"
        "    %1 |     printf(\"%d\\n\", x);\n      |                    ^\n"
        "/w/__out.c:%1:20: note: each undeclared identifier is reported only once for each function it appears in\n",
        "/w/__out.c:%1:14: error: expected ‘;’ before ‘}’ token\n"
        "    %1 |     return 0\n      |              ^\n      |              ;\n",
        "/w/__out.c:%1:14: warning: format ‘%d’ expects argument of type ‘int’, but argument 2 has type ‘double’ "
        "[-Wformat=]\n    %1 |     printf(\"%d\\n\", d);\n      |             ~^     ~\n",
        "/w/__out.c:%1:12: error: too few arguments to function ‘add’\n"
        "    %1 |     return add(1);\n      |            ^~~\n/w/__out.c:1:5: note: declared here\n",
        "/w/__out.c:%1:5: warning: implicit declaration of function ‘prinf’; did you mean ‘printf’? "
        "[-Wimplicit-function-declaration]\n    %1 |     prinf(\"hi\\n\");\n      |     ^~~~~\n",
    };
    QString out = QStringLiteral("/w/__out.c: In function ‘main’:\n");
    for (int i = 0; i < count; ++i)
        out += QString::fromUtf8(messages[i % std::size(messages)]).arg(i + 2);
    return out;
}

// A build's output read for explanations, as the window does after each build,
// with the explainer (table and catalogs) made once before.
void Bench::explanations()
{
    const Explainer explainer = Explainer::installed();
    const BuiltPage page{QStringLiteral("/w/__out.c"), QStringLiteral("hello.c"), QString()};
    for (const int count : {100, 10000}) {
        const QString output = compilerMessages(count);
        Row row{QStringLiteral("%1 compiler messages explained").arg(QLocale(QLocale::English).toString(count)),
                count == 100 ? QStringLiteral("≤ 5 ms") : QStringLiteral("≤ 200 ms"), count == 100 ? 5.0 : 200.0};
        for (int i = -1; i < runs(20); ++i) {
            const Clock::time_point t0 = Clock::now();
            const qsizetype explained = explainer.explain(output, page).size();
            const double ms = msSince(t0);
            if (explained != count) {
                row.error = QStringLiteral("%1 explained, not %2").arg(explained).arg(count);
                break;
            }
            if (i >= 0)
                row.samples.push_back(ms);
        }
        table_.add(row);
    }
}

// A tiny C program built with the host compiler for the sample runs: its path, or
// empty when it could not be built.
QString compiledProgram(const QString& folder, const QString& name, const QByteArray& source)
{
    writeFile(folder + name + QStringLiteral(".c"), source);
    const ChildRun cc = runChild({QStringLiteral("/usr/bin/cc"), QStringLiteral("-O2"), QStringLiteral("-o"),
                                  folder + name, folder + name + QStringLiteral(".c")},
                                 folder);
    return cc.exitStatus == 0 ? folder + name : QString();
}

// The sample cases of a page run and judged one after another, as the window's worker
// does; and a looping program ended at its time limit.
void Bench::sampleRuns()
{
    const QString work = folder(QStringLiteral("samples"));
    const QString test = work + QStringLiteral("test");
    for (int i = 1; i <= 20; ++i)
        addSample(test, QStringLiteral("%1 %2\n").arg(i).arg(i * 7), QStringLiteral("%1\n").arg(i * 8));
    const QString sum = compiledProgram(work, QStringLiteral("sum"),
                                        "#include <stdio.h>\nint main(void)\n{\n    long a, b;\n"
                                        "    if (scanf(\"%ld %ld\", &a, &b) == 2)\n        printf(\"%ld\\n\", a + b);\n"
                                        "    return 0;\n}\n");
    const QString loop = compiledProgram(work, QStringLiteral("loop"), "int main(void)\n{\n    for (;;) {}\n}\n");
    Row cases{QStringLiteral("20 cases of a small program run and judged"), QStringLiteral("≤ 300 ms"), 300};
    Row limit{QStringLiteral("A looping program stopped after its time limit (past the limit)"),
              QStringLiteral("≤ 100 ms"), 100};
    if (sum.isEmpty() || loop.isEmpty())
        cases.error = limit.error = QStringLiteral("cc could not build the programs");
    const std::atomic<bool> stop = false;
    const QList<CaseFiles> found = findCases(test);
    CaseRequest request;
    request.folder = work;
    request.launcher = binary(QStringLiteral("nollex-case"));
    for (int i = -1; i < runs(10) && cases.error.isEmpty(); ++i) {
        const Clock::time_point t0 = Clock::now();
        int accepted = 0;
        for (const CaseFiles& c : found) {
            request.program = sum;
            request.inputPath = c.inputPath;
            const CaseResult result = runCase(request, stop);
            accepted += judge(result, readFile(c.outputPath), {}).verdict == Verdict::AC;
        }
        const double ms = msSince(t0);
        if (found.size() != 20 || accepted != 20)
            cases.error = QStringLiteral("%1 of %2 cases accepted").arg(accepted).arg(found.size());
        else if (i >= 0)
            cases.samples.push_back(ms);
    }
    constexpr int kLimitMs = 500;
    request.program = loop;
    request.timeLimitMs = kLimitMs;
    for (int i = -1; i < runs(10) && limit.error.isEmpty(); ++i) {
        const Clock::time_point t0 = Clock::now();
        const CaseResult result = runCase(request, stop);
        const double ms = msSince(t0);
        if (result.end != CaseEnd::TimedOut)
            limit.error = QStringLiteral("the program was not ended at its limit");
        else if (i >= 0)
            limit.samples.push_back(ms - kLimitMs);
    }
    limit.note = QStringLiteral("limit %1 ms").arg(kLimitMs);
    table_.add(cases);
    table_.add(limit);
    outputCapWhileTyping();
}

// A case whose program writes without end, run through the window, while keys are
// typed into its page: the output is cut at its cap off the window's thread.
void Bench::outputCapWhileTyping()
{
    const QString work = folder(QStringLiteral("samples-cap"));
    addSample(work + QStringLiteral("test"), QStringLiteral("y\n"), QStringLiteral("y\n"));
    writeFile(work + QStringLiteral("page.c"), "int main(void) { return 0; }\n");
    const QString yes = QStandardPaths::findExecutable(QStringLiteral("yes"));
    BenchDialogs dialogs;
    TForm1 form({dialogs, programFolder(QStringLiteral("samples-cap-tools"), false)});
    form.show();
    loadPageFile(*form.Memos, 0, work + QStringLiteral("page.c"));
    form.State.WorkFolder = work;
    TCustomizedMemo* memo = form.Memos->ActiveMemo();
    memo->setFocus();
    settle(&paints_, paints_.count());
    Row row{QStringLiteral("A key typed into the page while a case's endless output is cut at 64 MB (slowest key)"),
            QStringLiteral("≤ 50 ms"), 50};
    for (int i = 0; i < runs(5) && row.error.isEmpty(); ++i) {
        form.runSamples(yes);
        double slowest = 0;
        const Clock::time_point start = Clock::now();
        while (form.sampleRunner().running() && msSince(start) < 20000) {
            const Clock::time_point t0 = Clock::now();
            QTest::keyClick(memo, Qt::Key_A);
            settle();
            slowest = std::max(slowest, msSince(t0));
        }
        if (!form.Memo2->toPlainText().contains(QStringLiteral("sample-1  OLE")))
            row.error = QStringLiteral("the case did not end at the output cap");
        else
            row.samples.push_back(slowest);
    }
    table_.add(row);
}

void Bench::closing()
{
    const QString program = programFolder(QStringLiteral("close-100"), false);
    QStringList files;
    pageFiles(QStringLiteral("pages-100"), 100, 2 * KB, files);
    BenchDialogs dialogs;
    TForm1 form({dialogs, program});
    form.show();
    settle(&paints_, paints_.count());
    dialogs.nextOpen = files;
    form.Open1Click();
    settle();

    Row row{QStringLiteral("Closing with 100 pages open (no exit question, Nollex.ini written anew)"),
            QStringLiteral("≤ 200 ms"), 200};
    if (form.Memos->LastIndex() != 99)
        row.error = QStringLiteral("the 100 pages did not open");
    const QString ini = program + QStringLiteral("Nollex.ini");
    for (int i = -1; i < runs(7) && row.error.isEmpty(); ++i) {
        QFile::remove(ini);
        form.show();
        settle(&paints_, 0);
        const int asked = dialogs.messages;
        const Clock::time_point t0 = Clock::now();
        form.close();
        settle();
        const double ms = msSince(t0);
        if (form.isVisible() || dialogs.messages != asked || !readFile(ini).contains("FileName99=")) {
            row.error = QStringLiteral("the window did not close cleanly with its settings written");
            break;
        }
        if (i >= 0)
            row.samples.push_back(ms);
    }
    table_.add(row);
}

int Bench::run()
{
    if (!root_.isValid())
        throw std::runtime_error("no temporary folder");
    const QString loadBefore = loadAverage();
    std::fprintf(stderr, "Nollex benchmarks on %s (Qt platform %s)\n", qPrintable(machineDescription()),
                 qPrintable(QGuiApplication::platformName()));
    if (wanted("startup"))
        startup();
    if (wanted("memory"))
        memory();
    if (wanted("open") || wanted("background") || wanted("keystroke") || wanted("find") || wanted("journal"))
        openAndEdit();
    if (wanted("replace"))
        replaceAll();
    if (wanted("completion")) {
        completion(false);
        completion(true);
    }
    if (wanted("format"))
        format();
    if (wanted("execute"))
        execute();
    if (wanted("compiler"))
        compilerOverhead();
    if (wanted("guard"))
        guardedRun();
    if (wanted("messages"))
        messageMarks();
    if (wanted("explain"))
        explanations();
    if (wanted("samples"))
        sampleRuns();
    if (wanted("debug"))
        debugger();
    if (wanted("close"))
        closing();

    const QString report =
        QStringLiteral("Machine: %1. Qt platform: %2. %3; load average (1 min) %4 before, %5 after.\n\n")
            .arg(machineDescription(), QGuiApplication::platformName(),
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")), loadBefore,
                 loadAverage()) +
        table_.markdown();
    std::printf("\n%s", qPrintable(report));
    if (!options_.out.isEmpty())
        writeFile(options_.out, report.toUtf8());
    return table_.allMet() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QStringLiteral("--quick"))
            options.quick = true;
        else if (a == QStringLiteral("--runs") && i + 1 < argc)
            options.runs = std::max(1, QString::fromLocal8Bit(argv[++i]).toInt());
        else if (a == QStringLiteral("--only") && i + 1 < argc)
            options.only = QString::fromLocal8Bit(argv[++i]).split(u',');
        else if (a == QStringLiteral("--out") && i + 1 < argc)
            options.out = QString::fromLocal8Bit(argv[++i]);
        else {
            std::fprintf(stderr, "usage: nollex_bench [--only NAME[,NAME...]] [--quick | --runs N] [--out FILE]\n");
            return 2;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nollex"));
    QApplication::setQuitOnLastWindowClosed(false);
    installFontSubstitutes();
    try {
        return Bench(options).run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "nollex_bench: %s\n", e.what());
        return 2;
    }
}
