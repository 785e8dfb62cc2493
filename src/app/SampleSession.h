#pragma once
// The window's Sample Run: its cases, their results as they come from the worker
// thread, and the thread itself (see TForm1Samples.cpp).
#include "TForm1.h"
#include "samples/CaseRunner.h"
#include "samples/Compare.h"
#include "samples/SampleCases.h"
#include "samples/Verdict.h"

#include <atomic>
#include <thread>

namespace nollex {

struct TForm1::SampleSession {
    // Which run a result posted from the worker belongs to: a later run may have
    // replaced this one before the window takes it.
    const int id = nextId();
    QList<CaseFiles> cases;
    QList<CaseResult> results;  // as the cases end, in order
    QList<Judged> judged;
    QList<QString> stems;       // each case's checker report stem; empty unwatched
    QStringList reports;        // the checkers' reports the pane names; removed with the run
    CompareOptions options;
    std::atomic<bool> stop{false};
    std::thread worker;
    bool finished = false;

    static int nextId()
    {
        static int last = 0;
        return ++last;
    }
    ~SampleSession()
    {
        stop = true;
        if (worker.joinable())
            worker.join();
    }
};

}  // namespace nollex
