#include "app/completion/CompletionAssist.h"

#include "editor/TCustomizedMemo.h"
#include "editor/TMemos.h"
#include "lsp/PageFlags.h"
#include "lsp/Positions.h"
#include "lsp/Triggers.h"
#include "options/CompileOptionSet.h"
#include "platform/ProgramFolders.h"
#include "state/WindowHost.h"
#include "state/WindowState.h"

#include <QAction>
#include <QWidget>
#include <algorithm>

namespace nollex {

namespace {

constexpr int kListId = 1;      // the user list's number: the window shows no other
constexpr int kSettleMs = 50;   // typing on keeps the page from going to clangd on every key
constexpr int kMaxEntries = 200;
constexpr char kSeparator = '\n';  // no label holds one; spaces and '?' they may
// Characters that close the list: they end the name it was for (".", "->" and "::"
// ask again at once).
constexpr const char* kStops = " \t()[]{};,.:<>=+-*/%&|^!~?\"'#";

using Base = QsciScintillaBase;

long caretPos(const TCustomizedMemo* e) { return e->SendScintilla(Base::SCI_GETCURRENTPOS); }

// A byte position of the component as the protocol's line and character.
lsp::Position positionOf(const TCustomizedMemo* e, long pos)
{
    const int line = int(e->SendScintilla(Base::SCI_LINEFROMPOSITION, pos));
    const long start = e->SendScintilla(Base::SCI_POSITIONFROMLINE, line);
    return lsp::toLsp(line, lsp::indexFromUtf8Column(e->text(line), int(pos - start)));
}

long byteOf(const TCustomizedMemo* e, lsp::Position p)
{
    const QString line = e->text(p.line);
    const long start = e->SendScintilla(Base::SCI_POSITIONFROMLINE, p.line);
    return start + lsp::utf8ColumnFromIndex(line, lsp::indexInLine(line, p.character));
}

QString lineBeforeCaret(const TCustomizedMemo* e)
{
    const lsp::Position at = positionOf(e, caretPos(e));
    return e->text(at.line).left(at.character);
}

QString entryOf(const lsp::CompletionItem& item) { return item.label.trimmed(); }

}  // namespace

CompletionAssist::CompletionAssist(WindowHost& host, WindowState& state, QWidget* window)
    : QObject(window), host_(host), state_(state)
{
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] { host_.guarded([this] { flush(); }); });
    // A window key, so that it reaches the window from any page.
    auto* key = new QAction(window);
    key->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Space));
    window->addAction(key);
    connect(key, &QAction::triggered, this, [this] { host_.guarded([this] { openList(); }); });
}

CompletionAssist::~CompletionAssist() = default;

void CompletionAssist::watch(TCustomizedMemo* editor)
{
    // The list's entries are whole labels in clangd's order, chosen only by Tab or
    // Return: one entry is not taken by itself, and what it writes is the window's.
    editor->SendScintilla(Base::SCI_AUTOCSETSEPARATOR, long(kSeparator));
    editor->SendScintilla(Base::SCI_AUTOCSETTYPESEPARATOR, long('\x1f'));
    editor->SendScintilla(Base::SCI_AUTOCSETORDER, long(Base::SC_ORDER_CUSTOM));
    editor->SendScintilla(Base::SCI_AUTOCSETCHOOSESINGLE, 0L);
    editor->SendScintilla(Base::SCI_AUTOCSETIGNORECASE, 1L);
    editor->SendScintilla(Base::SCI_AUTOCSTOPS, 0UL, kStops);
    editor->SendScintilla(Base::SCI_AUTOCSETMAXHEIGHT, 10L);
    connect(editor, &Base::SCN_CHARADDED, this,
            [this, editor](int ch) { host_.guarded([&] { charAdded(editor, ch); }); });
    connect(editor, &QsciScintilla::textChanged, this, [this, editor] { changed(editor); });
    connect(editor, &QsciScintilla::userListActivated, this, [this, editor](int id, const QString& entry) {
        if (id == kListId)
            host_.guarded([&] { take(editor, entry); });
    });
    connect(editor, &QObject::destroyed, this, [this](QObject* gone) {
        synced_.remove(gone);
        const QString file = files_.take(gone);
        if (client_ && !file.isEmpty())
            client_->closePage(file);
    });
}

void CompletionAssist::openList()
{
    if (!activeWhenOn())
        return;
    wantList_ = true;
    flush();
}

void CompletionAssist::toggle()
{
    state_.Completion = !state_.Completion;
    host_.showSwitches();
    if (!state_.Completion) {
        wantList_ = wantTip_ = false;
        settle_.stop();
        if (TCustomizedMemo* editor = host_.pages().ActiveMemo())
            closeAll(editor);
    }
}

QStringList CompletionAssist::shownList() const
{
    QStringList entries;
    const TCustomizedMemo* editor = host_.pages().ActiveMemo();
    if (!editor || !editor->isListActive())
        return entries;
    for (const lsp::CompletionItem& item : items_)
        entries << entryOf(item);
    return entries;
}

QString CompletionAssist::shownTipMark() const
{
    return tipStart_ < 0 ? QString() : tip_.mid(tipStart_, tipEnd_ - tipStart_);
}

void CompletionAssist::charAdded(TCustomizedMemo* editor, int ch)
{
    if (editor != activeWhenOn())
        return;
    const QChar typed = ch > 0 && ch <= 0xFFFF ? QChar(ch) : QChar();
    if (lsp::AsksParameters(typed))
        wantTip_ = true;
    else if (typed == u')' || typed == u';')
        editor->SendScintilla(Base::SCI_CALLTIPCANCEL);
    // Only the last key counts: "printf(" asks for the parameters, not for a list.
    wantList_ = lsp::AsksCompletion(lineBeforeCaret(editor));
    settle_.start();
}

void CompletionAssist::changed(TCustomizedMemo* editor)
{
    synced_.remove(editor);
    if (editor == activeWhenOn())
        settle_.start();
}

// The page goes to clangd when its text is not there yet, then the questions
// asked since: both ask about the text as it is now.
void CompletionAssist::flush()
{
    TCustomizedMemo* editor = activeWhenOn();
    if (!editor || (!wantList_ && !wantTip_ && synced_.contains(editor)))
        return;
    const QString file = pageFile(editor);
    lsp::ClangdClient& client = clangd();
    if (!synced_.contains(editor)) {
        const QString folder = state_.CompilerDirectory.endsWith(u'/') ? state_.CompilerDirectory
                                                                        : state_.CompilerDirectory + u'/';
        client.setPage(file, editor->text(),
                       lsp::ClangdCompileCommand(file, joinedOptionText(state_.OptionSet), folder));
        synced_.insert(editor);
    }
    const lsp::Position at = positionOf(editor, caretPos(editor));
    if (wantList_)
        client.requestCompletion(file, at);
    if (wantTip_)
        client.requestSignatureHelp(file, at);
    wantList_ = wantTip_ = false;
}

void CompletionAssist::showList(const QString& file, const QList<lsp::CompletionItem>& items)
{
    TCustomizedMemo* editor = activeWhenOn();
    if (!editor || files_.value(editor) != file || items.isEmpty())
        return;
    items_.clear();
    QStringList entries;
    for (const lsp::CompletionItem& item : items) {
        const QString entry = entryOf(item);
        if (entry.isEmpty() || entry.contains(QChar::fromLatin1(kSeparator)) || entries.contains(entry))
            continue;
        entries << entry;
        items_ << item;
        if (entries.size() == kMaxEntries)
            break;
    }
    if (entries.isEmpty())
        return;
    const QByteArray list = entries.join(QChar::fromLatin1(kSeparator)).toUtf8();
    editor->SendScintilla(Base::SCI_USERLISTSHOW, long(kListId), list.constData());
}

void CompletionAssist::showTip(const QString& file, const lsp::SignatureHelp& help)
{
    TCustomizedMemo* editor = activeWhenOn();
    if (!editor || files_.value(editor) != file)
        return;
    if (help.signatures.isEmpty()) {
        editor->SendScintilla(Base::SCI_CALLTIPCANCEL);
        tip_.clear();
        tipStart_ = tipEnd_ = -1;
        return;
    }
    const lsp::Signature& s = help.signatures.at(std::clamp(help.active, 0, int(help.signatures.size()) - 1));
    tip_ = s.label;
    tipStart_ = s.activeStart;
    tipEnd_ = s.activeEnd;
    const QByteArray text = tip_.toUtf8();
    // A tip already shown stays where it is while the call's arguments are typed.
    const long at = editor->SendScintilla(Base::SCI_CALLTIPACTIVE) ? editor->SendScintilla(Base::SCI_CALLTIPPOSSTART)
                                                                   : caretPos(editor);
    editor->SendScintilla(Base::SCI_CALLTIPSHOW, at, text.constData());
    if (tipStart_ >= 0 && tipEnd_ >= tipStart_) {
        const long from = long(tip_.left(tipStart_).toUtf8().size());
        const long to = long(tip_.left(tipEnd_).toUtf8().size());
        editor->SendScintilla(Base::SCI_CALLTIPSETHLT, from, to);
    }
}

// The typed part is replaced by what the item writes, the caret where it says:
// one undo step. A function's parentheses open its parameters at once.
void CompletionAssist::take(TCustomizedMemo* editor, const QString& entry)
{
    const auto found = std::find_if(items_.cbegin(), items_.cend(),
                                    [&](const lsp::CompletionItem& item) { return entryOf(item) == entry; });
    if (found == items_.cend() || editor != activeWhenOn())
        return;
    const lsp::CompletionItem& item = *found;
    const long caret = caretPos(editor);
    long from = item.replaceFrom ? byteOf(editor, *item.replaceFrom)
                                 : long(editor->SendScintilla(Base::SCI_WORDSTARTPOSITION, caret, 1L));
    from = std::min(from, caret);
    const QString text = item.insertText.isEmpty() ? entry : item.insertText;
    editor->beginUndoAction();
    editor->SendScintilla(Base::SCI_SETSEL, from, caret);
    editor->replaceSelectedText(text);
    editor->SendScintilla(Base::SCI_GOTOPOS, from + long(text.left(item.caretOffset).toUtf8().size()));
    editor->endUndoAction();
    if (item.isFunction() && text.contains(u'(')) {
        wantTip_ = true;
        settle_.start();
    }
}

void CompletionAssist::closeAll(TCustomizedMemo* editor)
{
    editor->SendScintilla(Base::SCI_AUTOCCANCEL);
    editor->SendScintilla(Base::SCI_CALLTIPCANCEL);
    items_.clear();
    tip_.clear();
    tipStart_ = tipEnd_ = -1;
}

lsp::ClangdClient& CompletionAssist::clangd()
{
    if (!client_) {
        lsp::ClangdOptions o = options;
        if (o.workFolder.isEmpty())
            o.workFolder = host_.folders().build;
        client_ = new lsp::ClangdClient(o, this);
        connect(client_, &lsp::ClangdClient::completionReady, this,
                [this](const QString& file, const QList<lsp::CompletionItem>& items) {
                    host_.guarded([&] { showList(file, items); });
                });
        connect(client_, &lsp::ClangdClient::signatureHelpReady, this,
                [this](const QString& file, const lsp::SignatureHelp& help) {
                    host_.guarded([&] { showTip(file, help); });
                });
        connect(client_, &lsp::ClangdClient::statusMessage, this, [this](const QString& text) {
            if (!told_.contains(text)) {
                told_.insert(text);
                host_.setStatusText(text);
            }
        });
    }
    return *client_;
}

TCustomizedMemo* CompletionAssist::activeWhenOn() const
{
    return state_.Completion ? host_.pages().ActiveMemo() : nullptr;
}

// The page's own file; an untitled page a name of its own in the build folder,
// built as C++ as the build builds it.
QString CompletionAssist::pageFile(TCustomizedMemo* editor)
{
    TMemos& pages = host_.pages();
    QString file = pages.fileName(pages.indexOf(editor));
    if (file.isEmpty()) {
        const QString kept = files_.value(editor);
        file = kept.isEmpty() || !kept.startsWith(host_.folders().build + QStringLiteral("__untitled"))
                   ? host_.folders().build + QStringLiteral("__untitled%1.cpp").arg(++untitled_)
                   : kept;
    }
    const QString old = files_.value(editor);
    if (!old.isEmpty() && old != file) {
        synced_.remove(editor);
        if (client_)
            client_->closePage(old);
    }
    files_.insert(editor, file);
    return file;
}

}  // namespace nollex
