#pragma once
// The window side of the journal of unsaved pages, and the check of the pages'
// files changed on disk. It follows each page's changes, hands their copies to
// the writer thread, puts a journal left by a window that ended back into the
// pages, and removes it at a normal close. A child of the window; it knows the
// window as a WindowHost and writes its lines into the message pane it is given.

#include "journal/JournalFolder.h"
#include "journal/JournalWriter.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

class QPlainTextEdit;

namespace nollex {

class TCustomizedMemo;
class WindowHost;

class JournalKeeper : public QObject {
public:
    JournalKeeper(WindowHost& host, QPlainTextEdit& pane, QObject* parent);
    ~JournalKeeper() override;

    void watch(TCustomizedMemo* editor);  // the journal follows the page's changes
    void restore();   // the pages of a window that ended without closing
    void write();     // the pages changed since the last round go to the writer
    void close();     // a normal close: the journal goes
    void waitIdle();  // until what was handed to the writer is on disk
    // The window got the focus: pages whose files another program changed.
    void checkFilesOnDisk();

private:
    struct Watched {
        int id = 0;
        bool dirty = true;  // changed since its last round
    };

    void changed(const TCustomizedMemo* editor);
    void reported(const std::optional<QString>& error);
    bool ensureFolder();
    void checkFileOnDisk(int page);

    WindowHost& host_;
    QPlainTextEdit& pane_;
    QHash<const TCustomizedMemo*, Watched> pages_;
    int nextId_ = 1;
    std::unique_ptr<JournalFolder> folder_;
    QTimer timer_;
    QElapsedTimer sinceFirstChange_;
    bool failureShown_ = false;
    bool checking_ = false;  // the files on disk are being checked (a question may be up)
    // Last, so that it goes first: its thread reports to the members above.
    JournalWriter writer_;
};

}  // namespace nollex
