#pragma once
// The debugging under way in the window (see TForm1Debug.cpp).
#include "app/TForm1.h"
#include "debug/DebugSession.h"

#include <QTimer>

namespace nollex {

struct TForm1::DebugRun {
    // The session may be the one telling of its end when the run is dropped: it
    // goes once it has told, or with the window.
    explicit DebugRun(QObject* window) : session(new DebugSession(window)) {}
    DebugSession* session;
    ~DebugRun()
    {
        const QSignalBlocker quiet(session);
        session->end();
        session->deleteLater();
    }

    QString program;
    QString ready;          // the file the console writes its terminal's name to
    QString keys;           // the file the console writes the debugger's keys typed there to
    qint64 keysRead = 0;    // how much of it has been acted on
    qint64 consolePid = 0;  // the console's own process, once known
    QTimer consoleTimer;
    QTimer keysTimer;
    int waitedMs = 0;
    int shownFrame = -1;  // the frame whose line the page shows
    bool edited = false;  // a page changed since the build: the program is the old text
    QList<QMetaObject::Connection> watches;
};

}  // namespace nollex
