#include "SampleRunner.h"

#include "SampleReplay.h"
#include "editor/TMemos.h"
#include "explain/RunFault.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolders.h"
#include "platform/ShowError.h"
#include "samples/CaseRunner.h"
#include "samples/Compare.h"
#include "samples/SampleCases.h"
#include "samples/Verdict.h"
#include "state/WindowHost.h"
#include "state/WindowState.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextBlock>

#include <atomic>
#include <malloc.h>
#include <thread>
#include <tuple>
#include <utility>

namespace nollex {

// A run's cases, their results as they come from the worker thread, and the thread.
struct SampleRunner::Session {
    // Which run a result posted from the worker belongs to: a later run may have
    // replaced this one before the window takes it.
    const int id = nextId();
    QList<CaseFiles> cases;
    QList<CaseResult> results;  // as the cases end, in order
    QList<Judged> judged;
    QList<QString> stems;            // each case's checker report stem; empty unwatched
    QList<QStringList> environments;  // each case's entries for the checkers; none unwatched
    QStringList reports;             // the checkers' reports the pane names; removed with the run
    CompareOptions options;
    // With the checks on, the same program built without them: a case past the time
    // limit is timed again with it, so the checks' cost alone never makes a TLE.
    QString unchecked;
    std::atomic<bool> stop{false};
    std::thread worker;
    bool finished = false;

    static int nextId()
    {
        static int last = 0;
        return ++last;
    }
    ~Session()
    {
        stop = true;
        if (worker.joinable())
            worker.join();
    }
};

namespace {

// What the side-by-side window shows of a file or an output at most.
constexpr qint64 kShownBytes = 1 << 20;

std::optional<QByteArray> readBytes(const QString& path, qint64 limit)
{
    return readCaseFile(path, limit, false).bytes;
}

// One case run and judged, in the worker. Only the output the side-by-side window
// shows is kept: a run's cases would otherwise hold up to the cap each.
std::pair<CaseResult, Judged> runAndJudge(const CaseRequest& request, const QString& expectedPath,
                                          const CompareOptions& options, const std::atomic<bool>& stop)
{
    CaseResult result = runCase(request, stop);
    Judged judged = judgeAgainstFile(result, expectedPath, options);
    if (result.output.size() > kShownBytes)
        result.output = QByteArray(result.output.constData(), kShownBytes);
    // What the comparison and the output held goes back to the system.
    malloc_trim(0);
    return {std::move(result), std::move(judged)};
}

// One pane of the side-by-side window, its marked lines shaded.
QPlainTextEdit* caseBox(const QString& title, const QString& text, const QList<int>& marked, QWidget* parent)
{
    const QColor mark = QColor(255, 80, 80, 90);
    auto* box = new QPlainTextEdit(text, parent);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setObjectName(title);
    QList<QTextEdit::ExtraSelection> selections;
    for (int line : marked) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(box->document()->findBlockByNumber(line));
        selection.format.setBackground(mark);
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        selections << selection;
    }
    box->setExtraSelections(selections);
    return box;
}

}  // namespace

SampleRunner::SampleRunner(WindowHost& host, WindowState& state, QWidget* window)
    : QObject(window), host_(host), state_(state), window_(window), replay_(new SampleReplay(host, this))
{
}

SampleRunner::~SampleRunner() = default;

QDialog* SampleRunner::caseWindow() const { return caseWindow_; }

bool SampleRunner::running() const { return session_ && !session_->finished; }

void SampleRunner::stop(bool wait)
{
    replay_->stop();
    if (!session_)
        return;
    session_->stop = true;
    if (wait && session_->worker.joinable())
        session_->worker.join();
}

QString SampleRunner::folder() const
{
    TMemos& pages = host_.pages();
    const QString file = pages.fileName(pages.ActiveIndex());
    return file.isEmpty() ? QString() : QFileInfo(file).absolutePath() + QStringLiteral("/test/");
}

bool SampleRunner::saved()
{
    TMemos& pages = host_.pages();
    return !pages.fileName(pages.ActiveIndex()).isEmpty() || host_.SavePage(SaveMode::SaveAs);
}

void SampleRunner::runOrStop()
{
    replay_->stop();
    if (running()) {
        stop(false);
        return;
    }
    if (!saved())
        return;
    const QString cases = folder();
    if (findCases(cases).isEmpty()) {
        host_.setMessages(QStringLiteral("サンプルケースがありません。ケースはページのファイルと同じフォルダの test フォルダに、"
                                         "入力を sample-1.in、期待する出力を sample-1.out のように置きます（%1）。"
                                         "Compile → Add Sample（ケース追加）で追加できます。")
                              .arg(cases));
        return;
    }
    host_.RunBuild(BuildMode::SampleRun);
}

void SampleRunner::run(const QString& program)
{
    if (session_) {
        for (const QString& report : std::as_const(session_->reports))
            host_.files().remove(report);
    }
    replay_->stop();
    session_ = std::make_unique<Session>();
    Session& run = *session_;
    run.cases = findCases(folder());
    run.options.numbersWithin = state_.SampleNumbersWithin;
    const QString runs = state_.GuardedRun ? (host_.runsFolderReady() ? host_.folders().runs : QString()) : QString();
    for (int i = 0; i < run.cases.size(); ++i) {
        const QString stem =
            runs.isEmpty() ? QString()
                           : runs + QStringLiteral("case-%1-%2").arg(QCoreApplication::applicationPid()).arg(i + 1);
        run.stems << stem;
        run.environments << (stem.isEmpty() ? QStringList() : host_.watchedRunEnvironment(stem));
    }
    host_.appendMessages({QStringLiteral("サンプルケース %1 件を実行します（Esc で中止）").arg(run.cases.size())},
                      std::nullopt);
    if (!stopKey_) {
        stopKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), window_);
        connect(stopKey_, &QShortcut::activated, this, [this] { stop(false); });
    }
    stopKey_->setEnabled(true);
    if (state_.GuardedRun)
        run.unchecked = replayProgram(host_.folders());
    CaseRequest request{program, state_.WorkFolder, QString(), state_.SampleTimeLimit, kOutputCap, {}, {}};
    request.launcher = host_.folders().install + QStringLiteral("nollex-case");
    run.worker = std::thread([this, &run, request]() mutable {
        // Nothing thrown here may end the program: the run ends with a line saying why.
        try {
            runCases(run, request);
        } catch (const std::exception& e) {
            postFailure(run.id, QString::fromLocal8Bit(e.what()));
        } catch (...) {
            postFailure(run.id, QString());
        }
        QMetaObject::invokeMethod(
            this,
            [this, id = run.id] {
                if (session_ && session_->id == id)
                    showEnd();
            },
            Qt::QueuedConnection);
    });
}

// In the worker: each case in turn, its result posted to the window as it ends.
void SampleRunner::runCases(Session& run, CaseRequest request)
{
    for (int i = 0; i < run.cases.size() && !run.stop; ++i) {
        request.inputPath = run.cases[i].inputPath;
        request.environment = run.environments[i];
        auto [result, judged] = runAndJudge(request, run.cases[i].outputPath, run.options, run.stop);
        const bool retimed = result.end == CaseEnd::TimedOut && !run.stop && !run.unchecked.isEmpty() &&
                             QFileInfo(run.unchecked).isExecutable();
        if (retimed) {
            CaseRequest plain = request;
            plain.program = run.unchecked;
            plain.environment.clear();
            std::tie(result, judged) = runAndJudge(plain, run.cases[i].outputPath, run.options, run.stop);
        }
        QMetaObject::invokeMethod(
            this,
            [this, id = run.id, result = std::move(result), judged = std::move(judged), retimed] {
                if (!session_ || session_->id != id)
                    return;
                session_->results << result;
                session_->judged << judged;
                // An error in showing a case is told and the run goes on.
                try {
                    showCase(int(session_->results.size()) - 1);
                    if (retimed) {
                        host_.appendMessages({QStringLiteral("    （実行時チェック付きでは時間内に終わらなかったため、"
                                                             "チェックなしで測り直した結果です）")},
                                             std::nullopt);
                    }
                } catch (...) {
                    ShowError(host_.dialogs(), textOfCurrentException());
                }
            },
            Qt::QueuedConnection);
    }
}

void SampleRunner::postFailure(int id, const QString& what)
{
    QMetaObject::invokeMethod(
        this,
        [this, id, what] {
            if (session_ && session_->id == id) {
                session_->stop = true;
                host_.appendMessages({QStringLiteral("サンプルケースの実行を続けられません（%1）")
                                       .arg(what.isEmpty() ? QStringLiteral("不明なエラー") : what)},
                                  std::nullopt);
            }
        },
        Qt::QueuedConnection);
}

void SampleRunner::showCase(int index)
{
    Session& run = *session_;
    const CaseResult& result = run.results[index];
    const Judged& judged = run.judged[index];
    host_.addOpeningMessage(verdictLine(run.cases[index].name, judged, result), [this, index] { showCaseWindow(index); });
    if (judged.difference)
        host_.appendMessages(differenceLines(*judged.difference), std::nullopt);
    if (judged.verdict != Verdict::RE || run.stems[index].isEmpty())
        return;
    // A fault the checks caught is explained as after Execute, at its line.
    const RunRecord record{result.pid, result.exitCode, result.signal, result.ms};
    const RunFault fault = host_.watchedRunFault(run.stems[index], record);
    for (const Explanation& e : fault.explanations) {
        QStringList lines;
        for (const QString& line : e.text.split(u'\n'))
            lines << QStringLiteral("    → ") + line;
        host_.appendMessages(lines, e.place.line > 0 ? std::optional(e.place) : std::nullopt);
    }
    if (!fault.report.isEmpty()) {
        run.reports << fault.report;
        host_.appendMessages({QStringLiteral("    （実行時チェックの報告: %1）").arg(fault.report)}, std::nullopt);
    }
}

void SampleRunner::showEnd()
{
    Session& run = *session_;
    run.finished = true;
    if (stopKey_)
        stopKey_->setEnabled(false);
    int accepted = 0;
    for (const Judged& j : run.judged)
        accepted += j.verdict == Verdict::AC ? 1 : 0;
    QStringList lines;
    if (run.results.size() < run.cases.size() ||
        (!run.judged.isEmpty() && run.judged.constLast().verdict == Verdict::Stopped))
        lines << QStringLiteral("中止しました");
    lines << summaryLine(int(run.cases.size()), accepted);
    host_.appendMessages(lines, std::nullopt);
    if (state_.GuardedRun && lines.size() == 1)
        replay_->start(replayProgram(host_.folders()), run.cases);
}

void SampleRunner::showCaseWindow(int index)
{
    if (!session_ || index >= session_->results.size())
        return;
    const Session& run = *session_;
    const CaseFiles& files = run.cases[index];
    const QString input = shownText(readBytes(files.inputPath, kShownBytes).value_or(QByteArray()));
    const QString expected =
        files.outputPath.isEmpty() ? QString() : shownText(readBytes(files.outputPath, kShownBytes).value_or(QByteArray()));
    const QString actual = shownText(run.results[index].output.left(kShownBytes));
    if (caseWindow_)
        caseWindow_->close();
    auto* window = new QDialog(window_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(verdictLine(files.name, run.judged[index], run.results[index]));
    auto* layout = new QGridLayout(window);
    const LineMarks marks = differingLines(expected, actual, run.options);
    const struct {
        QString title;
        QString text;
        QList<int> marked;
    } panes[] = {{QStringLiteral("入力"), input, {}},
                 {QStringLiteral("期待する出力"), expected, marks.expected},
                 {QStringLiteral("実際の出力"), actual, marks.actual}};
    for (int column = 0; column < 3; ++column) {
        layout->addWidget(new QLabel(panes[column].title, window), 0, column);
        layout->addWidget(caseBox(panes[column].title, panes[column].text, panes[column].marked, window), 1, column);
    }
    window->resize(900, 420);
    caseWindow_ = window;
    window->show();
}

void SampleRunner::addSample()
{
    if (!saved())
        return;
    const std::optional<SampleCaseText> text = host_.dialogs().sampleCase(QGuiApplication::clipboard()->text());
    if (!text)
        return;
    const QString cases = folder();
    const AddedSample added = nollex::addSample(cases, text->input, text->expected);
    if (!added.error.isEmpty()) {
        ShowError(host_.dialogs(), added.error);
        return;
    }
    host_.appendMessages({QStringLiteral("%1%2.in と %2.out を追加しました").arg(cases, added.name)}, std::nullopt);
}

void SampleRunner::toggleNumbersWithin()
{
    state_.SampleNumbersWithin = !state_.SampleNumbersWithin;
    host_.showSwitches();
}

}  // namespace nollex
