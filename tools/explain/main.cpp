// nollex-explain STEM PID SIGNAL
//
// Started by the console's interpreter after a watched run (see cmd/WatchedRun.h):
// explains, in Japanese and on the console, the fault that the run-time checkers
// reported for process PID, or the signal that ended it (0: none). The built
// page's name and text come from STEM.page. Exit status 0 when it wrote an
// explanation, 1 when there was nothing to explain.
#include "explain/RunFault.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    QCoreApplication app(argc, argv);
    const QString stem = QString::fromLocal8Bit(argv[1]);
    nollex::RunRecord record;
    record.pid = QByteArray(argv[2]).toLongLong();
    record.signal = QByteArray(argv[3]).toInt();
    QFile pageFile(stem + QStringLiteral(".page"));
    nollex::BuiltPage page;
    if (pageFile.open(QIODevice::ReadOnly))
        page = nollex::parseRunPage(pageFile.readAll());
    const nollex::Explainer explainer = nollex::Explainer::installed();
    const QStringList lines = nollex::runFaultLines(nollex::readRunFault(explainer, stem, record, page));
    if (lines.isEmpty())
        return 1;
    const QByteArray text = (u'\n' + lines.join(u'\n') + u'\n').toUtf8();
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
    return 0;
}
