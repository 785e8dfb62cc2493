// The message pane leads to the code: a line that names a file and a line makes
// that page active with the caret at the place; F8 and Shift+F8 walk such lines;
// the errors and warnings of a build are marked in the pages they name, and
// explained under the message and under the page's line.
#include "TForm1.h"

#include "build/MessagePlace.h"
#include "editor/CaretPos.h"
#include "explain/Explainer.h"
#include "explain/RunFault.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTimer>

namespace nollex {

void TForm1::NextMessage1Click() { stepMessage(1); }
void TForm1::PreviousMessage1Click() { stepMessage(-1); }

int TForm1::placePage(const QString& file)
{
    const int page =
        pageForMessageFile(file, builtSource_, Memos->indexOf(builtPage_), Memos->fileNames(), files());
    if (page >= 0 || !files().findFirst(file))
        return page;
    // A file no page holds (a header, say) opens as a dropped file would.
    WMDropFiles({file});
    return Memos->fileName(Memos->ActiveIndex()) == file ? Memos->ActiveIndex() : -1;
}

QString TForm1::messageFile(const QString& named) const
{
    // The compiler ran in its own folder: a relative name is relative to that.
    return QDir::isRelativePath(named) ? QDir(State.CompilerDirectory).absoluteFilePath(named) : named;
}

void TForm1::markMessages(const QString& text)
{
    for (int i = 0; i <= Memos->LastIndex(); ++i)
        Memos->editor(i)->clearMarks();
    const int built = Memos->indexOf(builtPage_);
    const QStringList pageFiles = Memos->fileNames();
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
            known = pageOf.insert(place->file, pageForMessageFile(messageFile(place->file), builtSource_,
                                                                  built, pageFiles, files()));
        }
        const int page = *known;
        if (page < 0)
            continue;
        TCustomizedMemo* editor = Memos->editor(page);
        const int index =
            place->column > 0 ? characterIndexForColumn(lineText(*editor, place->line), place->column) : -1;
        editor->addMark(place->kind == MessageKind::Error ? TCustomizedMemo::MarkKind::Error
                                                          : TCustomizedMemo::MarkKind::Warning,
                        place->line, index);
    }
}

const Explainer& TForm1::explainer()
{
    if (!explainer_) {
        explainer_ = std::make_unique<Explainer>(Explainer::installed());
        projectReferenceText_ = explainer_->kindText(QStringLiteral("undefined-reference-in-project"));
    }
    return *explainer_;
}

BuiltPage TForm1::builtPageFacts() const
{
    BuiltPage built{builtSource_, QString(), QString()};
    if (builtPage_) {
        built.name = QFileInfo(Memos->fileName(Memos->indexOf(builtPage_))).fileName();
        built.text = builtPage_->toPlainText();
    }
    if (built.name.isEmpty())  // an untitled page is built from its scratch copy
        built.name = QFileInfo(builtSource_).fileName();
    return built;
}

QString TForm1::explainMessages(const QString& text)
{
    explained_.clear();
    const BuiltPage built = builtPageFacts();
    QList<Explanation> explanations = explainer().explain(text, built);
    if (explanations.isEmpty())
        return text;
    explainProjectReferences(text, built.name, explanations);
    showExplanations(text, explanations);
    return withExplanations(text, explanations);
}

QString TForm1::withExplanations(const QString& text, const QList<Explanation>& explanations)
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
        for (; next != explanations.cend() && next->messageLine == line; ++next) {
            MessagePlace place = next->place;
            // The linker names the built copy without its folder: that is the built page.
            if (place.line == 0 && QFileInfo(place.file).fileName() == QFileInfo(builtSource_).fileName())
                place.file = builtSource_;
            for (const QStringView row : QStringView(next->text).tokenize(u'\n')) {
                shown += QStringLiteral("\n    → ");
                shown += row;
                explained_.insert(++paneLine, place);
            }
        }
        ++line;
        ++paneLine;
    }
    return shown;
}

void TForm1::explainProjectReferences(const QString& text, const QString& builtName,
                                      QList<Explanation>& explanations)
{
    // Only a project's main file is compiled: a function that another of its
    // pages defines reaches the program only when the main file includes it.
    if (State.ProjectMainIndex < 0 || projectReferenceText_.isEmpty())
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

QString TForm1::projectPageDefining(const QString& function) const
{
    const int main = State.ProjectMainIndex;
    if (main > Memos->LastIndex())
        return QString();
    const QString project = Memos->editor(main)->OwningProject;
    // A definition has a body: the name, its parameters, then "{".
    const QRegularExpression definition(QStringLiteral("\\b%1\\s*\\([^;{}]*\\)\\s*\\{")
                                            .arg(QRegularExpression::escape(function)));
    for (int i = 0; i <= Memos->LastIndex(); ++i) {
        if (i != main && !project.isEmpty() && Memos->editor(i)->OwningProject == project &&
            definition.match(Memos->editor(i)->toPlainText()).hasMatch())
            return QFileInfo(Memos->fileName(i)).fileName();
    }
    return QString();
}

void TForm1::showExplanations(const QString& text, const QList<Explanation>& explanations)
{
    const int built = Memos->indexOf(builtPage_);
    const QStringList pageFiles = Memos->fileNames();
    const QStringList lines = text.split(u'\n');
    for (const Explanation& e : explanations) {
        if (e.place.line <= 0 || e.messageLine >= lines.size())
            continue;
        const int page = pageForMessageFile(messageFile(e.place.file), builtSource_, built, pageFiles, files());
        if (page < 0)
            continue;
        const std::optional<MessagePlace> message = parseMessagePlace(lines[e.messageLine]);
        const bool warning = message && message->kind == MessageKind::Warning;
        Memos->editor(page)->addExplanation(
            warning ? TCustomizedMemo::MarkKind::Warning : TCustomizedMemo::MarkKind::Error, e.place.line, e.text);
    }
}

std::optional<MessagePlace> TForm1::placeOfLine(int line) const
{
    const auto explanation = explained_.constFind(line);
    if (explanation != explained_.constEnd())
        return *explanation;
    const QTextBlock block = Memo2->document()->findBlockByNumber(line);
    return block.isValid() ? parseMessagePlace(block.text()) : std::nullopt;
}

bool TForm1::JumpToMessage(int line)
{
    if (const auto opening = openingLines_.constFind(line); opening != openingLines_.constEnd()) {
        const std::function<void()> open = *opening;  // what it runs may change the pane
        open();
        return true;
    }
    const std::optional<MessagePlace> place = placeOfLine(line);
    if (!place)
        return false;
    const int page = placePage(messageFile(place->file));
    if (page < 0)
        return false;
    Memos->setActiveIndex(page);
    TCustomizedMemo* editor = Memos->editor(page);
    // A link message names no line: its page is shown where it was.
    if (place->line > 0)
        placeCaret(*editor, place->line, characterIndexForColumn(lineText(*editor, place->line), place->column));
    editor->setFocus();
    ShowCaretPos();
    messageLine_ = line;
    return true;
}

void TForm1::stepMessage(int direction)
{
    const int count = Memo2->document()->blockCount();
    for (int line = messageLine_ + direction; line >= 0 && line < count; line += direction) {
        if (!placeOfLine(line))
            continue;
        QTextCursor selection(Memo2->document()->findBlockByNumber(line));
        selection.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        Memo2->setTextCursor(selection);
        Memo2->ensureCursorVisible();
        messageLine_ = line;  // a place that cannot be shown is passed, not stuck on
        if (JumpToMessage(line))
            return;
    }
}

// ---------------------------------------------------------------- the run's end

bool TForm1::runsFolderReady() const
{
    const QString& folder = folders().runs;
    return !folder.isEmpty() && !makePrivateFolder(folder) && !checkPrivateFolder(folder);
}

QStringList TForm1::watchRun(bool consoleCloses)
{
    endRun();
    if (!run_.report.isEmpty())
        files().remove(run_.report);  // the pane that named it is replaced
    run_.report.clear();
    if (!runsFolderReady())
        return {};
    const QString& folder = folders().runs;
    static int runs = 0;
    const QString stem = folder + QStringLiteral("run-%1-%2").arg(QCoreApplication::applicationPid()).arg(++runs);
    QStringList environment = runEnvironment(stem);
    // What the console's explaining tool needs of the page.
    if (environment.isEmpty() || files().writeFile(stem + QStringLiteral(".page"), runPageBytes(builtPageFacts())))
        return {};
    run_.stem = stem;
    run_.consoleCloses = consoleCloses;
    if (!run_.timer) {
        run_.timer = new QTimer(this);
        connect(run_.timer, &QTimer::timeout, this, &TForm1::pollRun);
    }
    // Often enough that the pane tells of the end well within a second.
    run_.timer->start(100);
    return environment;
}

void TForm1::endRun()
{
    if (run_.timer)
        run_.timer->stop();
    if (run_.stem.isEmpty())
        return;
    files().remove(run_.stem + QStringLiteral(".page"));
    files().remove(run_.stem + QStringLiteral(".end"));
    run_.stem.clear();
}

void TForm1::pollRun()
{
    const std::optional<QByteArray> bytes = files().readFile(run_.stem + QStringLiteral(".end"));
    const std::optional<RunRecord> record = bytes ? parseRunRecord(*bytes) : std::nullopt;
    if (!record)
        return;
    guarded([&] { showRunEnd(*record); });
    endRun();
}

void TForm1::showRunEnd(const RunRecord& record)
{
    const RunFault fault = readRunFault(explainer(), run_.stem, record, builtPageFacts());
    run_.report = fault.report;
    qsizetype explainedLines = 0;
    for (const Explanation& e : fault.explanations) {
        const QStringList lines = e.text.split(u'\n');
        explainedLines += lines.size();
        appendMessages(lines, e.place.line > 0 ? std::optional(e.place) : std::nullopt);
        const int page = pageForMessageFile(messageFile(e.place.file), builtSource_, Memos->indexOf(builtPage_),
                                            Memos->fileNames(), files());
        if (e.place.line <= 0 || page < 0)
            continue;
        Memos->editor(page)->addMark(TCustomizedMemo::MarkKind::Error, e.place.line, -1);
        Memos->editor(page)->addExplanation(TCustomizedMemo::MarkKind::Error, e.place.line, e.text);
    }
    // The report's file or the signal, after the explanations' own lines.
    QStringList told = runFaultLines(fault).mid(explainedLines);
    if (run_.consoleCloses)
        told << runToldLine(record);
    appendMessages(told, std::nullopt);
}

void TForm1::appendMessages(const QStringList& lines, const std::optional<MessagePlace>& place)
{
    for (const QString& line : lines) {
        Memo2->appendPlainText(line);
        if (place)
            explained_.insert(Memo2->document()->blockCount() - 1, *place);
    }
}

}  // namespace nollex
