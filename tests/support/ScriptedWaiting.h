#pragma once
// A Waiting for tests: no window; it records what each wait would show, polls
// until the wait is over, and stops a wait when the test says so.

#include "platform/Waiting.h"

#include <QStringList>
#include <QThread>
#include <functional>

namespace nollex::test {

class ScriptedWaiting : public Waiting {
public:
    QStringList texts;        // each wait's text, in order
    int stopAfterPolls = -1;  // a wait not over after this many polls is stopped; -1: never
    std::function<void(int)> onPoll;  // called with the poll's number after each unfinished poll

    bool waitFor(const std::function<bool()>& finished, const QString& text) override
    {
        texts << text;
        for (int poll = 0;; ++poll) {
            if (finished())
                return true;
            if (stopAfterPolls >= 0 && poll >= stopAfterPolls)
                return false;
            if (onPoll)
                onPoll(poll);
            QThread::msleep(5);
        }
    }
};

}  // namespace nollex::test
