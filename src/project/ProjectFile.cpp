#include "ProjectFile.h"

#include "settings/IniFile.h"

namespace nollex {

namespace {

const QString System = QStringLiteral("System");
const QString Project = QStringLiteral("Project");

QString entryKey(int position)
{
    return QStringLiteral("file") + QString::number(position);
}

}  // namespace

ProjectFileData readProjectFile(const QString& path)
{
    const IniFile ini(path);
    ProjectFileData data;
    data.version = ini.readInteger(System, QStringLiteral("Version"), 0);
    data.count = ini.readInteger(System, QStringLiteral("Index"), 0);
    data.mainIndex = ini.readInteger(System, QStringLiteral("MainIndex"), -1);
    data.valid = data.mainIndex >= 0 && data.mainIndex < data.count &&
                 data.count <= MaxProjectEntries &&
                 !ini.readString(Project, entryKey(data.mainIndex), QString()).isEmpty();
    if (data.valid) {
        data.entries.reserve(data.count);
        for (int j = 0; j < data.count; ++j)
            data.entries.append(ini.readString(Project, entryKey(j), QString()));
    }
    return data;
}

void writeProjectFile(const QString& path, const QStringList& entries, int mainIndex)
{
    IniFile ini(path);
    // One replacement of the file: a failure midway must not leave a count and a
    // main index that point at the entries of the file before.
    ini.beginBatch();
    ini.writeInteger(System, QStringLiteral("Version"), FormatVersion);
    ini.writeInteger(System, QStringLiteral("Index"), int(entries.size()));
    ini.writeInteger(System, QStringLiteral("MainIndex"), mainIndex);
    for (int j = 0; j < entries.size(); ++j)
        ini.writeString(Project, entryKey(j), entries[j]);
    ini.commitBatch();
    ini.release();
}

}  // namespace nollex
