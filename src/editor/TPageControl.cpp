#include "TPageControl.h"

#include <QEvent>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

namespace nollex {

void TTabSheet::resizeEvent(QResizeEvent*)
{
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setGeometry(rect());
}

TPageControl::TPageControl(QWidget* parent) : QWidget(parent), stack_(new QStackedWidget(this))
{
    setFocusPolicy(Qt::TabFocus);
}

TTabSheet* TPageControl::currentSheet() const
{
    return qobject_cast<TTabSheet*>(stack_->currentWidget());
}

void TPageControl::insertSheet(TTabSheet* sheet)
{
    if (sheets_.contains(sheet))
        return;
    sheets_.append(sheet);
    stack_->addWidget(sheet);
    relayout();
}

void TPageControl::removeSheet(TTabSheet* sheet)
{
    if (!sheets_.removeOne(sheet))
        return;
    stack_->removeWidget(sheet);
    relayout();
}

void TPageControl::setCurrentSheet(TTabSheet* sheet)
{
    if (sheets_.contains(sheet)) {
        stack_->setCurrentWidget(sheet);
        relayout();
    }
}

void TPageControl::setTabCaption(TTabSheet* sheet, const QString& caption)
{
    sheet->Caption = caption;
    relayout();
}

namespace {
QSize tabSize(const QWidget* w, const QString& caption)
{
    // Ask the style, which knows its own padding, for the tab around the text.
    QStyleOptionTab opt;
    opt.initFrom(w);
    opt.shape = QTabBar::RoundedNorth;
    opt.text = caption;
    // As a tab bar does: the style's own spacing goes around the text, and the
    // style takes it out again when it draws the caption.
    const QFontMetrics fm = w->fontMetrics();
    const int hspace = w->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &opt, w);
    const int vspace = w->style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &opt, w);
    const QSize text(fm.size(Qt::TextShowMnemonic, caption).width() + hspace,
                     fm.height() + vspace);
    return w->style()->sizeFromContents(QStyle::CT_TabBarTab, &opt, text, w);
}
}  // namespace

int TPageControl::tabHeight() const
{
    return tabSize(this, QStringLiteral("X")).height();
}

int TPageControl::tabWidth(const QString& caption) const
{
    return std::max(tabSize(this, caption).width(), 24);
}

QRect TPageControl::pageRect() const
{
    const int top = rows_ * tabHeight();
    return QRect(0, top, width(), std::max(0, height() - top));
}

void TPageControl::relayout()
{
    // Flow the tabs into rows by width, then put the selected tab's row last.
    const int h = tabHeight();
    const int avail = std::max(width() - 4, 1);
    QList<int> rowOf;
    QList<int> xOf;
    int row = 0, x = 2;
    for (TTabSheet* s : sheets_) {
        const int w = tabWidth(s->Caption);
        if (x > 2 && x + w > avail) {
            ++row;
            x = 2;
        }
        rowOf.append(row);
        xOf.append(x);
        x += w;
    }
    rows_ = row + 1;
    const int current = int(sheets_.indexOf(currentSheet()));
    const int selectedRow = current >= 0 ? rowOf[current] : rows_ - 1;
    tabRects_.clear();
    for (qsizetype i = 0; i < sheets_.size(); ++i) {
        // Rows keep their order, except that the selected one moves to the bottom.
        int r = rowOf[i];
        int line = r == selectedRow ? rows_ - 1 : (r > selectedRow ? r - 1 : r);
        tabRects_.append(QRect(xOf[i], line * h, tabWidth(sheets_[i]->Caption), h));
    }
    stack_->setGeometry(pageRect().adjusted(2, 2, -2, -2));
    update();
}

void TPageControl::resizeEvent(QResizeEvent*)
{
    relayout();
}

bool TPageControl::event(QEvent* e)
{
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange)
        relayout();
    return QWidget::event(e);
}

void TPageControl::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = pageRect();
    frame.shape = QTabBar::RoundedNorth;
    p.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
    TTabSheet* current = currentSheet();
    for (qsizetype i = 0; i < sheets_.size(); ++i) {
        QStyleOptionTab tab;
        tab.initFrom(this);
        tab.rect = tabRects_.value(i);
        tab.text = sheets_[i]->Caption;
        tab.shape = QTabBar::RoundedNorth;
        tab.position = QStyleOptionTab::Middle;
        if (sheets_[i] == current)
            tab.state |= QStyle::State_Selected;
        else
            tab.state &= ~QStyle::State_Selected;
        p.drawControl(QStyle::CE_TabBarTab, tab);
    }
}

void TPageControl::selectByUser(TTabSheet* sheet)
{
    if (!sheets_.contains(sheet) || sheet == currentSheet())
        return;
    emit changing();
    stack_->setCurrentWidget(sheet);
    relayout();
    emit changed();
}

void TPageControl::selectNeighbour(int step)
{
    const int n = count();
    if (n == 0)
        return;
    const int current = std::max(0, int(sheets_.indexOf(currentSheet())));
    selectByUser(sheets_[((current + step) % n + n) % n]);
}

void TPageControl::mousePressEvent(QMouseEvent* event)
{
    for (qsizetype i = 0; i < tabRects_.size(); ++i) {
        if (tabRects_[i].contains(event->position().toPoint())) {
            selectByUser(sheets_[i]);
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

}  // namespace nollex
