// The message pane's places, marks and explanations (see MessagePane.h).
#include "app/messages/MessagePane.h"

#include "editor/CaretPos.h"
#include "editor/TMemos.h"
#include "explain/Explainer.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextBlock>

namespace nollex {

MessagePane::MessagePane(WindowHost& host, const WindowState& state, QPlainTextEdit* pane, QObject* parent)
    : QObject(parent), host_(host), state_(state), pane_(pane)
{
}

MessagePane::~MessagePane() = default;

void MessagePane::showMessages(const QString& text)
{
    markMessages(text);
    pane_->setPlainText(explainMessages(text));
    messageLine_ = -1;
}

int MessagePane::builtPageIndex() const
{
    return pages().indexOf(host_.builtPage());
}

void MessagePane::explainOnPage(const MessagePlace& place, const QString& text)
{
    const int page = pageForMessageFile(messageFile(place.file), host_.builtSource(), builtPageIndex(),
                                        pages().fileNames(), host_.files());
    if (place.line <= 0 || page < 0)
        return;
    pages().editor(page)->addMark(TCustomizedMemo::MarkKind::Error, place.line, -1);
    pages().editor(page)->addExplanation(TCustomizedMemo::MarkKind::Error, place.line, text);
}

int MessagePane::placePage(const QString& file)
{
    const int page =
        pageForMessageFile(file, host_.builtSource(), builtPageIndex(), pages().fileNames(), host_.files());
    if (page >= 0 || !host_.files().findFirst(file))
        return page;
    // A file no page holds (a header, say) opens as a dropped file would.
    host_.WMDropFiles({file});
    return pages().fileName(pages().ActiveIndex()) == file ? pages().ActiveIndex() : -1;
}

QString MessagePane::messageFile(const QString& named) const
{
    // The compiler ran in its own folder: a relative name is relative to that.
    return QDir::isRelativePath(named) ? QDir(state_.CompilerDirectory).absoluteFilePath(named) : named;
}

void MessagePane::markMessages(const QString& text)
{
    for (int i = 0; i <= pages().LastIndex(); ++i)
        pages().editor(i)->clearMarks();
    const int built = builtPageIndex();
    const QStringList pageFiles = pages().fileNames();
    // Many messages name the same few files; each is looked up on disk once.
    QHash<QString, int> pageOf;
    // Lines are looked at in place: a build's text may be very long.
    for (const QStringView line : text.tokenize(u'\n')) {
        const std::optional<MessagePlace> place = parseMessagePlace(line);
        if (!place || (place->kind != MessageKind::Error && place->kind != MessageKind::Warning))
            continue;
        auto known = pageOf.constFind(place->file);
        if (known == pageOf.constEnd()) {
            // Only pages already open are marked; a jump is what opens a file.
            known = pageOf.insert(place->file, pageForMessageFile(messageFile(place->file), host_.builtSource(),
                                                                  built, pageFiles, host_.files()));
        }
        const int page = *known;
        if (page < 0)
            continue;
        TCustomizedMemo* editor = pages().editor(page);
        const int index =
            place->column > 0 ? characterIndexForColumn(lineText(*editor, place->line), place->column) : -1;
        editor->addMark(place->kind == MessageKind::Error ? TCustomizedMemo::MarkKind::Error
                                                          : TCustomizedMemo::MarkKind::Warning,
                        place->line, index);
    }
}

const Explainer& MessagePane::explainer()
{
    if (!explainer_) {
        explainer_ = std::make_unique<Explainer>(Explainer::installed());
        projectReferenceText_ = explainer_->kindText(QStringLiteral("undefined-reference-in-project"));
    }
    return *explainer_;
}

BuiltPage MessagePane::builtPageFacts() const
{
    BuiltPage built{host_.builtSource(), QFileInfo(host_.builtSource()).fileName(), QString()};
    if (host_.builtPage()) {
        // The page as its tab names it: an untitled page, built from its scratch
        // copy, has no name, and the explanations name none.
        built.name = QFileInfo(pages().fileName(builtPageIndex())).fileName();
        built.text = host_.builtPage()->toPlainText();
    }
    return built;
}

QString MessagePane::explainMessages(const QString& text)
{
    explained_.clear();
    explanationOwner_.clear();
    const BuiltPage built = builtPageFacts();
    QList<Explanation> explanations = explainer().explain(text, built);
    if (explanations.isEmpty())
        return text;
    explainProjectReferences(text, built.name, explanations);
    showExplanations(text, explanations);
    return withExplanations(text, explanations);
}

QString MessagePane::withExplanations(const QString& text, const QList<Explanation>& explanations)
{
    // The compiler's lines stay as written; each explanation goes under its
    // message, indented behind a marker.
    QString shown;
    shown.reserve(text.size() + explanations.size() * 80);
    int line = 0, paneLine = 0;
    auto next = explanations.cbegin();
    for (const QStringView part : text.tokenize(u'\n')) {
        if (line > 0)
            shown += u'\n';
        shown += part;
        const int messageLine = paneLine;
        for (; next != explanations.cend() && next->messageLine == line; ++next) {
            MessagePlace place = next->place;
            // The linker names the built copy without its folder: that is the built page.
            if (place.line == 0 && QFileInfo(place.file).fileName() == QFileInfo(host_.builtSource()).fileName())
                place.file = host_.builtSource();
            for (const QStringView row : QStringView(next->text).tokenize(u'\n')) {
                shown += QStringLiteral("\n    → ");
                shown += row;
                explained_.insert(++paneLine, place);
                explanationOwner_.insert(paneLine, messageLine);
            }
        }
        ++line;
        ++paneLine;
    }
    return shown;
}

void MessagePane::explainProjectReferences(const QString& text, const QString& builtName,
                                      QList<Explanation>& explanations)
{
    // Only a project's main file is compiled: a function that another of its
    // pages defines reaches the program only when the main file includes it.
    if (state_.ProjectMainIndex < 0 || projectReferenceText_.isEmpty())
        return;
    // The function is the last quoted name: the linker's words around it differ by language.
    static const QRegularExpression quotedName(QStringLiteral("[`‘]([A-Za-z_][A-Za-z0-9_]*)[^`‘]*$"));
    QStringList lines;
    for (Explanation& e : explanations) {
        if (e.kind != u"undefined-reference")
            continue;
        if (lines.isEmpty())
            lines = text.split(u'\n');
        const QString name = quotedName.match(lines.value(e.messageLine)).captured(1);
        const QString page = name.isEmpty() ? QString() : projectPageDefining(name);
        if (page.isEmpty())
            continue;
        e.kind = QStringLiteral("undefined-reference-in-project");
        // In one pass, so a name holding "{1}" is not filled again.
        static const QRegularExpression hole(QStringLiteral("\\{(file|1|2)\\}"));
        e.text.clear();
        qsizetype from = 0;
        for (const QRegularExpressionMatch& m : hole.globalMatch(projectReferenceText_)) {
            e.text += QStringView(projectReferenceText_).sliced(from, m.capturedStart() - from);
            e.text += m.captured(1) == u"file" ? builtName : m.captured(1) == u"1" ? name : page;
            from = m.capturedEnd();
        }
        e.text += QStringView(projectReferenceText_).sliced(from);
    }
}

QString MessagePane::projectPageDefining(const QString& function) const
{
    const int main = state_.ProjectMainIndex;
    if (main > pages().LastIndex())
        return QString();
    const QString project = pages().editor(main)->OwningProject;
    // A definition has a body: the name, its parameters, then "{".
    const QRegularExpression definition(QStringLiteral("\\b%1\\s*\\([^;{}]*\\)\\s*\\{")
                                            .arg(QRegularExpression::escape(function)));
    for (int i = 0; i <= pages().LastIndex(); ++i) {
        if (i != main && !project.isEmpty() && pages().editor(i)->OwningProject == project &&
            definition.match(pages().editor(i)->toPlainText()).hasMatch())
            return QFileInfo(pages().fileName(i)).fileName();
    }
    return QString();
}

void MessagePane::showExplanations(const QString& text, const QList<Explanation>& explanations)
{
    const int built = builtPageIndex();
    const QStringList pageFiles = pages().fileNames();
    const QStringList lines = text.split(u'\n');
    for (const Explanation& e : explanations) {
        if (e.place.line <= 0 || e.messageLine >= lines.size())
            continue;
        const int page =
            pageForMessageFile(messageFile(e.place.file), host_.builtSource(), built, pageFiles, host_.files());
        if (page < 0)
            continue;
        const std::optional<MessagePlace> message = parseMessagePlace(lines[e.messageLine]);
        const bool warning = message && message->kind == MessageKind::Warning;
        pages().editor(page)->addExplanation(
            warning ? TCustomizedMemo::MarkKind::Warning : TCustomizedMemo::MarkKind::Error, e.place.line, e.text);
    }
}

std::optional<MessagePlace> MessagePane::placeOfLine(int line) const
{
    const auto explanation = explained_.constFind(line);
    if (explanation != explained_.constEnd())
        return *explanation;
    const QTextBlock block = pane_->document()->findBlockByNumber(line);
    return block.isValid() ? parseMessagePlace(block.text()) : std::nullopt;
}

bool MessagePane::jumpTo(int line)
{
    const std::optional<MessagePlace> place = placeOfLine(line);
    if (!place)
        return false;
    const int page = placePage(messageFile(place->file));
    if (page < 0)
        return false;
    pages().setActiveIndex(page);
    TCustomizedMemo* editor = pages().editor(page);
    // A link message names no line: its page is shown where it was.
    if (place->line > 0)
        placeCaret(*editor, place->line, characterIndexForColumn(lineText(*editor, place->line), place->column));
    editor->setFocus();
    host_.ShowCaretPos();
    // From an explanation, F8 goes on from its message.
    messageLine_ = explanationOwner_.value(line, line);
    return true;
}

void MessagePane::stepMessage(int direction)
{
    const int count = pane_->document()->blockCount();
    for (int line = messageLine_ + direction; line >= 0 && line < count; line += direction) {
        if (explanationOwner_.contains(line))
            continue;  // it goes with its message
        // The message leads to the code, or else the first of its explanations
        // that does (a link message names no place of its own).
        bool selected = false;
        for (int part = line; part < count && (part == line || explanationOwner_.value(part, -1) == line);
             ++part) {
            if (!placeOfLine(part))
                continue;
            if (!selected) {
                QTextCursor selection(pane_->document()->findBlockByNumber(line));
                selection.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
                pane_->setTextCursor(selection);
                pane_->ensureCursorVisible();
                selected = true;
            }
            messageLine_ = line;  // a place that cannot be shown is passed, not stuck on
            if (jumpTo(part))
                return;
        }
    }
}

void MessagePane::appendMessages(const QStringList& lines, const std::optional<MessagePlace>& place)
{
    int first = -1;
    for (const QString& line : lines) {
        pane_->appendPlainText(line);
        if (!place)
            continue;
        const int at = pane_->document()->blockCount() - 1;
        explained_.insert(at, *place);
        // The lines after the first go with it: F8 stops once.
        if (first < 0)
            first = at;
        else
            explanationOwner_.insert(at, first);
    }
}

}  // namespace nollex
