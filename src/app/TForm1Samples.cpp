// Sample Run: the page's cases in its test/ folder run one by one in a worker
// thread against the program just built, each judged and shown in the message
// pane as it ends; the window stays live and Escape (or F6 again) stops the run.
#include "SampleSession.h"

#include "explain/RunFault.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/ShowError.h"
#include "samples/CaseRunner.h"
#include "samples/Compare.h"
#include "samples/SampleCases.h"
#include "samples/Verdict.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextBlock>

#include <malloc.h>
#include <utility>


namespace nollex {

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

}  // namespace

bool TForm1::samplesRunning() const { return samples_ && !samples_->finished; }

void TForm1::stopSamples(bool wait)
{
    if (!samples_)
        return;
    samples_->stop = true;
    if (wait && samples_->worker.joinable())
        samples_->worker.join();
}

QString TForm1::sampleFolder() const
{
    const QString file = Memos->fileName(Memos->ActiveIndex());
    return file.isEmpty() ? QString() : QFileInfo(file).absolutePath() + QStringLiteral("/test/");
}

bool TForm1::savedForSamples()
{
    return !Memos->fileName(Memos->ActiveIndex()).isEmpty() || SavePage(SaveMode::SaveAs);
}

void TForm1::SampleRun1Click()
{
    if (samplesRunning()) {
        stopSamples(false);
        return;
    }
    if (!savedForSamples())
        return;
    const QString folder = sampleFolder();
    if (findCases(folder).isEmpty()) {
        setMessages(QStringLiteral("サンプルケースがありません。ケースはページのファイルと同じフォルダの test フォルダに、"
                                   "入力を sample-1.in、期待する出力を sample-1.out のように置きます（%1）。"
                                   "Compile → Add Sample（ケース追加）で追加できます。")
                        .arg(folder));
        return;
    }
    RunBuild(BuildMode::SampleRun);
}

void TForm1::runSamples(const QString& program)
{
    if (samples_) {
        for (const QString& report : std::as_const(samples_->reports))
            files().remove(report);
    }
    samples_ = std::make_unique<SampleSession>();
    SampleSession& run = *samples_;
    run.cases = findCases(sampleFolder());
    run.options.numbersWithin = State.SampleNumbersWithin;
    QStringList environments;
    const QString& runs = folders().runs;
    const bool watched = State.GuardedRun && runsFolderReady();
    for (int i = 0; i < run.cases.size(); ++i) {
        run.stems << (watched ? runs + QStringLiteral("case-%1-%2").arg(QCoreApplication::applicationPid()).arg(i + 1)
                              : QString());
    }
    appendMessages({QStringLiteral("サンプルケース %1 件を実行します（Esc で中止）").arg(run.cases.size())}, std::nullopt);
    if (!stopSamplesKey_) {
        stopSamplesKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        connect(stopSamplesKey_, &QShortcut::activated, this, [this] { stopSamples(false); });
    }
    stopSamplesKey_->setEnabled(true);
    CaseRequest request{program, State.WorkFolder, QString(), State.SampleTimeLimit, kOutputCap, {}, {}};
    request.launcher = folders().install + QStringLiteral("nollex-case");
    run.worker = std::thread([this, &run, request]() mutable {
        // Nothing thrown here may end the program: the run ends with a line saying why.
        try {
            runCases(run, request);
        } catch (const std::exception& e) {
            postSamplesFailure(run.id, QString::fromLocal8Bit(e.what()));
        } catch (...) {
            postSamplesFailure(run.id, QString());
        }
        QMetaObject::invokeMethod(
            this,
            [this, id = run.id] {
                if (samples_ && samples_->id == id)
                    showSamplesEnd();
            },
            Qt::QueuedConnection);
    });
}

// In the worker: each case in turn, its result posted to the window as it ends.
void TForm1::runCases(SampleSession& run, CaseRequest request)
{
    for (int i = 0; i < run.cases.size() && !run.stop; ++i) {
        request.inputPath = run.cases[i].inputPath;
        request.environment = run.stems[i].isEmpty() ? QStringList() : runEnvironment(run.stems[i]);
        auto [result, judged] = runAndJudge(request, run.cases[i].outputPath, run.options, run.stop);
        QMetaObject::invokeMethod(
            this,
            [this, id = run.id, result = std::move(result), judged = std::move(judged)] {
                if (!samples_ || samples_->id != id)
                    return;
                samples_->results << result;
                samples_->judged << judged;
                guarded([&] { showCase(int(samples_->results.size()) - 1); });
            },
            Qt::QueuedConnection);
    }
}

void TForm1::postSamplesFailure(int id, const QString& what)
{
    QMetaObject::invokeMethod(
        this,
        [this, id, what] {
            if (samples_ && samples_->id == id) {
                samples_->stop = true;
                appendMessages({QStringLiteral("サンプルケースの実行を続けられません（%1）")
                                    .arg(what.isEmpty() ? QStringLiteral("不明なエラー") : what)},
                               std::nullopt);
            }
        },
        Qt::QueuedConnection);
}

void TForm1::showCase(int index)
{
    SampleSession& run = *samples_;
    const CaseResult& result = run.results[index];
    const Judged& judged = run.judged[index];
    appendMessages({verdictLine(run.cases[index].name, judged, result)}, std::nullopt);
    caseLines_.insert(Memo2->document()->blockCount() - 1, index);
    if (judged.difference)
        appendMessages(differenceLines(*judged.difference), std::nullopt);
    if (judged.verdict != Verdict::RE || run.stems[index].isEmpty())
        return;
    // A fault the checks caught is explained as after Execute, at its line.
    const RunRecord record{result.pid, result.exitCode, result.signal, result.ms};
    const RunFault fault = readRunFault(explainer(), run.stems[index], record, builtPageFacts());
    for (const Explanation& e : fault.explanations) {
        QStringList lines;
        for (const QString& line : e.text.split(u'\n'))
            lines << QStringLiteral("    → ") + line;
        appendMessages(lines, e.place.line > 0 ? std::optional(e.place) : std::nullopt);
    }
    if (!fault.report.isEmpty()) {
        run.reports << fault.report;
        appendMessages({QStringLiteral("    （実行時チェックの報告: %1）").arg(fault.report)}, std::nullopt);
    }
}

void TForm1::showSamplesEnd()
{
    SampleSession& run = *samples_;
    run.finished = true;
    if (stopSamplesKey_)
        stopSamplesKey_->setEnabled(false);
    int accepted = 0;
    for (const Judged& j : run.judged)
        accepted += j.verdict == Verdict::AC ? 1 : 0;
    QStringList lines;
    if (run.results.size() < run.cases.size() || (!run.judged.isEmpty() && run.judged.constLast().verdict == Verdict::Stopped))
        lines << QStringLiteral("中止しました");
    lines << summaryLine(int(run.cases.size()), accepted);
    appendMessages(lines, std::nullopt);
}

void TForm1::showCaseWindow(int index)
{
    if (!samples_ || index >= samples_->results.size())
        return;
    const SampleSession& run = *samples_;
    const CaseFiles& files = run.cases[index];
    const QString input = shownText(readBytes(files.inputPath, kShownBytes).value_or(QByteArray()));
    const QString expected =
        files.outputPath.isEmpty() ? QString() : shownText(readBytes(files.outputPath, kShownBytes).value_or(QByteArray()));
    const QString actual = shownText(run.results[index].output.left(kShownBytes));
    if (CaseWindow)
        CaseWindow->close();
    auto* window = new QDialog(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(verdictLine(files.name, run.judged[index], run.results[index]));
    auto* layout = new QGridLayout(window);
    const LineMarks marks = differingLines(expected, actual, run.options);
    const QColor mark = QColor(255, 80, 80, 90);
    const struct {
        QString title;
        QString text;
        QList<int> marked;
    } panes[] = {{QStringLiteral("入力"), input, {}},
                 {QStringLiteral("期待する出力"), expected, marks.expected},
                 {QStringLiteral("実際の出力"), actual, marks.actual}};
    for (int column = 0; column < 3; ++column) {
        layout->addWidget(new QLabel(panes[column].title, window), 0, column);
        auto* box = new QPlainTextEdit(panes[column].text, window);
        box->setReadOnly(true);
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->setObjectName(panes[column].title);
        QList<QTextEdit::ExtraSelection> selections;
        for (int line : panes[column].marked) {
            QTextEdit::ExtraSelection selection;
            selection.cursor = QTextCursor(box->document()->findBlockByNumber(line));
            selection.format.setBackground(mark);
            selection.format.setProperty(QTextFormat::FullWidthSelection, true);
            selections << selection;
        }
        box->setExtraSelections(selections);
        layout->addWidget(box, 1, column);
    }
    window->resize(900, 420);
    CaseWindow = window;
    window->show();
}

void TForm1::AddSample1Click()
{
    if (!savedForSamples())
        return;
    const std::optional<SampleCaseText> text = dialogs().sampleCase(QGuiApplication::clipboard()->text());
    if (!text)
        return;
    const QString folder = sampleFolder();
    const AddedSample added = addSample(folder, text->input, text->expected);
    if (!added.error.isEmpty()) {
        ShowError(dialogs(), added.error);
        return;
    }
    appendMessages({QStringLiteral("%1%2.in と %2.out を追加しました").arg(folder, added.name)}, std::nullopt);
}

void TForm1::SampleNumbers1Click()
{
    State.SampleNumbersWithin = !State.SampleNumbersWithin;
    showEditorSwitches();
}

}  // namespace nollex
