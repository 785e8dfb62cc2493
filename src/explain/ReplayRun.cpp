// The replay's runner: the unchecked build under memcheck, fed the bytes the learner
// typed, its output discarded, within a time and an output limit.
#include "Replay.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace nollex {

namespace {

constexpr int kPollMs = 40;
constexpr qint64 kLargestReport = 16 << 20;

QString reportFileIn(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("replay.xml"));
}

// Kills the whole group, so a child the program started does not outlive it.
void killGroup(QProcess& p)
{
    if (const qint64 pid = p.processId(); pid > 0)
        ::kill(-pid_t(pid), SIGKILL);
    p.kill();
    p.waitForFinished(2000);
}

// Runs until the process ends, a limit is reached or the stop flag is set.
ReplayEnd watch(QProcess& p, const ReplayRequest& request, const std::atomic<bool>* stop)
{
    const QDeadlineTimer deadline(request.timeLimitMs);
    qint64 written = 0;
    for (;;) {
        if (stop && stop->load())
            return ReplayEnd::Stopped;
        if (p.state() == QProcess::NotRunning)
            return ReplayEnd::Finished;
        if (deadline.hasExpired())
            return ReplayEnd::TimeLimit;
        p.waitForReadyRead(kPollMs);
        written += p.readAll().size();
        if (written > request.outputLimit)
            return ReplayEnd::OutputLimit;
    }
}

}  // namespace

QStringList replayArguments(const ReplayRequest& request, const QString& reportFile)
{
    // valgrind expands %p and %q{…} in the report's name: a '%' of the folder is doubled.
    QString file = reportFile;
    file.replace(u'%', QStringLiteral("%%"));
    QStringList args = {QStringLiteral("--tool=memcheck"),   QStringLiteral("--track-origins=yes"),
                        QStringLiteral("--xml=yes"),         QStringLiteral("--xml-file=") + file,
                        QStringLiteral("--error-limit=no"),  QStringLiteral("--leak-check=no"),
                        QStringLiteral("--trace-children=no"), QStringLiteral("-q"),
                        QStringLiteral("--")};
    args.append(request.program);
    args.append(request.arguments);
    return args;
}

ReplayResult runReplay(const ReplayRequest& request, const std::atomic<bool>* stop)
{
    ReplayResult result;
    const QString valgrind = request.valgrind.contains(u'/') ? request.valgrind
                                                             : QStandardPaths::findExecutable(request.valgrind);
    if (valgrind.isEmpty() || !QFileInfo(valgrind).isExecutable()) {
        result.end = ReplayEnd::Missing;
        return result;
    }
    if (request.folder.isEmpty() || !QFileInfo(request.folder).isDir() || request.program.isEmpty())
        return result;
    const QString report = request.reportFile.isEmpty() ? reportFileIn(request.folder) : request.reportFile;
    QFile::remove(report);

    QProcess p;
    p.setProgram(valgrind);
    p.setArguments(replayArguments(request, report));
    p.setWorkingDirectory(request.folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("VALGRIND_OPTS"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setChildProcessModifier([] { ::setpgid(0, 0); });
    p.start();
    if (!p.waitForStarted(5000)) {
        result.end = p.error() == QProcess::FailedToStart ? ReplayEnd::Missing : ReplayEnd::Failed;
        return result;
    }
    p.write(request.input);
    p.closeWriteChannel();
    result.end = watch(p, request, stop);
    if (result.end != ReplayEnd::Finished)
        killGroup(p);

    QFile file(report);
    if (file.open(QIODevice::ReadOnly)) {
        result.errors = parseMemcheckXml(file.read(kLargestReport));
        file.close();
    } else if (result.end == ReplayEnd::Finished) {
        result.end = ReplayEnd::Failed;
    }
    if (request.reportFile.isEmpty())
        QFile::remove(report);
    return result;
}

}  // namespace nollex
