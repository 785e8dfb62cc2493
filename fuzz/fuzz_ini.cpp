// The initialization-file reader over arbitrary bytes. Reading must not crash or
// hang, must give every value as one line within the 2047-byte buffer, must give
// the same answers from a fresh reader and from one that saw the earlier inputs,
// and must never change the file.

#include "FuzzSupport.h"

#include "settings/IniFile.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <string>

using nollex::IniFile;
using nollex::fuzz::ScratchFile;

namespace {

const char* const FixedSections[] = {"System", "project", ""};
const char* const FixedKeys[] = {"Version", "mainindex", "file0", ""};

QString decodeName(const QByteArray& raw, bool utf8)
{
    if (utf8)
        return QString::fromUtf8(raw);
    QStringDecoder sjis("windows-31j", QStringDecoder::Flag::Stateless);
    return sjis.isValid() ? sjis.decode(raw) : QString::fromLatin1(raw);
}

// Section and key names written in the file itself, so that reads hit entries.
void namesInFile(const QByteArray& bytes, QStringList& sections, QStringList& keys)
{
    const bool utf8 = QByteArrayView(bytes).isValidUtf8();
    for (const QByteArray& line : bytes.split('\n')) {
        if (sections.size() >= 7 && keys.size() >= 10)
            break;
        const QByteArray t = line.trimmed();
        if (t.startsWith('[') && t.indexOf(']') > 0 && sections.size() < 7)
            sections << decodeName(t.mid(1, t.lastIndexOf(']') - 1), utf8);
        else if (const qsizetype eq = t.indexOf('='); eq >= 0 && keys.size() < 10)
            keys << decodeName(t.left(eq), utf8);
    }
}

struct Reading {
    QStringList values;
    QList<qint32> integers;
    bool operator==(const Reading&) const = default;
};

Reading readAll(const IniFile& ini, const QStringList& sections, const QStringList& keys,
                bool integers)
{
    Reading r;
    for (const QString& s : sections) {
        for (const QString& k : keys) {
            const QString v = ini.readString(s, k, QStringLiteral("<default>"));
            // One line, at most 2047 bytes of the file (so at most 2047 characters).
            FUZZ_CHECK(!v.contains(u'\n'));
            FUZZ_CHECK(v.size() <= 2047);
            r.values << v;
            if (integers)
                r.integers << ini.readInteger(s, k, -12345);
        }
    }
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ScratchFile& file = ScratchFile::instance();
    file.write(data, size);
    const ScratchFile::Snapshot before = file.snapshot();
    const QString path = QString::fromStdString(file.path());

    QStringList sections, keys;
    for (const char* s : FixedSections)
        sections << QString::fromUtf8(s);
    for (const char* k : FixedKeys)
        keys << QString::fromUtf8(k);
    namesInFile(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), sections, keys);

    const IniFile fresh(path);
    const Reading first = readAll(fresh, sections, keys, true);
    const Reading values{first.values, {}};
    FUZZ_CHECK(readAll(fresh, sections, keys, false) == values);

    // A reader that read the previous inputs (the same path, rewritten in the same
    // moment) must notice the new content.
    static IniFile* longLived = new IniFile(path);
    FUZZ_CHECK(readAll(*longLived, sections, keys, false) == values);

    FUZZ_CHECK(file.snapshot() == before);
    FUZZ_CHECK(file.entriesInFolder() == 1);

    // The integer rule on the raw text: a plain decimal within 32 bits reads as itself.
    const std::string raw(reinterpret_cast<const char*>(data), size);
    const std::size_t digitsAt = raw.find_first_not_of("+-") == 1 ? 1 : 0;
    if (raw.size() > digitsAt && raw.size() < 19 &&
        raw.find_first_not_of("0123456789", digitsAt) == std::string::npos) {
        const long long value = std::stoll(raw);
        const std::optional<qint32> number = nollex::parseIniInteger(QString::fromStdString(raw));
        FUZZ_CHECK(number.has_value() == (value >= INT32_MIN && value <= INT32_MAX));
        FUZZ_CHECK(!number || *number == value);
    }
    return 0;
}
