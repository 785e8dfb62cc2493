#pragma once
// A case's verdict from its run and its expected output, and the lines the window
// shows for it.

#include "CaseRunner.h"
#include "Compare.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace nollex {

enum class Verdict {
    AC,
    WA,
    TLE,
    RE,
    OLE,
    NoVerdict /* no .out */,
    Stopped,
    Unreadable,
    ExpectedTooLarge /* the .out is larger than the output cap: not compared */
};

struct Judged {
    Verdict verdict;
    std::optional<Difference> difference;
};

// expected: the .out file's bytes (nullopt when the case has none). A run that
// could not start is Unreadable.
Judged judge(const CaseResult& result, const std::optional<QByteArray>& expected, const CompareOptions& options);

// The verdict against the case's .out file (empty path: none), read here: one that
// cannot be read is Unreadable; one larger than the output cap is not compared
// (ExpectedTooLarge) when the run ended well enough to compare it.
Judged judgeAgainstFile(const CaseResult& result, const QString& expectedPath, const CompareOptions& options);

// "sample-1  AC  12 ms  1.8 MB": the name, two blanks, the verdict, the time, the
// memory in MB with one decimal; NoVerdict shows "--"; an RE adds its exit code or
// signal; a run that could not start says why, and so does an expected output
// too large to compare.
QString verdictLine(const QString& name, const Judged& judged, const CaseResult& result);

// The lines under a WA: "    12 行目: 期待 「…」 / 実際 「…」" (long lines cut with …).
QStringList differenceLines(const Difference& difference);

// "3 件中 2 件 AC"
QString summaryLine(int cases, int accepted);

}  // namespace nollex
