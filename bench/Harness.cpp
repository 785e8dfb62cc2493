#include "Harness.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace nollex::bench {

double median(std::vector<double> samples)
{
    if (samples.empty())
        return std::nan("");
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

bool Row::met() const
{
    if (reference())
        return error.isEmpty();
    return error.isEmpty() && !samples.empty() && median(samples) <= limit;
}

QString Row::figure() const
{
    if (!error.isEmpty())
        return QStringLiteral("not measured: ") + error;
    const double m = median(samples);
    const int decimals = m < 10 ? 2 : (m < 100 ? 1 : 0);
    QString text = QString::number(m, 'f', decimals) + u' ' + unit;
    if (!note.isEmpty())
        text += QStringLiteral(" (") + note + u')';
    return text;
}

void Table::add(Row row)
{
    std::fprintf(stderr, "  %-70s %s\n", qPrintable(row.work), qPrintable(row.figure()));
    rows_.push_back(std::move(row));
}

QString Table::markdown() const
{
    QString text = QStringLiteral("| Work | Median | Runs | Target | Met |\n|---|---|---|---|---|\n");
    for (const Row& r : rows_) {
        text += QStringLiteral("| %1 | %2 | %3 | %4 | %5 |\n")
                    .arg(r.work, r.figure(), QString::number(r.samples.size()),
                         r.reference() ? QStringLiteral("—") : r.target,
                         r.reference() ? QStringLiteral("(reference)")
                         : r.met()       ? QStringLiteral("yes")
                                         : QStringLiteral("**no**"));
    }
    return text;
}

bool Table::allMet() const
{
    return std::all_of(rows_.begin(), rows_.end(), [](const Row& r) { return r.met(); });
}

PaintCounter::PaintCounter()
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool PaintCounter::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Paint)
        ++count_;
    return false;
}

bool settle(const PaintCounter* paints, long paintsBefore)
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    const Clock::time_point start = Clock::now();
    int quiet = 0;
    for (;;) {
        QCoreApplication::sendPostedEvents();
        const bool worked = dispatcher->processEvents(QEventLoop::AllEvents);
        quiet = worked ? 0 : quiet + 1;
        const bool painted = !paints || paints->count() > paintsBefore;
        if (quiet >= 3 && painted)
            return true;
        if (msSince(start) > 10000)
            return false;
        // An update may be timed rather than queued: look again shortly.
        if (quiet >= 3)
            QThread::usleep(50);
    }
}

std::optional<double> untilIdle(double limitMs)
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    const Clock::time_point start = Clock::now();
    QTimer wake;  // ends a wait that nothing else ends
    wake.setSingleShot(true);
    while (msSince(start) < limitMs) {
        QCoreApplication::sendPostedEvents();
        wake.start(150);
        const Clock::time_point t0 = Clock::now();
        dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (msSince(t0) >= 100)
            return msSince(start) - msSince(t0);
    }
    return std::nullopt;
}

bool firstPaint(const PaintCounter* paints, long paintsBefore)
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    const Clock::time_point start = Clock::now();
    while (paints->count() <= paintsBefore) {
        QCoreApplication::sendPostedEvents();
        dispatcher->processEvents(QEventLoop::AllEvents);
        if (msSince(start) > 10000)
            return false;
    }
    return true;
}

ChildRun runChild(const QStringList& argv, const QString& folder,
                  const QStringList& extraEnvironment, bool keepStderr)
{
    std::vector<QByteArray> args;
    for (const QString& a : argv)
        args.push_back(QFile::encodeName(a));
    std::vector<char*> argp;
    for (QByteArray& a : args)
        argp.push_back(a.data());
    argp.push_back(nullptr);

    std::vector<QByteArray> env;
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        const QByteArray name = entry.left(entry.indexOf('=') + 1);
        const bool replaced = std::any_of(extraEnvironment.begin(), extraEnvironment.end(),
                                          [&](const QString& x) { return x.toUtf8().startsWith(name); });
        if (!replaced)
            env.push_back(entry);
    }
    for (const QString& x : extraEnvironment)
        env.push_back(x.toUtf8());
    std::vector<char*> envp;
    for (QByteArray& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    ChildRun run;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    if (!keepStderr)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const QByteArray dir = QFile::encodeName(folder);
    if (!dir.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, dir.constData());

    pid_t pid = 0;
    run.started = Clock::now();
    const int error = posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (error != 0) {
        close(out[0]);
        return run;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n > 0)
            run.output.append(buffer, n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.wallMs = msSince(run.started);
    run.exitStatus = status;
    run.maxResidentKb = usage.ru_maxrss;
    return run;
}

QString machineDescription()
{
    QString model;
    QFile cpu(QStringLiteral("/proc/cpuinfo"));
    if (cpu.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : cpu.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                model = QString::fromUtf8(line.mid(line.indexOf(':') + 1)).trimmed();
                break;
            }
        }
    }
    long ramMb = 0;
    QFile mem(QStringLiteral("/proc/meminfo"));
    if (mem.open(QIODevice::ReadOnly)) {
        const QByteArray first = mem.readLine();  // MemTotal:  N kB
        ramMb = first.simplified().split(' ').value(1).toLong() / 1024;
    }
    return QStringLiteral("%1 CPUs (nproc), %2, %3 GB RAM")
        .arg(QThread::idealThreadCount())
        .arg(model.isEmpty() ? QStringLiteral("unknown CPU") : model)
        .arg(QString::number(ramMb / 1024.0, 'f', 1));
}

}  // namespace nollex::bench
