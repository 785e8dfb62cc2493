#pragma once
// The 「変数」 pane (the stopped frame's variables) and the 「呼び出し」 list (the
// call stack) beside the message pane while debugging. What the user asks of them
// (a member opened or closed, more elements, another frame) they tell by signals.

#include <QObject>
#include <functional>

class QRect;
class QTreeWidget;
class QWidget;

namespace nollex {

struct DebugView;
struct FrameFacts;

class DebugPanes : public QObject {
    Q_OBJECT
public:
    // The panes are made hidden, children of parent.
    DebugPanes(QWidget* parent, QObject* owner);

    QTreeWidget* variables() const { return variables_; }
    QTreeWidget* callStack() const { return callStack_; }

    void showVariables(const DebugView& view);
    // fileName: how a frame's file is named (a page as its tab names it).
    void showCallStack(const DebugView& view, const std::function<QString(const FrameFacts&)>& fileName);
    void grey();  // the program runs on from what they show
    void setShown(bool on);  // emptied either way
    bool shown() const;
    void place(const QRect& variables, const QRect& callStack);

signals:
    void expandedChanged(const QString& path, bool expanded);
    void moreWanted(const QString& path);
    void frameChosen(int level);

private:
    QTreeWidget* variables_;
    QTreeWidget* callStack_;
};

}  // namespace nollex
