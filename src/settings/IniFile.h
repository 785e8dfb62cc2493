#pragma once
// Initialization files ("[Section]" lines, then "key=value" lines), the format of
// Nollex.ini and of project definition files.
//
// Reading: section and key names match without regard to case; a missing file,
// section or key gives the caller's default (its trailing blanks removed); a value
// comes back trimmed, without quotes that enclose all of it, and cut to at most
// 2047 bytes of the file's encoding (never inside a character). UTF-8 and
// Shift-JIS files are read (detected per file), LF or CR LF line ends.
//
// Writing: a key is replaced in its own line, a new key goes to the end of its
// section, a new section to the end of the file; every other line keeps its
// bytes. Written lines are UTF-8 and end in CR LF (a Shift-JIS file is turned
// into UTF-8 as a whole on its first write, so the file never mixes encodings).
// Each write replaces the file atomically (new file beside it, renamed over it)
// before it returns; a refused write throws NollexError("<path> に書き込めません").

#include <QString>

#include <memory>
#include <optional>

namespace nollex {

class IniFile {
public:
    // Binds the object to the file; nothing is read or written yet, and a
    // missing file is no error.
    explicit IniFile(const QString& path);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const QString& path() const { return path_; }

    // Whether the section holds the key (with any value, an empty one included).
    bool hasKey(const QString& section, const QString& key) const;
    // A key that is present with an empty value reads as the empty text.
    QString readString(const QString& section, const QString& key, const QString& def) const;
    // "0x1F"/"0X1F" (longer than two characters) and "$1F" are hexadecimal, anything
    // else signed decimal; empty, unparsable or out-of-range text gives def.
    qint32 readInteger(const QString& section, const QString& key, qint32 def) const;
    // Any integer other than 0 is true.
    bool readBool(const QString& section, const QString& key, bool def) const;

    // Line breaks inside a name or value are written as blanks, so a write can
    // never add lines of its own.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, qint32 value);
    void writeBool(const QString& section, const QString& key, bool value);

    // Forgets what the object remembers of the file; a later call reads it again.
    // An open batch is dropped with it.
    void release();

    // Batched writing, for many keys at once: after beginBatch() writes change only
    // the object's copy of the file (reads see them, and the file is not read
    // again), and commitBatch() replaces the file once with all of them, as one
    // write does: it then holds all of the batch or, when the replace is refused
    // (NollexError as for a write), none of it. The batch ends either way. An
    // object destroyed or released with its batch open writes nothing of it.
    void beginBatch();
    void commitBatch();
    bool inBatch() const;

private:
    void written();

    struct Cache;
    QString path_;
    std::unique_ptr<Cache> cache_;
};

// The integer rule of readInteger on a text that is already trimmed.
std::optional<qint32> parseIniInteger(const QString& text);

}  // namespace nollex
