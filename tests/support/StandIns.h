#pragma once
// What end-to-end tests need to build for real: the stand-in programs in a program
// folder of the test's own, scripts that stand in for a console or a compiler, and
// waiting for a console that runs on its own.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QThread>

#include <gtest/gtest.h>

namespace nollex::test {

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes an executable script.
inline void makeScript(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(text);
    f.close();
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
}

// Copies cmd.exe and bcc32.exe from the build into programFolder (ending in "/").
inline void copyStandIns(const QString& programFolder)
{
    for (const char* tool : {"cmd.exe", "bcc32.exe", "nollex-explain", "nollex-console", "nollex-case"}) {
        const QString from = QStringLiteral(NOLLEX_BINARY_DIR "/") + QLatin1String(tool);
        ASSERT_TRUE(QFile::copy(from, programFolder + QLatin1String(tool))) << from.toStdString();
    }
    // Guarded builds write a stopped program's buffered output through it.
    const QString guard = QStringLiteral("compat/lib/libnollexguard.a");
    ASSERT_TRUE(QDir().mkpath(programFolder + QStringLiteral("compat/lib")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(NOLLEX_BINARY_DIR "/") + guard, programFolder + guard));
}

// Waits up to timeoutMs until file holds at least `lines` lines.
inline bool waitForLines(const QString& file, int lines, int timeoutMs = 30000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (readAll(file).count('\n') >= lines)
            return true;
        QThread::msleep(20);
    }
    return false;
}

}  // namespace nollex::test
