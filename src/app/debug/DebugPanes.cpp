#include "app/debug/DebugPanes.h"

#include "debug/DebugSession.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace nollex {

namespace {

// Where a variable's tree item keeps its path, and what an item that lists more stands for.
constexpr int kPathRole = Qt::UserRole;
constexpr int kMoreRole = Qt::UserRole + 1;
// Where a call stack's row keeps its frame's level (-1: the row of frames left out).
constexpr int kLevelRole = Qt::UserRole;

void greyItems(QTreeWidget* tree)
{
    const QColor grey = tree->palette().color(QPalette::Disabled, QPalette::Text);
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        for (int column = 0; column < tree->columnCount(); ++column)
            (*it)->setForeground(column, grey);
    }
}

void addVariableItems(QTreeWidgetItem* parent, QTreeWidget* tree, const QList<DebugVariable>& list,
                      const DebugVariable* owner)
{
    const auto add = [&](QTreeWidgetItem* item) {
        if (parent)
            parent->addChild(item);
        else
            tree->addTopLevelItem(item);
    };
    for (const DebugVariable& v : list) {
        auto* item = new QTreeWidgetItem({v.name, v.value, v.type});
        item->setData(0, kPathRole, v.path);
        item->setToolTip(1, v.value);
        if (v.changed) {
            QFont bold = item->font(1);
            bold.setBold(true);
            item->setFont(0, bold);
            item->setFont(1, bold);
            item->setForeground(1, QColor(0xD0, 0x20, 0x20));
        }
        if (v.expandable)
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        add(item);
        addVariableItems(item, tree, v.children, &v);
        if (v.expanded)
            item->setExpanded(true);
    }
    if (owner && owner->more) {
        auto* more = new QTreeWidgetItem({QStringLiteral("…"), QStringLiteral("（ダブルクリックでさらに表示）")});
        more->setData(0, kPathRole, owner->path);
        more->setData(0, kMoreRole, true);
        add(more);
    }
}

}  // namespace

DebugPanes::DebugPanes(QWidget* parent, QObject* owner)
    : QObject(owner), variables_(new QTreeWidget(parent)), callStack_(new QTreeWidget(parent))
{
    variables_->setColumnCount(3);
    variables_->setHeaderLabels({QStringLiteral("変数"), QStringLiteral("値"), QStringLiteral("型")});
    variables_->setUniformRowHeights(true);
    // The value takes what the name and the type leave.
    variables_->header()->setStretchLastSection(false);
    variables_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    variables_->setColumnWidth(0, 64);
    variables_->setColumnWidth(2, 64);
    variables_->hide();
    connect(variables_, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { emit expandedChanged(item->data(0, kPathRole).toString(), true); });
    connect(variables_, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { emit expandedChanged(item->data(0, kPathRole).toString(), false); });
    connect(variables_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (item->data(0, kMoreRole).toBool())
            emit moreWanted(item->data(0, kPathRole).toString());
    });

    callStack_->setColumnCount(2);
    callStack_->setHeaderLabels({QStringLiteral("呼び出し"), QStringLiteral("場所")});
    callStack_->setRootIsDecorated(false);
    callStack_->setColumnWidth(0, 70);
    callStack_->hide();
    connect(callStack_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (item->data(0, kLevelRole).toInt() >= 0)
            emit frameChosen(item->data(0, kLevelRole).toInt());
    });
}

void DebugPanes::showVariables(const DebugView& view)
{
    const int scrolled = variables_->verticalScrollBar()->value();
    const QSignalBlocker quiet(variables_);  // expanding items here is no user's request
    variables_->setUpdatesEnabled(false);
    variables_->clear();
    addVariableItems(nullptr, variables_, view.variables, nullptr);
    variables_->setUpdatesEnabled(true);
    variables_->verticalScrollBar()->setValue(scrolled);
}

void DebugPanes::showCallStack(const DebugView& view, const std::function<QString(const FrameFacts&)>& fileName)
{
    callStack_->clear();
    // Between the innermost hundred and the outermost: how many are left out.
    const auto addLeftOut = [&](int count) {
        auto* row = new QTreeWidgetItem({count > 0 ? QStringLiteral("… %1 個の呼び出しを省略").arg(count)
                                                   : QStringLiteral("…（呼び出しを数えています）")});
        row->setData(0, kLevelRole, -1);
        callStack_->addTopLevelItem(row);
    };
    for (const FrameFacts& frame : view.frames) {
        if (view.framesLeftOut() > 0 && &frame == &view.frames.back())
            addLeftOut(view.framesLeftOut());
        auto* item = new QTreeWidgetItem(
            {frame.func, frame.line > 0 ? QStringLiteral("%1:%2").arg(fileName(frame)).arg(frame.line) : QString()});
        item->setData(0, kLevelRole, frame.level);
        if (frame.level == view.frameLevel) {
            QFont bold = item->font(0);
            bold.setBold(true);
            item->setFont(0, bold);
            item->setFont(1, bold);
        }
        callStack_->addTopLevelItem(item);
    }
    if (view.depth == 0 && !view.frames.isEmpty())
        addLeftOut(0);
}

void DebugPanes::grey()
{
    greyItems(variables_);
    greyItems(callStack_);
}

void DebugPanes::setShown(bool on)
{
    variables_->clear();
    callStack_->clear();
    variables_->setVisible(on);
    callStack_->setVisible(on);
}

bool DebugPanes::shown() const
{
    return variables_->isVisible();
}

void DebugPanes::place(const QRect& variables, const QRect& callStack)
{
    variables_->setGeometry(variables);
    callStack_->setGeometry(callStack);
}

}  // namespace nollex
