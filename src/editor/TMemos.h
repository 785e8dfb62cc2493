#pragma once
// The page set: one tab sheet, one editor, one file path and its encoding per
// page, numbered from 0 in tab order. A page's parts are kept together and only
// change through the operations below.

#include "TCustomizedMemo.h"
#include "TPageControl.h"
#include "TextFile.h"
#include "TextFormat.h"

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

    int LastIndex() const { return int(pages_.size()) - 1; }

    // Page i's parts; null or empty for a page that does not exist.
    TCustomizedMemo* editor(int i) const { return valid(i) ? pages_[i].editor : nullptr; }
    TTabSheet* sheet(int i) const { return valid(i) ? pages_[i].sheet : nullptr; }
    QString fileName(int i) const { return valid(i) ? pages_[i].fileName : QString(); }
    void setFileName(int i, const QString& path);  // empty = untitled page
    QStringList fileNames() const;
    // The encoding of the page's file, kept for its saves.
    TextFormat format(int i) const { return valid(i) ? pages_[i].format : TextFormat{}; }
    void setFormat(int i, const TextFormat& format);
    // The page's file as it was last read or saved, to notice another program's changes.
    FileStamp stamp(int i) const { return valid(i) ? pages_[i].stamp : FileStamp{}; }
    void setStamp(int i, const FileStamp& stamp);
    // The page that editor belongs to, -1 when none does (it was closed).
    int indexOf(const TCustomizedMemo* editor) const;

    // Reads copy page 0's value to every other page first.
    QColor Color();
    void setColor(const QColor& color);
    QFont Font();
    void setFont(const QFont& font);
    QColor FontColor();
    void setFontColor(const QColor& color);
    int TabWidth();
    void setTabWidth(int n);
    // C and C++ colouring and line numbers, for every page.
    bool Colouring() const { return colouring_; }
    void setColouring(bool on);
    bool LineNumbers() const { return lineNumbers_; }
    void setLineNumbers(bool on);
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
    QString caption(int i) const { return valid(i) ? pages_[i].sheet->Caption : QString(); }

    TPageControl* pageControl() const { return pageControl_; }

private:
    struct Page {
        TCustomizedMemo* editor;
        TTabSheet* sheet;
        QString fileName;
        TextFormat format;
        FileStamp stamp;
    };
    bool valid(int i) const { return i >= 0 && i < pages_.size(); }
    void MemoChange();

    QList<Page> pages_;

    QWidget* owner_;
    TPageControl* pageControl_;
    std::function<void(TCustomizedMemo*)> wireEditor_;
    int tabWidth_ = 0;
    bool colouring_ = true;
    bool lineNumbers_ = true;
};

}  // namespace nollex
