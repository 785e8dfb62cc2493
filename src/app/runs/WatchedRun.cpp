// The watched run's end and its report (see WatchedRun.h).
#include "app/runs/WatchedRun.h"

#include "compile/MessagePlace.h"
#include "explain/Explainer.h"
#include "explain/Replay.h"
#include "explain/RunFault.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolders.h"
#include "platform/ShowError.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

namespace nollex {

WatchedRun::WatchedRun(WindowHost& host, QObject* parent) : QObject(parent), host_(host) {}

// Straight to the file: the window that owns the host is being taken apart. A
// replay still running on the console stops when its program is gone.
WatchedRun::~WatchedRun()
{
    if (!replay_.isEmpty())
        QFile::remove(replay_);
}

bool WatchedRun::folderReady() const
{
    const QString& folder = host_.folders().runs;
    return !folder.isEmpty() && !makePrivateFolder(folder) && !checkPrivateFolder(folder);
}

QStringList WatchedRun::watch(bool consoleCloses)
{
    end();
    if (!report_.isEmpty())
        host_.files().remove(report_);  // the pane that named it is replaced
    report_.clear();
    if (!folderReady())
        return {};
    const QString& folder = host_.folders().runs;
    static int runs = 0;
    const QString stem = folder + QStringLiteral("run-%1-%2").arg(QCoreApplication::applicationPid()).arg(++runs);
    QStringList environment = runEnvironment(stem);
    // What the console's explaining tool needs of the page.
    if (environment.isEmpty() ||
        host_.files().writeFile(stem + QStringLiteral(".page"), runPageBytes(host_.builtPageFacts())))
        return {};
    // The last guarded build's replay build, for the console to replay the run with.
    const QString replay = replayProgram(host_.folders());
    if (const std::optional<FoundEntry> found = host_.files().findFirst(replay); found && !found->isLink) {
        environment << QStringLiteral("NOLLEX_REPLAY=") + replay;
        replay_ = replay;
    }
    stem_ = stem;
    consoleCloses_ = consoleCloses;
    if (!timer_) {
        timer_ = new QTimer(this);
        connect(timer_, &QTimer::timeout, this, &WatchedRun::poll);
    }
    // Often enough that the pane tells of the end well within a second.
    timer_->start(100);
    return environment;
}

void WatchedRun::end()
{
    if (timer_)
        timer_->stop();
    if (stem_.isEmpty())
        return;
    host_.files().remove(stem_ + QStringLiteral(".page"));
    host_.files().remove(stem_ + QStringLiteral(".end"));
    host_.files().remove(replayReportPath(stem_));
    stem_.clear();
}

void WatchedRun::poll()
{
    const std::optional<QByteArray> bytes = host_.files().readFile(stem_ + QStringLiteral(".end"));
    const std::optional<RunRecord> record = bytes ? parseRunRecord(*bytes) : std::nullopt;
    if (!record)
        return;
    // An error here is shown and the window goes on, as from any handler.
    try {
        showEnd(*record);
    } catch (...) {
        ShowError(host_.dialogs(), textOfCurrentException());
    }
    end();
}

void WatchedRun::showEnd(const RunRecord& record)
{
    const BuiltPage page = host_.builtPageFacts();
    RunFault fault = readRunFault(host_.explainer(), stem_, record, page);
    // What the console's replay saw, explained as the console explained it.
    if (const std::optional<QByteArray> replay = host_.files().readFile(replayReportPath(stem_)))
        addReplayFindings(fault, ReplayExplainer::installed(), parseMemcheckXml(*replay), page);
    report_ = fault.report;
    qsizetype explainedLines = 0;
    for (const Explanation& e : fault.explanations) {
        const QStringList lines = e.text.split(u'\n');
        explainedLines += lines.size();
        host_.appendMessages(lines, e.place.line > 0 ? std::optional(e.place) : std::nullopt);
        host_.explainOnPage(e.place, e.text);
    }
    // The report's file or the signal, after the explanations' own lines.
    QStringList told = runFaultLines(fault).mid(explainedLines);
    if (consoleCloses_)
        told << runToldLine(record);
    host_.appendMessages(told, std::nullopt);
}

}  // namespace nollex
