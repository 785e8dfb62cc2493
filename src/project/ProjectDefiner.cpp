#include "ProjectDefiner.h"

#include "ProjectFile.h"
#include "editor/PathParts.h"
#include "platform/Dialogs.h"
#include "platform/ShowError.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

namespace nollex {

namespace {

const QString kAddFilter = QStringLiteral(
    "C/C++ lang(*c;*.cpp;*.h)|*c;*.cpp;*.h|Text Files(*.txt)|*.txt|Others(*.*)|*.*");
const QString kBrowseFilter = QStringLiteral("Nollex Project (*.prj)|*.prj");
const QString kSaveFilter = QStringLiteral("Nollex Project(*.prj)|*.prj");

void notify(Dialogs& dialogs, const QString& text)
{
    dialogs.message(ProjectCaption, text, MsgButtons::Ok, MsgIcon::None);
}

QFont pGothic(int pixels)
{
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(pixels);
    return f;
}

QLabel* label(const QString& text, int left, int top, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->move(left, top);
    l->adjustSize();
    return l;
}

QPushButton* button(const QString& text, const QRect& rect, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setGeometry(rect);
    b->setAutoDefault(false);
    return b;
}

// The classic desktop's application-workspace colour: a mid grey.
void setWorkspaceBackground(QWidget* w)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, QColor(0xAB, 0xAB, 0xAB));
    w->setPalette(p);
}

}  // namespace

ProjectDefiner::ProjectDefiner(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs)
{
    Label7 = label(QStringLiteral("Project Definder（プロジェクト定義）"), 24, 8, this);
    QFont title = pGothic(21);
    title.setBold(true);
    title.setItalic(true);
    Label7->setFont(title);
    QPalette tp = Label7->palette();
    tp.setColor(QPalette::WindowText, tp.color(QPalette::Highlight));
    Label7->setPalette(tp);
    Label7->adjustSize();

    Label11 = label(QStringLiteral("プロジェクト名"), 8, 40, this);

    Edit11 = new QLineEdit(this);
    Edit11->setGeometry(8, 56, 497, 23);
    Edit11->setFont(pGothic(15));
    setWorkspaceBackground(Edit11);

    Label12 = label(QStringLiteral("注：保存しないとOKを押しても意味がありません"), 16, 84, this);
    Button8 = button(QStringLiteral("参照"), {352, 84, 63, 21}, this);
    Button9 = button(QStringLiteral("保存"), {424, 84, 65, 21}, this);

    createList();
    connectHandlers();
}

void ProjectDefiner::createList()
{
    Label8 = label(QStringLiteral("メインとする（main関数定義のある）ファイルを選択して保存してください"),
                   16, 124, this);
    Label1 = label(
        QStringLiteral("削除したい項目はチェックしてDeleteボタンを押下することでリストから消去できます"),
        16, 140, this);

    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setGeometry(8, 160, 497, 89);
    setWorkspaceBackground(CheckListBox1);
    {
        // The style draws the check boxes' outline from the window colour, which
        // on the workspace grey vanishes; a darker one keeps the boxes visible.
        QPalette p = CheckListBox1->palette();
        p.setColor(QPalette::Window, QColor(0x70, 0x70, 0x70));
        CheckListBox1->setPalette(p);
    }

    Label9 = label(QStringLiteral("Main : "), 12, 252, this);
    Label9->setFont(pGothic(16));
    Label9->adjustSize();
    Label10 = new QLabel(this);
    // The path can be long; the label runs to the tab's right edge. The fallback
    // font draws "Main : " wider than the design left room for, so the path starts
    // after it rather than on it.
    const int left = std::max(56, Label9->geometry().right() + 1);
    Label10->setGeometry(left, 252, 505 - left, 20);
    Label10->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Button6 = button(QStringLiteral("Add（追加）"), {12, 280, 105, 29}, this);
    Button7 = button(QStringLiteral("Delete（削除）"), {140, 280, 105, 29}, this);
    CheckListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
}

void ProjectDefiner::connectHandlers()
{
    connect(Button6, &QPushButton::clicked, this, [this] { guarded([this] { Button6Click(); }); });
    connect(Button7, &QPushButton::clicked, this, [this] { guarded([this] { Button7Click(); }); });
    connect(Button8, &QPushButton::clicked, this, [this] { guarded([this] { Button8Click(); }); });
    connect(Button9, &QPushButton::clicked, this, [this] { guarded([this] { Button9Click(); }); });
    // A click on an entry (also on the one already selected) and a move with the
    // keys both choose the main file.
    connect(CheckListBox1, &QListWidget::itemClicked, this,
            [this] { guarded([this] { CheckListBox1Click(); }); });
    // The handlers that move the selection themselves block these signals: that is
    // no choice of a main file.
    connect(CheckListBox1, &QListWidget::currentRowChanged, this,
            [this] { guarded([this] { CheckListBox1Click(); }); });
}

QStringList ProjectDefiner::entries() const
{
    QStringList result;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        result << CheckListBox1->item(i)->text();
    return result;
}

int ProjectDefiner::selectedIndex() const
{
    const QList<QListWidgetItem*> selected = CheckListBox1->selectedItems();
    return selected.isEmpty() ? -1 : CheckListBox1->row(selected.first());
}

namespace {
constexpr int kEntryHeight = 12;
}  // namespace

void ProjectDefiner::appendEntry(const QString& path)
{
    auto* item = new QListWidgetItem(path);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    // Rows as high as the design's 12 pixels, so that seven show, not Qt's taller default.
    item->setSizeHint(QSize(0, kEntryHeight));
    CheckListBox1->addItem(item);
}

void ProjectDefiner::Button6Click()
{
    const QStringList chosen = dialogs_.openFiles({kAddFilter, QString(), true});
    for (const QString& path : chosen)
        appendEntry(path);
    CheckListBox1->setFocus();
}

void ProjectDefiner::Button7Click()
{
    // The selected entry stays selected when it survives; when it goes, nothing
    // is selected, so that a save cannot take a neighbour for the main file.
    QListWidgetItem* selected = nullptr;
    if (const int row = selectedIndex(); row >= 0)
        selected = CheckListBox1->item(row);
    {
        const QSignalBlocker quiet(CheckListBox1);
        for (int i = CheckListBox1->count() - 1; i >= 0; --i) {
            if (CheckListBox1->item(i)->checkState() == Qt::Checked) {
                QListWidgetItem* item = CheckListBox1->takeItem(i);
                if (item == selected)
                    selected = nullptr;
                delete item;
            }
        }
        CheckListBox1->clearSelection();
        CheckListBox1->setCurrentRow(-1);
        if (selected)
            CheckListBox1->setCurrentItem(selected);
    }
    CheckListBox1->setFocus();
}

void ProjectDefiner::CheckListBox1Click()
{
    if (const int row = selectedIndex(); row >= 0)
        Label10->setText(CheckListBox1->item(row)->text());
    CheckListBox1->setFocus();
}

void ProjectDefiner::Button8Click()
{
    const QStringList chosen = dialogs_.openFiles({kBrowseFilter, programFolder_, false});
    if (chosen.isEmpty())
        return;
    const QString& path = chosen.first();
    const ProjectFileData data = readProjectFile(path);
    if (data.versionTooOld()) {
        notify(dialogs_, ProjectTooOldText);
        return;
    }
    // The path shows even when the file turns out damaged, so the user sees which one.
    Edit11->setText(path);
    if (!data.valid) {
        notify(dialogs_, ProjectRejectedText);
        return;
    }
    {
        const QSignalBlocker quiet(CheckListBox1);
        CheckListBox1->clear();
        for (const QString& entry : data.entries)
            appendEntry(entry);
        CheckListBox1->setCurrentRow(data.mainIndex);
    }
    Label10->setText(data.mainFile());
    CheckListBox1->setFocus();
}

void ProjectDefiner::Button9Click()
{
    // The selection is the main file; without one (a Ctrl+click clears it) the
    // file would record -1, which every reader refuses.
    if (Label10->text().isEmpty() || selectedIndex() < 0) {
        notify(dialogs_, ProjectNoMainFileText);
        return;
    }
    const std::optional<QString> chosen =
        dialogs_.saveFile({kSaveFilter, Edit11->text(), QString()});
    if (chosen) {
        QString path = *chosen;
        if (extensionPart(path).isEmpty())
            path += QStringLiteral(".prj");
        Edit11->setText(path);
        writeProjectFile(path, entries(), selectedIndex());
    }
    CheckListBox1->setFocus();
}

void ProjectDefiner::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (...) {
        ShowError(dialogs_, textOfCurrentException());
    }
}

}  // namespace nollex
