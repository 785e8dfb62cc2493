#include "MoCatalog.h"

#include <QDir>
#include <QFile>

namespace nollex {

namespace {

constexpr quint32 kMagic = 0x950412de;
constexpr qint64 kLargestCatalog = qint64(16) * 1024 * 1024;

class Reader {
public:
    Reader(QByteArrayView bytes, bool swapped) : bytes_(bytes), swapped_(swapped) {}

    std::optional<quint32> word(qint64 at) const
    {
        if (at < 0 || at + 4 > bytes_.size())
            return std::nullopt;
        const auto* p = reinterpret_cast<const uchar*>(bytes_.data() + at);
        const quint32 little = quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
        const quint32 big = quint32(p[3]) | quint32(p[2]) << 8 | quint32(p[1]) << 16 | quint32(p[0]) << 24;
        return swapped_ ? big : little;
    }

    // The string that table entry `index` describes (its length, then its offset),
    // up to its first NUL: the singular of a plural entry.
    std::optional<QString> string(quint32 table, quint32 index) const
    {
        const qint64 entry = qint64(table) + qint64(index) * 8;
        const std::optional<quint32> length = word(entry);
        const std::optional<quint32> offset = word(entry + 4);
        if (!length || !offset || qint64(*offset) + qint64(*length) > bytes_.size())
            return std::nullopt;
        QByteArrayView text = bytes_.sliced(*offset, *length);
        if (const qsizetype nul = text.indexOf('\0'); nul >= 0)
            text = text.first(nul);
        return QString::fromUtf8(text);
    }

private:
    QByteArrayView bytes_;
    bool swapped_;
};

}  // namespace

std::optional<QHash<QString, QString>> parseMoCatalog(QByteArrayView bytes)
{
    const std::optional<quint32> magic = Reader(bytes, false).word(0);
    if (!magic || (*magic != kMagic && *magic != 0xde120495))
        return std::nullopt;
    const Reader r(bytes, *magic != kMagic);
    const std::optional<quint32> revision = r.word(4), count = r.word(8);
    const std::optional<quint32> originals = r.word(12), translations = r.word(16);
    if (!revision || !count || !originals || !translations || (*revision >> 16) > 1)
        return std::nullopt;
    // Every entry takes 16 bytes of the two tables: a count beyond that is a lie.
    if (qint64(*count) * 8 > bytes.size())
        return std::nullopt;
    QHash<QString, QString> entries;
    entries.reserve(qsizetype(*count));
    for (quint32 i = 0; i < *count; ++i) {
        const std::optional<QString> original = r.string(*originals, i);
        const std::optional<QString> translation = r.string(*translations, i);
        if (!original || !translation)
            return std::nullopt;
        if (!original->isEmpty() && !translation->isEmpty())
            entries.insert(*original, *translation);
    }
    return entries;
}

QList<QHash<QString, QString>> loadMoCatalogs(const QString& folder, const QStringList& fileNames)
{
    QList<QHash<QString, QString>> catalogs;
    for (const QString& name : fileNames) {
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestCatalog)
            continue;
        if (std::optional<QHash<QString, QString>> entries = parseMoCatalog(file.readAll()))
            catalogs.append(std::move(*entries));
    }
    return catalogs;
}

}  // namespace nollex
