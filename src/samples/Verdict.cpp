#include "Verdict.h"

#include "SampleCases.h"

#include <cstring>

namespace nollex {

namespace {

QString verdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::AC: return QStringLiteral("AC");
    case Verdict::WA: return QStringLiteral("WA");
    case Verdict::TLE: return QStringLiteral("TLE");
    case Verdict::RE: return QStringLiteral("RE");
    case Verdict::OLE: return QStringLiteral("OLE");
    case Verdict::NoVerdict:
    case Verdict::ExpectedTooLarge: return QStringLiteral("--");
    case Verdict::Stopped: return QStringLiteral("中止");
    case Verdict::Unreadable: break;
    }
    return QStringLiteral("実行できません");
}

// "SIGSEGV" for 11; the number alone for one the C library does not name.
QString signalName(int signal)
{
    const char* abbreviation = sigabbrev_np(signal);
    return abbreviation ? QStringLiteral("SIG") + QString::fromLatin1(abbreviation) : QString::number(signal);
}

// Why a run never started, in a sentence.
QString startFailure(const CaseResult& result)
{
    const QString reason = qt_error_string(result.startError);
    if (result.inputNotFile)
        return QStringLiteral("入力が通常のファイルではありません（FIFO やデバイスは読みません）");
    if (result.inputUnreadable)
        return QStringLiteral("入力ファイルを開けません（%1）").arg(reason);
    return QStringLiteral("プログラムを起動できません（%1）").arg(reason);
}

QString cut(const QString& line)
{
    constexpr qsizetype kShown = 60;
    return line.size() <= kShown ? line : line.left(kShown) + QStringLiteral("…");
}

}  // namespace

Judged judge(const CaseResult& result, const std::optional<QByteArray>& expected, const CompareOptions& options)
{
    switch (result.end) {
    case CaseEnd::StartFailed: return {Verdict::Unreadable, std::nullopt};
    case CaseEnd::Stopped: return {Verdict::Stopped, std::nullopt};
    case CaseEnd::TimedOut: return {Verdict::TLE, std::nullopt};
    case CaseEnd::OutputLimit: return {Verdict::OLE, std::nullopt};
    case CaseEnd::Signaled: return {Verdict::RE, std::nullopt};
    case CaseEnd::Exited: break;
    }
    if (result.exitCode != 0)
        return {Verdict::RE, std::nullopt};
    if (!expected)
        return {Verdict::NoVerdict, std::nullopt};
    std::optional<Difference> difference =
        firstDifference(comparedText(*expected), comparedText(result.output), options);
    return {difference ? Verdict::WA : Verdict::AC, std::move(difference)};
}

Judged judgeAgainstFile(const CaseResult& result, const QString& expectedPath, const CompareOptions& options)
{
    if (expectedPath.isEmpty())
        return judge(result, std::nullopt, options);
    const CaseFileBytes expected = readCaseFile(expectedPath, kOutputCap, true);
    const Judged withoutIt = judge(result, std::nullopt, options);
    if (expected.tooLarge)
        return withoutIt.verdict == Verdict::NoVerdict ? Judged{Verdict::ExpectedTooLarge, std::nullopt} : withoutIt;
    if (!expected.bytes)
        return {Verdict::Unreadable, std::nullopt};
    return judge(result, expected.bytes, options);
}

QString verdictLine(const QString& name, const Judged& judged, const CaseResult& result)
{
    if (result.end == CaseEnd::StartFailed)
        return name + QStringLiteral("  ") + startFailure(result);
    QString line = QStringLiteral("%1  %2  %3 ms  %4 MB")
                       .arg(name, verdictName(judged.verdict))
                       .arg(result.ms)
                       .arg(double(result.peakKb) / 1024.0, 0, 'f', 1);
    if (judged.verdict == Verdict::RE && result.end == CaseEnd::Signaled)
        line += QStringLiteral("  シグナル %1（%2）").arg(result.signal).arg(signalName(result.signal));
    else if (judged.verdict == Verdict::RE)
        line += QStringLiteral("  終了コード %1").arg(result.exitCode);
    else if (judged.verdict == Verdict::ExpectedTooLarge)
        line += QStringLiteral("  期待する出力が %1 MB を超えるため比べません").arg(kOutputCap / (1024LL * 1024));
    return line;
}

QStringList differenceLines(const Difference& difference)
{
    return {QStringLiteral("    %1 行目: 期待 「%2」 / 実際 「%3」")
                .arg(difference.line)
                .arg(cut(difference.expected), cut(difference.actual))};
}

QString summaryLine(int cases, int accepted)
{
    return QStringLiteral("%1 件中 %2 件 AC").arg(cases).arg(accepted);
}

}  // namespace nollex
