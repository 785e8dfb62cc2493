#pragma once
// The page set: one tab sheet, one editor and one file path per page, numbered
// from 0 in tab order. The three lists are parallel and public because the file,
// build, settings and project commands work on them directly.

#include "TCustomizedMemo.h"
#include "TPageControl.h"

#include <QFont>
#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>

namespace nollex {

// The tab widths the configuration dialog accepts and the settings restore keeps.
inline constexpr int MinTabWidth = 0;
inline constexpr int MaxTabWidth = 1000;

class TMemos : public QObject {
    Q_OBJECT
public:
    // wireEditor is called for every new editor, before it is laid out, so the
    // owner can connect its events and pop-up menu.
    TMemos(QWidget* owner, TPageControl* pageControl,
           std::function<void(TCustomizedMemo*)> wireEditor = {});
    ~TMemos() override;

    QList<TCustomizedMemo*> Editors;
    QList<TTabSheet*> Sheets;
    QStringList FileNames;  // empty = untitled page

    int LastIndex() const { return lastIndex_; }

    // Reads copy page 0's value to every other page first.
    QColor Color();
    void setColor(const QColor& color);
    QFont Font();
    void setFont(const QFont& font);
    QColor FontColor();
    void setFontColor(const QColor& color);
    int TabWidth();
    void setTabWidth(int n);
    int ActiveIndex() const;
    void setActiveIndex(int i);
    TTabSheet* ActivePage() const;
    TCustomizedMemo* ActiveMemo() const;

    void AddPage(const QString& owningProject);
    void ClosePage(int i);
    void LayoutPage(int i);
    void LayoutPages();
    void FitPages();

    // Tab caption of page i, which is the file name part plus " *" when marked.
    void setCaption(int i, const QString& caption);
    QString caption(int i) const { return Sheets.value(i) ? Sheets[i]->Caption : QString(); }

    TPageControl* pageControl() const { return pageControl_; }

private:
    void MemoChange();

    QWidget* owner_;
    TPageControl* pageControl_;
    std::function<void(TCustomizedMemo*)> wireEditor_;
    int lastIndex_ = -1;
    int tabWidth_ = 0;
};

}  // namespace nollex
