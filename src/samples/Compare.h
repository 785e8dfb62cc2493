#pragma once
// The comparison of a program's output with the expected output: line by line,
// blanks at line ends and empty lines at the end ignored, CR LF and CR as LF;
// optionally numbers within a tolerance.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace nollex {

struct CompareOptions {
    bool numbersWithin = false;  // numbers may differ by the tolerance, absolute or relative
    double tolerance = 1e-6;
};

struct Difference {
    int line = 0;      // from 1
    QString expected;  // that line of the expected output ("" past its end)
    QString actual;    // that line of the actual output ("" past its end)
};

// Nothing when they match. Both texts are already decoded (see shownText).
std::optional<Difference> firstDifference(const QString& expected, const QString& actual,
                                          const CompareOptions& options);

// Which lines of each side differ (for the side-by-side window), from 0.
struct LineMarks {
    QList<int> expected;
    QList<int> actual;
};
LineMarks differingLines(const QString& expected, const QString& actual, const CompareOptions& options);

// Bytes as text: valid UTF-8 as it is; bytes that are not valid UTF-8, and control
// characters other than tab and line ends, shown escaped as \xNN. Never drops bytes.
QString shownText(const QByteArray& bytes);

// Bytes as text for comparing: valid UTF-8 decoded, each other byte kept as a lone
// surrogate (U+DC80..U+DCFF), which no valid text decodes to. Unlike shownText, an
// output that prints "\xff" literally never matches one that writes the byte 0xff.
QString comparedText(const QByteArray& bytes);

// A text from comparedText as shownText would show it.
QString shownFromCompared(const QString& text);

}  // namespace nollex
