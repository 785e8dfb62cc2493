#include "ShortPath.h"

#include "platform/FileSystem.h"

namespace nollex {

namespace {

qsizetype lastSeparator(const QString& path, const FileSystem& fs)
{
    qsizetype i = path.lastIndexOf(fs.separator());
    // A drive ("C:name") ends the folder part too where the separator is a backslash.
    if (fs.separator() == u'\\')
        i = std::max(i, path.lastIndexOf(u':'));
    return i;
}

}  // namespace

bool PathExists(const QString& path, const FileSystem& fs)
{
    return fs.findFirst(path).has_value();
}

QString ToShortPath(const QString& path, const FileSystem& fs)
{
    if (path.isEmpty())
        return {};
    QString p = fs.absolutePath(path);
    if (!fs.folderExists(p) && !PathExists(p, fs))
        return {};
    const QChar sep = fs.separator();
    if (p.endsWith(sep))
        p.chop(1);

    QString result;
    auto addComponent = [&](const QString& prefix) {
        if (fs.isRoot(prefix)) {
            result += prefix + sep;
            return true;
        }
        const auto entry = fs.findFirst(prefix);
        if (!entry)
            return false;
        result += (entry->alternateName.isEmpty() ? entry->name : entry->alternateName) + sep;
        return true;
    };
    for (qsizetype i = p.indexOf(sep); i >= 0; i = p.indexOf(sep, i + 1)) {
        if (!addComponent(p.left(i)))
            return {};
    }
    if (!addComponent(p))
        return {};
    return result;
}

QString fileNamePart(const QString& path, const FileSystem& fs)
{
    return path.mid(lastSeparator(path, fs) + 1);
}

QString folderPart(const QString& path, const FileSystem& fs)
{
    return path.left(lastSeparator(path, fs) + 1);
}

QString extensionPart(const QString& path, const FileSystem& fs)
{
    const QString name = fileNamePart(path, fs);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

}  // namespace nollex
