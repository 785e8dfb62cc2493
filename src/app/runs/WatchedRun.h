#pragma once
// The watched run: a program started by Execute with the run-time checks is
// watched for its end (see explain/RunFault.h); a fault is explained in the
// message pane and under the page's line, with the checkers' report named.

#include "state/WindowHost.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;

namespace nollex {

struct RunRecord;

class WatchedRun : public QObject {
    Q_OBJECT
public:
    WatchedRun(WindowHost& host, QObject* parent);
    ~WatchedRun() override;  // the replay's build goes with the window

    // Watches the run about to start, in place of any run watched before; the
    // entries the console's environment needs, none when it cannot be watched.
    QStringList watch(bool consoleCloses);
    // The private folder of runs' records and reports, made when missing; false
    // when it cannot be had (the run then goes unwatched).
    bool folderReady() const;

private:
    void poll();
    void end();  // forgets the watched run and removes its files but the report
    void showEnd(const RunRecord& record);

    WindowHost& host_;
    QString stem_;  // empty: none
    bool consoleCloses_ = false;
    QTimer* timer_ = nullptr;
    QString report_;  // the checkers' report the pane names; removed at the next run
    QString replay_;  // the replay's build a run was given; empty: none
};

}  // namespace nollex
