#include "Explainer.h"
namespace nollex {
QList<Explanation> Explainer::explainReport(const QString& report, const BuiltPage& page) const
{
    Explanation e;
    const qsizetype at = report.indexOf(page.source + u':');
    if (at >= 0) {
        e.place.file = page.source;
        e.place.line = report.mid(at + page.source.size() + 1).section(u':', 0, 0).section(u'\n', 0, 0).toInt();
    }
    e.text = page.name + QStringLiteral(" %1 行目: STUB").arg(e.place.line);
    return {e};
}
QString Explainer::signalText(int signal) const { return QStringLiteral("STUB signal %1").arg(signal); }
}
