// The message pane leads to the code: a line that names a file and a line makes
// that page active with the caret at the place; F8 and Shift+F8 walk such lines;
// the errors and warnings of a build are marked in the pages they name.
#include "TForm1.h"

#include "build/MessagePlace.h"
#include "editor/CaretPos.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QHash>
#include <QPlainTextEdit>
#include <QTextBlock>

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

bool TForm1::JumpToMessage(int line)
{
    const QTextBlock block = Memo2->document()->findBlockByNumber(line);
    const std::optional<MessagePlace> place = block.isValid() ? parseMessagePlace(block.text()) : std::nullopt;
    if (!place)
        return false;
    const int page = placePage(messageFile(place->file));
    if (page < 0)
        return false;
    Memos->setActiveIndex(page);
    TCustomizedMemo* editor = Memos->editor(page);
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
        if (!parseMessagePlace(Memo2->document()->findBlockByNumber(line).text()))
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

}  // namespace nollex
