#include "ProjectDefiner.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace nollex {

namespace {

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

ProjectDefiner::ProjectDefiner(QWidget* parent) : QWidget(parent)
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

    Label8 = label(QStringLiteral("メインとする（main関数定義のある）ファイルを選択して保存してください"),
                   16, 124, this);
    Label1 = label(
        QStringLiteral("削除したい項目はチェックしてDeleteボタンを押下することでリストから消去できます"),
        16, 140, this);

    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setGeometry(8, 160, 497, 89);
    setWorkspaceBackground(CheckListBox1);

    Label9 = label(QStringLiteral("Main : "), 12, 252, this);
    Label9->setFont(pGothic(16));
    Label9->adjustSize();
    Label10 = new QLabel(this);
    // The path can be long; the label runs to the tab's right edge.
    Label10->setGeometry(56, 252, 449, 20);
    Label10->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Button6 = button(QStringLiteral("Add（追加）"), {12, 280, 105, 29}, this);
    Button7 = button(QStringLiteral("Delete（削除）"), {140, 280, 105, 29}, this);
}

}  // namespace nollex
