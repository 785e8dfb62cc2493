#pragma once
// The sample cases replayed under memcheck once their verdicts are shown (see
// explain/Replay.h), one after another in a worker thread: a case whose run used a
// value never set gets a warning line, whatever its verdict. The next build (F6 or
// F9) stops it, as it stops the sample run.

#include "samples/SampleCases.h"

#include <QList>
#include <QObject>
#include <memory>

namespace nollex {

class WindowHost;
struct ReplayError;

class SampleReplay : public QObject {
    Q_OBJECT
public:
    SampleReplay(WindowHost& host, QObject* parent);
    ~SampleReplay() override;

    // Replays the cases with the guarded build's replay program, in place of any
    // replay before; nothing when that program is not there.
    void start(const QString& program, const QList<CaseFiles>& cases);
    void stop();

private:
    struct Work;
    void replayCases(Work& work);  // in the worker thread
    void show(const QString& name, const QList<ReplayError>& errors);

    WindowHost& host_;
    std::unique_ptr<Work> work_;
    bool told_ = false;  // the heading line is in the pane
};

}  // namespace nollex
