// nollex-explain STEM PID SIGNAL [REPLAY]
//
// Started by the console's interpreter after a watched run (see cmd/WatchedRun.h):
// explains, in Japanese and on the console, the fault that the run-time checkers
// reported for process PID, or the signal that ended it (0: none). The built
// page's name and text come from STEM.page. With REPLAY (the page's build without
// the checks) the run is replayed first under memcheck, fed STEM.input, and a value
// never set is explained too; memcheck's report stays at STEM.replay.xml for the
// window. The replay stops when the window takes STEM.page or REPLAY away (a new
// build or run). Exit status 0 when it wrote an explanation, 1 when there was
// nothing to explain.
#include "explain/Replay.h"
#include "explain/RunFault.h"
#include "platform/ProgramFolders.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

// A hello-world's replay takes about a second under memcheck; a loop or a path the
// guarded run did not take ends here, with nothing explained that was not seen.
constexpr int kReplayTimeLimitMs = 10000;
constexpr int kPatienceMs = 2000;

QList<nollex::ReplayError> replay(const QString& stem, const QString& program)
{
    QFile input(stem + QStringLiteral(".input"));
    nollex::ReplayRequest request;
    request.valgrind = nollex::valgrindProgram();
    request.program = program;
    request.input = input.open(QIODevice::ReadOnly) ? input.readAll() : QByteArray();
    request.folder = QFileInfo(stem).absolutePath();
    request.timeLimitMs = kReplayTimeLimitMs;
    request.reportFile = nollex::replayReportPath(stem);
    std::atomic<bool> stop = false;
    std::atomic<bool> done = false;
    // Either goes when the window has moved on to another build or run.
    const QString page = stem + QStringLiteral(".page");
    std::thread watcher([&stop, &done, page, program] {
        // A replay that takes long says why the console waits.
        const auto told = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
        bool waiting = false;
        while (!done.load()) {
            if (!QFileInfo::exists(page) || !QFileInfo::exists(program))
                stop = true;
            if (!waiting && std::chrono::steady_clock::now() > told) {
                waiting = true;
                std::fputs("\n（値を入れる前の変数を使っていないか、valgrind で確かめています…）\n", stdout);
                std::fflush(stdout);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
    });
    const nollex::ReplayResult result = nollex::runReplay(request, &stop);
    done = true;
    watcher.join();
    if (result.end == nollex::ReplayEnd::Stopped) {
        QFile::remove(request.reportFile);
        return {};
    }
    return result.errors;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5)
        return 2;
    QCoreApplication app(argc, argv);
    const QString stem = QString::fromLocal8Bit(argv[1]);
    nollex::RunRecord record;
    record.pid = QByteArray(argv[2]).toLongLong();
    record.signal = QByteArray(argv[3]).toInt();
    QFile pageFile(stem + QStringLiteral(".page"));
    nollex::BuiltPage page;
    if (pageFile.open(QIODevice::ReadOnly))
        page = nollex::parseRunPage(pageFile.readAll());
    const nollex::Explainer explainer = nollex::Explainer::installed();
    nollex::RunFault fault = nollex::readRunFault(explainer, stem, record, page);
    if (argc == 5) {
        const QList<nollex::ReplayError> errors = replay(stem, QString::fromLocal8Bit(argv[4]));
        nollex::addReplayFindings(fault, nollex::ReplayExplainer::installed(), errors, page);
    }
    const QStringList lines = nollex::runFaultLines(fault);
    if (lines.isEmpty())
        return 1;
    const QByteArray text = (u'\n' + lines.join(u'\n') + u'\n').toUtf8();
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
    return 0;
}
