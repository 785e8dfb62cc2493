#pragma once
// GNU message catalogs (.mo), read by their documented layout: a magic number in
// either byte order, a count, and the offsets of the tables of original and
// translated strings. Used to match the compiler's messages in the user's language.

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace nollex {

// Original → translation (the first form of a plural; entries without a translation
// and the header entry left out). Nothing when the bytes are not a catalog or name
// a string outside them.
std::optional<QHash<QString, QString>> parseMoCatalog(QByteArrayView bytes);

// The entries of every named catalog in the folder that can be read; a missing or
// broken catalog adds nothing. Catalogs larger than 16 MB are not read.
QList<QHash<QString, QString>> loadMoCatalogs(const QString& folder, const QStringList& fileNames);

}  // namespace nollex
