// Seeded random files fed to the ini reader and the project reader. Reading must
// not crash, hang or change the file; writing one key must leave every other key
// reading as before.

#include "project/ProjectFile.h"
#include "settings/IniFile.h"
#include "support/TempDir.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <random>

using namespace nollex;
using nollex::test::TempDir;

namespace {

const char* const Sections[] = {"System", "system", "Project", "PROJECT", "Compiler", "ゼゾ",
                                "", "A b"};
const char* const Keys[] = {"Version", "Index", "MainIndex", "mainindex", "file0", "file1",
                            "file2", "FILE3", "Tab", "キー", "k"};
const char* const Values[] = {"200", "150", "0x10", "$10", "-1", "2", "abc", "", "  7  ",
                              "\"q\"", "'", "2147483647", "99999999999", "0x", "$", "/p/a.c",
                              "ＭＳ 明朝", "\xE8\xA1\xA8", "\x95\x5C", "\x83\x5D"};
const char* const Ends[] = {"\r\n", "\n", "\r", ""};

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    template <typename T, size_t N>
    const T& pick(const T (&items)[N]) { return items[below(int(N))]; }

    QByteArray noise(int maxLength)
    {
        static const char interesting[] = "[]=;\"' \t\r\n$0xX-9\x81\x9F\xE0\xFC\x5C\x5D\xEF\xBB\xBF";
        QByteArray out;
        const int n = below(maxLength + 1);
        for (int i = 0; i < n; ++i)
            out += below(2) ? char(below(256)) : interesting[below(sizeof interesting - 1)];
        return out;
    }

    QByteArray blanks() { return QByteArray(below(3), below(2) ? ' ' : '\t'); }

    QByteArray line()
    {
        switch (below(8)) {
        case 0:
            return blanks() + '[' + blanks() + pick(Sections) + blanks() + (below(8) ? "]" : "");
        case 1:
        case 2:
        case 3:
            return blanks() + pick(Keys) + blanks() + '=' + blanks() +
                   (below(4) ? QByteArray(pick(Values)) : noise(20)) + blanks();
        case 4:
            return "; " + noise(10);
        case 5:
            return {};
        case 6:
            return QByteArray(pick(Keys)) + "=" + QByteArray(below(3000), 'v');
        default:
            return noise(40);
        }
    }

    QByteArray file()
    {
        if (below(10) == 0)
            return noise(400);
        QByteArray out = below(10) == 0 ? QByteArray("\xEF\xBB\xBF") : QByteArray();
        const int lines = below(30);
        for (int i = 0; i < lines; ++i)
            out += line() + pick(Ends);
        return out;
    }

private:
    std::mt19937 rng_;
};

struct Snapshot {
    QByteArray bytes;
    QDateTime modified;
    QDateTime changed;

    static Snapshot of(const QString& path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        const QFileInfo info(path);
        return {f.readAll(), info.lastModified(), info.metadataChangeTime()};
    }
    bool operator==(const Snapshot& o) const
    {
        return bytes == o.bytes && modified == o.modified && changed == o.changed;
    }
};

QStringList readAll(const IniFile& ini)
{
    QStringList out;
    for (const char* s : Sections) {
        for (const char* k : Keys) {
            const QString section = QString::fromUtf8(s), key = QString::fromUtf8(k);
            out << ini.readString(section, key, QStringLiteral("<none>"))
                << QString::number(ini.readInteger(section, key, -7))
                << QString::number(ini.readBool(section, key, true));
        }
    }
    return out;
}

}  // namespace

TEST(RandomFiles, ReadersSurviveAndNeverChangeTheFile)
{
    Generator gen(20240601);
    TempDir dir;
    const QString path = dir.file("fuzz.ini");
    for (int round = 0; round < 800; ++round) {
        dir.write("fuzz.ini", gen.file());
        const Snapshot before = Snapshot::of(path);

        const IniFile ini(path);
        const QStringList values = readAll(ini);
        for (const QString& v : values)
            ASSERT_LE(v.size(), 2047) << "round " << round;
        EXPECT_EQ(readAll(IniFile(path)), values) << "round " << round;

        const ProjectFileData data = readProjectFile(path);
        if (data.valid) {
            EXPECT_EQ(data.entries.size(), data.count);
            EXPECT_FALSE(data.entries.at(data.mainIndex).isEmpty());
        } else {
            EXPECT_TRUE(data.entries.isEmpty());
        }
        ASSERT_TRUE(Snapshot::of(path) == before) << "round " << round;
    }
}

TEST(RandomFiles, WritingOneKeyLeavesEveryOtherKey)
{
    Generator gen(777);
    TempDir dir;
    const QString path = dir.file("fuzz.ini");
    for (int round = 0; round < 400; ++round) {
        dir.write("fuzz.ini", gen.file());
        IniFile ini(path);
        const QStringList before = readAll(ini);

        const QString section = QString::fromUtf8(gen.pick(Sections));
        const QString key = QString::fromUtf8(gen.pick(Keys));
        const QString value = QStringLiteral("w%1 値").arg(round);
        ini.writeString(section, key, value);
        EXPECT_EQ(IniFile(path).readString(section, key, ""), value) << "round " << round;

        const QStringList after = readAll(IniFile(path));
        ASSERT_EQ(after.size(), before.size());
        int i = 0;
        for (const char* s : Sections) {
            for (const char* k : Keys) {
                const bool written =
                    QString::fromUtf8(s).compare(section, Qt::CaseInsensitive) == 0 &&
                    QString::fromUtf8(k).compare(key, Qt::CaseInsensitive) == 0;
                // The 2047-byte cap counts the file's bytes, which change when a
                // Shift-JIS file becomes UTF-8: compare only values it cannot reach.
                const bool mayBeCut = before[i].size() > 600;
                for (int kind = 0; kind < 3; ++kind, ++i) {
                    if (!written && !mayBeCut) {
                        EXPECT_EQ(after[i], before[i])
                            << "round " << round << " [" << s << "] " << k;
                    }
                }
            }
        }
    }
}
