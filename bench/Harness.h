#pragma once
// The timing harness: samples, medians and the results table; an event-loop
// settle that waits until the window is idle again; child processes timed from
// their start.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <ctime>
#include <functional>
#include <optional>
#include <vector>

namespace nollex::bench {

using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC, shared with child processes

inline double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The processor time the calling thread has used, in ms.
inline double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double median(std::vector<double> samples);

// One line of the table: its median must not exceed limit.
struct Row {
    Row(QString work_, QString target_, double limit_, QString unit_ = QStringLiteral("ms"))
        : work(std::move(work_)), target(std::move(target_)), limit(limit_), unit(std::move(unit_))
    {
    }

    QString work;
    QString target;  // as the table shows it
    double limit = 0;
    QString unit;
    std::vector<double> samples;
    QString note;   // shown after the figure, e.g. a comparison
    QString error;  // the scenario could not run as meant

    // A reference row has no target of its own: it shows what a figure is made of.
    bool reference() const { return target.isEmpty(); }
    bool met() const;
    QString figure() const;
};

class Table {
public:
    void add(Row row);
    const std::vector<Row>& rows() const { return rows_; }
    // A Markdown table: work, median, runs, target, met.
    QString markdown() const;
    bool allMet() const;

private:
    std::vector<Row> rows_;
};

// Counts paint events of every widget, so a settle can wait for the repaint that
// follows a command.
class PaintCounter : public QObject {
public:
    PaintCounter();
    long count() const { return count_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    long count_ = 0;
};

// Runs the event loop until nothing is left to do and, with paints, until at least
// one paint has happened since paintsBefore. False after 10 s without that.
bool settle(const PaintCounter* paints = nullptr, long paintsBefore = 0);

// Runs the event loop until the program has nothing left to do in the background
// either (the editing component's wrapping and colouring run on a timer that is
// due at once while they last): until the loop waits, idle, for a tenth of a
// second. The time that took in ms, or nothing after limitMs.
std::optional<double> untilIdle(double limitMs);

// Runs the event loop until the first paint after paintsBefore, whatever else
// goes on in the background. False after 10 s without one.
bool firstPaint(const PaintCounter* paints, long paintsBefore);

struct ChildRun {
    int exitStatus = -1;       // of waitpid; -1 when it could not start
    QByteArray output;         // its standard output
    double wallMs = 0;         // start to end
    long maxResidentKb = 0;    // peak resident set of the child
    Clock::time_point started;
};

// Starts argv (argv[0] a full path) in folder with extra "NAME=value" entries
// added to this process's environment, waits for it and collects its output.
ChildRun runChild(const QStringList& argv, const QString& folder,
                  const QStringList& extraEnvironment = {}, bool keepStderr = false);

// "N CPUs, model, RAM" of this machine.
QString machineDescription();

}  // namespace nollex::bench
