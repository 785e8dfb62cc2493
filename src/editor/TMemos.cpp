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
    for (TCustomizedMemo* e : Editors)
        delete e;
    for (TTabSheet* s : Sheets)
        delete s;
}

QColor TMemos::Color()
{
    const QColor c = Editors[0]->Color();
    for (int i = 1; i <= lastIndex_; ++i)
        Editors[i]->setColor(c);
    return c;
}

void TMemos::setColor(const QColor& color)
{
    for (TCustomizedMemo* e : Editors)
        e->setColor(color);
}

QFont TMemos::Font()
{
    const QFont f = Editors[0]->font();
    const QColor c = Editors[0]->fontColor();
    for (int i = 1; i <= lastIndex_; ++i) {
        Editors[i]->setFont(f);
        Editors[i]->setFontColor(c);
    }
    return f;
}

void TMemos::setFont(const QFont& font)
{
    for (TCustomizedMemo* e : Editors)
        e->setFont(font);
}

QColor TMemos::FontColor()
{
    Font();
    return Editors[0]->fontColor();
}

void TMemos::setFontColor(const QColor& color)
{
    for (TCustomizedMemo* e : Editors)
        e->setFontColor(color);
}

int TMemos::TabWidth()
{
    for (TCustomizedMemo* e : Editors)
        e->applyTabWidth(tabWidth_);
    return tabWidth_;
}

void TMemos::setTabWidth(int n)
{
    for (TCustomizedMemo* e : Editors)
        e->applyTabWidth(n);
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
    i = std::clamp(i, 0, lastIndex_);
    pageControl_->setCurrentSheet(Sheets[i]);
    Editors[i]->setFocus();
}

TTabSheet* TMemos::ActivePage() const
{
    return pageControl_->currentSheet();
}

TCustomizedMemo* TMemos::ActiveMemo() const
{
    return Editors.value(ActiveIndex());
}

void TMemos::AddPage(const QString& owningProject)
{
    ++lastIndex_;
    FileNames.append(QString());
    auto* sheet = new TTabSheet(owner_);
    Sheets.append(sheet);
    auto* editor = new TCustomizedMemo(sheet);
    Editors.append(editor);
    if (wireEditor_)
        wireEditor_(editor);
    LayoutPage(lastIndex_);
    connect(editor, &QPlainTextEdit::textChanged, this, &TMemos::MemoChange);
    editor->setColor(Color());
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
    if (lastIndex_ == 0 || i < 0 || i > lastIndex_)
        return;
    TCustomizedMemo* editor = Editors.takeAt(i);
    TTabSheet* sheet = Sheets.takeAt(i);
    FileNames.removeAt(i);
    pageControl_->removeSheet(sheet);
    delete editor;
    delete sheet;
    --lastIndex_;
    for (int k = 0; k <= lastIndex_; ++k)
        Sheets[k]->Tag = k;
}

void TMemos::LayoutPage(int i)
{
    i = std::clamp(i, 0, lastIndex_);
    TTabSheet* sheet = Sheets[i];
    pageControl_->insertSheet(sheet);
    sheet->Tag = i;
    TCustomizedMemo* editor = Editors[i];
    if (editor->parentWidget() != sheet)
        editor->setParent(sheet);
    editor->setGeometry(sheet->rect());
    editor->setVisible(true);
    editor->applyTabWidth(tabWidth_);
    editor->setFont(Font());
}

void TMemos::LayoutPages()
{
    for (int i = 0; i <= lastIndex_; ++i)
        LayoutPage(i);
}

void TMemos::FitPages()
{
    for (int i = 0; i <= lastIndex_; ++i)
        Editors[i]->setGeometry(Sheets[i]->rect());
}

void TMemos::setCaption(int i, const QString& caption)
{
    if (i >= 0 && i <= lastIndex_)
        pageControl_->setTabCaption(Sheets[i], caption);
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
