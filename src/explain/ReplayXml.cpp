// The reader of memcheck's XML report: its reports of values never set, with the
// stack of the use and of the allocation.
#include "Replay.h"

#include <QXmlStreamReader>

namespace nollex {

namespace {

constexpr qsizetype kMostErrors = 100;
constexpr qsizetype kMostFrames = 64;
constexpr qsizetype kLongestText = 2000;

bool isNeverSet(const ReplayError& e)
{
    if (e.kind == u"UninitCondition" || e.kind == u"UninitValue")
        return true;
    return e.kind == u"SyscallParam" && e.what.contains(QStringLiteral("uninitialised"));
}

class XmlReading {
public:
    explicit XmlReading(const QByteArray& xml) : xml_(xml) {}

    QList<ReplayError> run();

private:
    QString text()
    {
        return xml_.readElementText(QXmlStreamReader::SkipChildElements).left(kLongestText);
    }
    ReplayFrame frame();
    QList<ReplayFrame> stack();
    std::optional<ReplayError> error();

    QXmlStreamReader xml_;
};

ReplayFrame XmlReading::frame()
{
    ReplayFrame f;
    while (xml_.readNextStartElement()) {
        const QStringView name = xml_.name();
        if (name == u"fn")
            f.function = text();
        else if (name == u"file")
            f.file = text();
        else if (name == u"line") {
            bool ok = false;
            const int n = text().toInt(&ok);
            f.line = ok && n > 0 ? n : 0;
        } else
            xml_.skipCurrentElement();
    }
    return f;
}

QList<ReplayFrame> XmlReading::stack()
{
    QList<ReplayFrame> frames;
    while (xml_.readNextStartElement()) {
        if (xml_.name() != u"frame") {
            xml_.skipCurrentElement();
            continue;
        }
        ReplayFrame f = frame();
        if (frames.size() < kMostFrames)
            frames.append(std::move(f));
    }
    return frames;
}

// At an <error>: the report when it is whole.
std::optional<ReplayError> XmlReading::error()
{
    ReplayError e;
    bool used = false;         // the first stack is the use's
    bool originNext = false;   // an <auxwhat> of the origin came before this stack
    while (xml_.readNextStartElement()) {
        const QStringView name = xml_.name();
        if (name == u"kind")
            e.kind = text();
        else if (name == u"what")
            e.what = text();
        else if (name == u"auxwhat") {
            const QString aux = text();
            originNext = aux.startsWith(QStringLiteral("Uninitialised value was created by"));
            if (originNext)
                e.origin = aux.contains(QStringLiteral("stack allocation")) ? QStringLiteral("stack")
                           : aux.contains(QStringLiteral("heap allocation")) ? QStringLiteral("heap")
                                                                             : QString();
        } else if (name == u"stack") {
            QList<ReplayFrame> frames = stack();
            if (!used) {
                e.stack = std::move(frames);
                used = true;
            } else if (originNext && e.originStack.isEmpty()) {
                e.originStack = std::move(frames);
            }
            originNext = false;
        } else
            xml_.skipCurrentElement();
    }
    if (xml_.hasError() || !used)
        return std::nullopt;
    return e;
}

QList<ReplayError> XmlReading::run()
{
    QList<ReplayError> out;
    if (!xml_.readNextStartElement() || xml_.name() != u"valgrindoutput")
        return out;
    while (out.size() < kMostErrors && xml_.readNextStartElement()) {
        if (xml_.name() != u"error") {
            xml_.skipCurrentElement();
            continue;
        }
        std::optional<ReplayError> e = error();
        if (e && isNeverSet(*e))
            out.append(std::move(*e));
    }
    return out;
}

}  // namespace

QList<ReplayError> parseMemcheckXml(const QByteArray& xml)
{
    return XmlReading(xml).run();
}

}  // namespace nollex
