#pragma once
// The files the benchmarks work on: C++ sources with Japanese comments of a given
// size and line count, their Shift-JIS form, and Nollex.ini files.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace nollex::bench {

// UTF-8 source text of exactly `lines` lines (LF) and about `bytes` bytes. When
// marker is not empty, every markerEvery-th line (from line markerEvery / 2) holds
// it once; it appears nowhere else.
QByteArray sourceText(int lines, qint64 bytes, const QString& marker = {}, int markerEvery = 0);

// The same text in Shift-JIS (windows-31j).
QByteArray toShiftJis(const QByteArray& utf8);

void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// A Nollex.ini of this version that restores the given files as pages.
QByteArray settingsText(const QStringList& files);

}  // namespace nollex::bench
