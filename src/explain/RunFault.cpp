#include "RunFault.h"

#include "Replay.h"

#include <QFile>

namespace nollex {

namespace {

// A report is read up to this size: the fault is at its start, and a runaway
// report must not hold up the window.
constexpr qint64 kReportLimit = 1 << 20;

QByteArray readStart(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(kReportLimit);
}

}  // namespace

QByteArray runPageBytes(const BuiltPage& page)
{
    return (page.source + u'\n' + page.name + u'\n' + page.text).toUtf8();
}

BuiltPage parseRunPage(const QByteArray& bytes)
{
    const QString text = QString::fromUtf8(bytes);
    const qsizetype first = text.indexOf(u'\n');
    const qsizetype second = first < 0 ? -1 : text.indexOf(u'\n', first + 1);
    if (second < 0)
        return {};
    return {text.left(first), text.mid(first + 1, second - first - 1), text.mid(second + 1)};
}

std::optional<RunRecord> parseRunRecord(const QByteArray& bytes)
{
    RunRecord record;
    bool pid = false, ended = false, ms = false;
    for (const QByteArray& line : bytes.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        bool ok = false;
        const qint64 value = line.mid(equals + 1).toLongLong(&ok);
        if (equals < 0 || !ok)
            continue;
        const QByteArray key = line.left(equals);
        if (key == "pid") {
            record.pid = value;
            pid = true;
        } else if (key == "exit" || key == "signal") {
            (key == "exit" ? record.exitCode : record.signal) = int(value);
            ended = true;
        } else if (key == "ms") {
            record.ms = value;
            ms = true;
        } else if (key == "held") {
            record.held = value != 0;
        }
    }
    if (!pid || !ended || !ms)
        return std::nullopt;
    return record;
}

QStringList runEnvironment(const QString& stem)
{
    // The checkers' options are split at blanks and colons outside quotes. A pointer to
    // a function's variable kept after it returned is found only with its frames kept.
    const QChar quote = !stem.contains(u'\'') ? u'\'' : u'"';
    if (stem.contains(quote))
        return {};
    return {QStringLiteral("NOLLEX_RUN=") + stem,
            QStringLiteral("ASAN_OPTIONS=log_path=%1%2.asan%1:detect_leaks=0:detect_stack_use_after_return=1").arg(quote).arg(stem),
            QStringLiteral("UBSAN_OPTIONS=log_path=%1%2.ubsan%1:print_stacktrace=1").arg(quote).arg(stem)};
}

RunFault readRunFault(const Explainer& explainer, const QString& stem, const RunRecord& record,
                      const BuiltPage& page)
{
    RunFault fault;
    const QString id = u'.' + QString::number(record.pid);
    QString report;
    for (const QString& path : {stem + QStringLiteral(".asan") + id, stem + QStringLiteral(".ubsan") + id}) {
        if (!QFile::exists(path))
            continue;
        if (fault.report.isEmpty())
            fault.report = path;
        report += QString::fromUtf8(readStart(path));
    }
    if (!fault.report.isEmpty())
        fault.explanations = explainer.explainReport(report, page);
    else if (record.signal != 0)
        fault.signalText = explainer.signalText(record.signal);
    return fault;
}

QString replayReportPath(const QString& stem)
{
    return stem + QStringLiteral(".replay.xml");
}

void addReplayFindings(RunFault& fault, const ReplayExplainer& replay, const QList<ReplayError>& errors,
                       const BuiltPage& page)
{
    if (errors.isEmpty())
        return;
    QList<int> toldLines;
    for (Explanation& e : fault.explanations) {
        if (std::optional<Explanation> set = replay.explainFault(e, errors, page)) {
            e = *set;
            toldLines << e.place.line;
        }
    }
    const std::optional<Explanation> first = replay.explain(errors, page);
    if (first && !toldLines.contains(first->place.line))
        fault.explanations << *first;
}

QStringList runFaultLines(const RunFault& fault)
{
    QStringList lines;
    for (const Explanation& e : fault.explanations)
        lines += e.text.split(u'\n');
    if (!fault.report.isEmpty()) {
        if (lines.isEmpty())
            lines << QStringLiteral("実行時チェックがプログラムの誤りを見つけました。");
        lines << QStringLiteral("（実行時チェックの報告: %1）").arg(fault.report);
    } else if (!fault.signalText.isEmpty()) {
        lines << fault.signalText;
    }
    return lines;
}

QString runToldLine(const RunRecord& record)
{
    const QString how = record.signal != 0 ? QStringLiteral("シグナル %1 で止められました").arg(record.signal)
                                           : QStringLiteral("終了しました（終了コード %1）").arg(record.exitCode);
    QString line = QStringLiteral("プログラムは %1 秒動いて%2。").arg(QString::number(double(record.ms) / 1000.0, 'f', 2), how);
    // A console held under its explanation is open already.
    if (!record.held)
        line += QStringLiteral("コンソールを開いたままにするには、F10 の「実行完了後」で「EXIT入力まで待つ」を選んでください。");
    return line;
}

}  // namespace nollex
