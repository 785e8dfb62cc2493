#pragma once
// The window's side of completion and parameter hints. The active page's text goes
// to clangd a moment after each change (never waiting for it); a name being typed,
// ".", "->", "::", an include's opening, or Ctrl+Space ask for the list, "(" and ","
// for the call's parameters. The list is the editing component's own: Tab or
// Return takes the choice, Escape closes it; the parameters show as a call tip
// with the current one marked. Option → Completion off asks nothing and closes both.
// clangd starts on the first question and ends with the window.

#include "lsp/Answers.h"
#include "lsp/ClangdClient.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>

class QWidget;

namespace nollex {

class TCustomizedMemo;
class WindowHost;
struct WindowState;

class CompletionAssist : public QObject {
    Q_OBJECT
public:
    // window: the parent and the owner of the Ctrl+Space key.
    CompletionAssist(WindowHost& host, WindowState& state, QWidget* window);
    ~CompletionAssist() override;

    void watch(TCustomizedMemo* editor);  // every page, as it is made
    void openList();                      // Ctrl+Space: the list at the caret, anywhere
    void toggle();                        // Option → Completion

    // clangd's program and times; a test may name another. The working folder is
    // the private build folder unless set.
    lsp::ClangdOptions options;
    lsp::ClangdClient* client() const { return client_; }
    // What the list and the call tip show now (for the tests).
    QStringList shownList() const;
    const QString& shownTip() const { return tip_; }
    QString shownTipMark() const;

private:
    void charAdded(TCustomizedMemo* editor, int ch);
    void changed(TCustomizedMemo* editor);
    void flush();
    void showList(const QString& file, const QList<lsp::CompletionItem>& items);
    void showTip(const QString& file, const lsp::SignatureHelp& help);
    void take(TCustomizedMemo* editor, const QString& entry);
    void closeAll(TCustomizedMemo* editor);
    lsp::ClangdClient& clangd();
    TCustomizedMemo* activeWhenOn() const;  // the active page while completion is on
    QString pageFile(TCustomizedMemo* editor);

    WindowHost& host_;
    WindowState& state_;
    lsp::ClangdClient* client_ = nullptr;
    QTimer settle_;  // the pause after a change before the page goes to clangd
    QHash<QObject*, QString> files_;  // each page's name for clangd
    QSet<QObject*> synced_;            // pages whose text clangd has
    int untitled_ = 0;
    bool wantList_ = false, wantTip_ = false;
    QList<lsp::CompletionItem> items_;  // the list's entries, as shown
    QString tip_;
    int tipStart_ = -1, tipEnd_ = -1;
    QSet<QString> told_;  // status lines already shown
};

}  // namespace nollex
