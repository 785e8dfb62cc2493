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

// A compiler's message text of `lines` lines (LF) of `chars` characters each, the
// forms that cost a reader the most mixed in turn: blanks after "from" with no
// place at the end, errors and warnings naming `file` at lines 1 to pageLines with
// long texts, source excerpts, the older Windows form with digits and blanks, and
// colons and digits without a place. The lines at indexes 1, 6, 11, ... are the
// errors and warnings, each naming file.
QString messageText(int lines, int chars, const QString& file, int pageLines);

// The same text in Shift-JIS (windows-31j).
QByteArray toShiftJis(const QByteArray& utf8);

void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// A Nollex.ini of this version that restores the given files as pages.
QByteArray settingsText(const QStringList& files);

}  // namespace nollex::bench
