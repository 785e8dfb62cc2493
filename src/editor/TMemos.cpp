#include "TMemos.h"

namespace nollex {

TMemos::TMemos(QWidget* owner, TPageControl* pageControl,
               std::function<void(TCustomizedMemo*)> wireEditor)
    : owner_(owner), pageControl_(pageControl), wireEditor_(std::move(wireEditor))
{
    AddPage(QString());
    // Page 0 keeps the width 0 it was laid out with until the first TabWidth use.
    tabWidth_ = 4;
}

TMemos::~TMemos()
{
    for (const Page& page : pages_) {
        delete page.editor;
        delete page.sheet;
    }
}

void TMemos::setFileName(int i, const QString& path)
{
    if (!valid(i))
        return;
    pages_[i].fileName = path;
    pages_[i].editor->setLanguageFromName(path);
}

void TMemos::setColouring(bool on)
{
    colouring_ = on;
    for (const Page& page : pages_)
        page.editor->setColouring(on);
}

void TMemos::setLineNumbers(bool on)
{
    lineNumbers_ = on;
    for (const Page& page : pages_)
        page.editor->setLineNumbers(on);
}

QStringList TMemos::fileNames() const
{
    QStringList names;
    for (const Page& page : pages_)
        names << page.fileName;
    return names;
}

void TMemos::setFormat(int i, const TextFormat& format)
{
    if (valid(i))
        pages_[i].format = format;
}

void TMemos::setStamp(int i, const FileStamp& stamp)
{
    if (valid(i))
        pages_[i].stamp = stamp;
}

int TMemos::indexOf(const TCustomizedMemo* editor) const
{
    for (int i = 0; i < pages_.size(); ++i) {
        if (pages_[i].editor == editor)
            return i;
    }
    return -1;
}

QColor TMemos::Color()
{
    const QColor c = pages_[0].editor->Color();
    for (int i = 1; i <= LastIndex(); ++i)
        pages_[i].editor->setPageColor(c);
    return c;
}

void TMemos::setColor(const QColor& color)
{
    for (const Page& page : pages_)
        page.editor->setPageColor(color);
}

QFont TMemos::Font()
{
    const QFont f = pages_[0].editor->font();
    const QColor c = pages_[0].editor->fontColor();
    for (int i = 1; i <= LastIndex(); ++i) {
        pages_[i].editor->setFont(f);
        pages_[i].editor->setFontColor(c);
    }
    return f;
}

void TMemos::setFont(const QFont& font)
{
    for (const Page& page : pages_)
        page.editor->setFont(font);
}

QColor TMemos::FontColor()
{
    Font();
    return pages_[0].editor->fontColor();
}

void TMemos::setFontColor(const QColor& color)
{
    for (const Page& page : pages_)
        page.editor->setFontColor(color);
}

int TMemos::TabWidth()
{
    for (const Page& page : pages_)
        page.editor->applyTabWidth(tabWidth_);
    return tabWidth_;
}

void TMemos::setTabWidth(int n)
{
    for (const Page& page : pages_)
        page.editor->applyTabWidth(n);
    tabWidth_ = n;
}

int TMemos::ActiveIndex() const
{
    TTabSheet* s = pageControl_->currentSheet();
    return s ? s->Tag : 0;
}

void TMemos::setActiveIndex(int i)
{
    // Damaged settings may ask for a negative page; the first one is the nearest.
    i = std::clamp(i, 0, LastIndex());
    pageControl_->setCurrentSheet(pages_[i].sheet);
    pages_[i].editor->setFocus();
}

TTabSheet* TMemos::ActivePage() const
{
    return pageControl_->currentSheet();
}

TCustomizedMemo* TMemos::ActiveMemo() const
{
    return editor(ActiveIndex());
}

void TMemos::AddPage(const QString& owningProject)
{
    auto* sheet = new TTabSheet(owner_);
    auto* editor = new TCustomizedMemo(sheet);
    editor->setColouring(colouring_);
    editor->setLineNumbers(lineNumbers_);
    pages_.append({editor, sheet, QString(), TextFormat{}, FileStamp{}});
    if (wireEditor_)
        wireEditor_(editor);
    LayoutPage(LastIndex());
    connect(editor, &QsciScintilla::textChanged, this, &TMemos::MemoChange);
    editor->setPageColor(Color());
    {
        // Hiding the page that had the focus moves it on; that is no entry into a
        // page, and New leaves the caption as it was.
        TCustomizedMemo::QuietFocus quiet;
        pageControl_->setCurrentSheet(sheet);
    }
    editor->OwningProject = owningProject;
}

void TMemos::ClosePage(int i)
{
    if (LastIndex() == 0 || i < 0 || i > LastIndex())
        return;
    const Page page = pages_.takeAt(i);
    pageControl_->removeSheet(page.sheet);
    delete page.editor;
    delete page.sheet;
    for (int k = 0; k <= LastIndex(); ++k)
        pages_[k].sheet->Tag = k;
}

void TMemos::LayoutPage(int i)
{
    i = std::clamp(i, 0, LastIndex());
    TTabSheet* sheet = pages_[i].sheet;
    pageControl_->insertSheet(sheet);
    sheet->Tag = i;
    TCustomizedMemo* editor = pages_[i].editor;
    if (editor->parentWidget() != sheet)
        editor->setParent(sheet);
    editor->setGeometry(sheet->rect());
    editor->setVisible(true);
    editor->applyTabWidth(tabWidth_);
    editor->setFont(Font());
}

void TMemos::LayoutPages()
{
    for (int i = 0; i <= LastIndex(); ++i)
        LayoutPage(i);
}

void TMemos::FitPages()
{
    for (int i = 0; i <= LastIndex(); ++i)
        pages_[i].editor->setGeometry(pages_[i].sheet->rect());
}

void TMemos::setCaption(int i, const QString& caption)
{
    if (i >= 0 && i <= LastIndex())
        pageControl_->setTabCaption(pages_[i].sheet, caption);
}

void TMemos::MemoChange()
{
    TCustomizedMemo* memo = ActiveMemo();
    // The mark follows Modified on every change (an Undo after a save included);
    // only loading a file changes the text without marking.
    if (memo && !memo->Loading && !memo->ChangeMarked && memo->Modified()) {
        const int i = ActiveIndex();
        setCaption(i, caption(i) + QStringLiteral(" *"));
        memo->ChangeMarked = true;
    }
}

}  // namespace nollex
