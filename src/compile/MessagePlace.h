#pragma once
// The place a line of the compiler's messages names: a file, a line and maybe a
// column, and what kind of message it is. Pure text in, value out, so every form
// is tested as a table.

#include <QString>
#include <QStringList>
#include <optional>

namespace nollex {

class FileSystem;

enum class MessageKind { Error, Warning, Note, IncludedFrom, Other };

struct MessagePlace {
    QString file;     // as the compiler wrote it
    int line = 0;     // from 1
    int column = 0;   // from 1; 0 when the message gives none
    MessageKind kind = MessageKind::Other;

    bool operator==(const MessagePlace&) const = default;
};

// The host compiler's "file:line:column: kind: text" and "file:line: text" forms
// (English or Japanese), the "In file included from file:line" chain, and the
// older Windows compilers' "Error E2451 file line: text". Nothing for any other
// line (source excerpts, "In function", the link's own messages).
std::optional<MessagePlace> parseMessagePlace(QStringView line);

// A character the host compiler counts as two display cells (CJK, full-width forms).
bool isWideCharacter(char32_t c);

// The character index in a line of text that the host compiler's column names.
// Its columns count display cells from 1: a tab runs to the next multiple of 8,
// a wide (CJK) character takes two. A column past the end gives the line's end.
int characterIndexForColumn(QStringView lineText, int column);

// The page that a message's file stands for: the page last built when the file is
// the source that build compiled (Execute's scratch copy, Make's own file), else
// the page whose file it is. -1 when no page holds it.
int pageForMessageFile(const QString& file, const QString& builtSource, int builtPage,
                       const QStringList& pageFiles, const FileSystem& fs);

}  // namespace nollex
