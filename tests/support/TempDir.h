#pragma once
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace nollex::test {

// A real temporary folder; path() ends in a separator.
class TempDir {
public:
    TempDir() { EXPECT_TRUE(dir_.isValid()); }
    QString path() const { return QDir(dir_.path()).absolutePath() + u'/'; }
    QString file(const QString& name) const { return path() + name; }
    QString write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(file(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return file(name);
    }
    QByteArray read(const QString& name) const
    {
        QFile f(name.startsWith(u'/') ? name : file(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }

private:
    QTemporaryDir dir_;
};

}  // namespace nollex::test
