#include "EditTools.h"

#include "editor/Replace.h"
#include "editor/TCustomizedMemo.h"
#include "editor/TMemos.h"
#include "platform/Dialogs.h"
#include "state/WindowHost.h"
#include "state/WindowState.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace nollex {

EditTools::EditTools(WindowHost& host, WindowState& state, QWidget* window)
    : QObject(window), host_(host), state_(state), window_(window)
{
}

EditTools::~EditTools() = default;

QDialog* EditTools::replaceWindow() const
{
    return replace_;
}

void EditTools::buildReplaceWindow()
{
    replace_ = new QDialog(window_, Qt::Tool);
    replace_->setWindowTitle(QStringLiteral("Replace（置換）"));
    replace_->setModal(false);
    find_ = new QLineEdit(replace_);
    replacement_ = new QLineEdit(replace_);
    matchCase_ = new QCheckBox(QStringLiteral("大文字と小文字を区別"), replace_);
    matchCase_->setChecked(true);  // as Find searches
    wholeWord_ = new QCheckBox(QStringLiteral("単語単位"), replace_);
    regex_ = new QCheckBox(QStringLiteral("正規表現"), replace_);
    regex_->setToolTip(QStringLiteral("置換後の文字列では \\1 … \\9 が括弧の中、\\0 が見つかった全体"));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("検索（Find）"), find_);
    fields->addRow(QStringLiteral("置換後（Replace with）"), replacement_);
    auto* switches = new QHBoxLayout;
    for (QCheckBox* box : {matchCase_, wholeWord_, regex_})
        switches->addWidget(box);
    auto* buttons = new QDialogButtonBox(replace_);
    QPushButton* one = buttons->addButton(QStringLiteral("Replace（置換）"), QDialogButtonBox::ActionRole);
    QPushButton* all = buttons->addButton(QStringLiteral("Replace All（すべて置換）"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    one->setDefault(true);
    connect(one, &QPushButton::clicked, this, [this] { host_.guarded([this] { replaceOne(); }); });
    connect(all, &QPushButton::clicked, this, [this] { host_.guarded([this] { replaceAll(); }); });
    connect(buttons, &QDialogButtonBox::rejected, replace_, &QDialog::hide);

    auto* layout = new QVBoxLayout(replace_);
    layout->addLayout(fields);
    layout->addLayout(switches);
    layout->addWidget(buttons);
}

void EditTools::showReplace()
{
    if (!replace_)
        buildReplaceWindow();
    if (!replace_->isVisible() && !state_.SearchText.isEmpty())
        find_->setText(state_.SearchText);
    replace_->show();
    replace_->raise();
    replace_->activateWindow();
    find_->setFocus();
    find_->selectAll();
}

ReplaceQuery EditTools::query() const
{
    ReplaceQuery q;
    q.find = find_->text();
    q.replacement = replacement_->text();
    q.matchCase = matchCase_->isChecked();
    q.wholeWord = wholeWord_->isChecked();
    q.regex = regex_->isChecked();
    return q;
}

bool EditTools::usable(const TextMatcher& matcher)
{
    if (matcher.error().isEmpty())
        return true;
    host_.setStatusText(matcher.error());
    return false;
}

void EditTools::replaceOne()
{
    const TextMatcher matcher(query());
    TCustomizedMemo* page = host_.pages().ActiveMemo();
    if (!page || !usable(matcher))
        return;
    switch (replaceNext(*page, matcher, cache_)) {
    case ReplaceStep::Replaced: host_.setStatusText(QStringLiteral("1 件置換しました")); break;
    case ReplaceStep::ReplacedLast:
        host_.setStatusText(QStringLiteral("1 件置換しました。この先にはもうありません"));
        break;
    case ReplaceStep::Selected: host_.setStatusText(QString()); break;
    case ReplaceStep::NotFound:
        host_.setStatusText(QStringLiteral("「") + find_->text() + QStringLiteral("」はこの先にありません"));
        break;
    }
}

void EditTools::replaceAll()
{
    const TextMatcher matcher(query());
    TCustomizedMemo* page = host_.pages().ActiveMemo();
    if (!page || !usable(matcher))
        return;
    const qsizetype n = nollex::replaceAll(*page, matcher, cache_);
    host_.setStatusText(n == 0 ? QStringLiteral("「") + find_->text() + QStringLiteral("」はありません")
                               : QString::number(n) + QStringLiteral(" 件置換しました"));
}

void EditTools::format()
{
    TMemos& pages = host_.pages();
    TCustomizedMemo* page = pages.ActiveMemo();
    if (!page)
        return;
    FormatRequest request;
    request.program = formatProgram;
    request.file = pages.fileName(pages.ActiveIndex());
    request.cpp = QFileInfo(request.file).suffix().toLower() != QStringLiteral("c");
    request.tabWidth = page->TabWidth > 0 ? page->TabWidth : 8;
    const FormatResult r = formatPage(*page, request, cache_);
    switch (r.status) {
    case FormatResult::Done:
        host_.setStatusText(r.edits.empty() ? QStringLiteral("整形済みです")
                                            : QStringLiteral("整形しました（") + QString::number(r.edits.size()) +
                                                  QStringLiteral(" か所）"));
        return;
    case FormatResult::Missing:
        host_.setStatusText(r.why);
        if (toldMissing_)
            return;
        toldMissing_ = true;
        break;
    case FormatResult::Failed:
    case FormatResult::NotOnlyBlanks: break;
    }
    host_.dialogs().message(QStringLiteral("Format"), r.why, MsgButtons::Ok, MsgIcon::Information);
}

}  // namespace nollex
