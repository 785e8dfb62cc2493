#pragma once
// Source files at the byte boundary. A file is read as UTF-8 when its bytes are
// valid UTF-8 (keeping a byte order mark), otherwise as Shift-JIS; every line
// break becomes LF, and the kind of the first one is kept. It is written back in
// the same encoding with breaks of that kind, through a temporary file beside
// it, so a failed write never leaves half a file.

#include "TextFormat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>


namespace nollex {

// Text from UTF-8 that is known to be valid, a U+FEFF at the start kept as the
// character it is (QString::fromUtf8 drops it as a byte order mark).
QString textFromUtf8(QByteArrayView utf8);

// A file as a page last read or wrote it. Another program's write changes its
// time, size or (when it replaces the file) its inode; a missing file has none.
struct FileStamp {
    qint64 modifiedNs = -1;  // -1: no such file
    qint64 size = -1;
    quint64 inode = 0;

    bool exists() const { return modifiedNs >= 0; }
    bool operator==(const FileStamp&) const = default;
};

FileStamp fileStamp(const QString& path);

struct DecodedText {
    QString text;  // line breaks are LF
    TextFormat format;
    // Set by readTextFile alone: when the file's own bytes (less a byte order
    // mark) are the page's text as they stand, they are kept here and text stays
    // empty, so a large file is not converted to UTF-16 and back on its way in.
    QByteArray utf8;
    FileStamp stamp;  // readTextFile: the file as it was just before it was read

    QString pageText() const { return utf8.isNull() ? text : textFromUtf8(utf8); }
};

enum class DecodeProblem {
    None,
    NulByte,  // a binary file: the editor would cut or mangle it
    NotText,  // neither UTF-8 nor Shift-JIS
};

// The file's text and encoding, or nothing (with the reason in *problem).
std::optional<DecodedText> decodeText(const QByteArray& bytes, DecodeProblem* problem = nullptr);

// CR LF and a lone CR become LF. U+2028 and U+2029 are characters, no breaks.
QString normalizeLineBreaks(QString text);

// The bytes of text in format, its LF breaks written as format's kind, or nothing
// when a character cannot be stored in it; *badIndex is then the position of the
// first such character.
std::optional<QByteArray> encodeText(const QString& text, const TextFormat& format,
                                     qsizetype* badIndex = nullptr);

// The largest file a page opens. Larger files are refused before anything is read:
// the editor could not hold one of gigabytes, and reading it would exhaust memory.
inline constexpr qint64 MaxTextFileBytes = qint64(256) * 1024 * 1024;

// Both throw NollexError with a message that names the file.
DecodedText readTextFile(const QString& path);
void writeTextFile(const QString& path, const QString& text, const TextFormat& format);

// Replaces the file's content in one step (writing through a symbolic link to
// its target and keeping the file's permissions); throws NollexError.
void writeFileAtomically(const QString& path, const QByteArray& bytes);


}  // namespace nollex
