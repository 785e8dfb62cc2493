#pragma once
// A tab control whose tabs wrap into several rows when they do not fit in one,
// with the row of the selected tab next to the page, as on the classic desktop.

#include <QList>
#include <QRect>
#include <QWidget>

class QStackedWidget;

namespace nollex {

// One tab sheet: the page's client area. Tag is the page number.
class TTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TTabSheet(QWidget* parent = nullptr) : QWidget(parent) {}
    int Tag = 0;
    QString Caption;

protected:
    // The editor always fills the sheet, whichever page is shown.
    void resizeEvent(QResizeEvent* event) override;
};

class TPageControl : public QWidget {
    Q_OBJECT
public:
    explicit TPageControl(QWidget* parent = nullptr);

    // Places the sheet as the last tab (no change when it is there already).
    void insertSheet(TTabSheet* sheet);
    void removeSheet(TTabSheet* sheet);
    bool contains(TTabSheet* sheet) const { return sheets_.contains(sheet); }
    int count() const { return int(sheets_.size()); }
    TTabSheet* sheet(int i) const { return sheets_.value(i); }
    TTabSheet* currentSheet() const;
    // Selecting from code fires neither signal, as with the classic control.
    void setCurrentSheet(TTabSheet* sheet);
    void setTabCaption(TTabSheet* sheet, const QString& caption);
    // Selects the sheet as a click on its tab does: changing, the switch, changed;
    // nothing when it is selected already.
    void selectByUser(TTabSheet* sheet);
    // The tab after (step 1) or before (-1) the selected one, wrapping round, as
    // the user selects it.
    void selectNeighbour(int step);

    // The area a sheet occupies, in this widget's coordinates.
    QRect pageRect() const;
    // Tab rectangles after the last layout, in sheet order (for tests and hit tests).
    QList<QRect> tabRects() const { return tabRects_; }
    int rowCount() const { return rows_; }

signals:
    void changing();  // before the user switches tabs
    void changed();   // after the user switched tabs

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void relayout();
    int tabWidth(const QString& caption) const;
    int tabHeight() const;

    QList<TTabSheet*> sheets_;
    QStackedWidget* stack_;
    QList<QRect> tabRects_;
    int rows_ = 1;
};

}  // namespace nollex
