#pragma once
// The debugging under way in DebugPanel; shared by its files, no one else's.
#include "app/debug/DebugPanel.h"
#include "debug/DebugSession.h"

#include <QTimer>

namespace nollex {

// The debugger: NOLLEX_GDB names another than the gdb on PATH; empty when there is none.
QString gdbProgram();

struct DebugPanel::Run {
    // The session may be the one telling of its end when the run is dropped: it
    // goes once it has told, or with the window.
    explicit Run(QObject* owner) : session(new DebugSession(owner)) {}
    DebugSession* session;
    ~Run()
    {
        const QSignalBlocker quiet(session);
        session->end();
        session->deleteLater();
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

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
