// The reader of the run-time checkers' reports (a program built with the address
// and undefined-behaviour checkers): a report in, at most one explanation per
// fault out, from the same table as the compiler's messages.
#include "Explainer.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QRegularExpressionMatch>

#include <csignal>
#include <optional>

namespace nollex {

namespace {

constexpr qsizetype kLongestLine = 8000;

struct Frame {
    QString function;  // as the checker wrote it: "main", "std::vector<int>::push_back(int&&)"
    QString file;
    int line = 0;
    int column = 0;
};

// One fault's report: the words its kinds are matched against, and its lines.
struct Fault {
    QString message;             // "runtime error: …" or "AddressSanitizer: …"
    std::optional<Frame> named;  // the place the report's first line names
    QList<QStringView> lines;    // the fault's own lines, its first line first
};

// "FILE:LINE" or "FILE:LINE:COLUMN".
std::optional<Frame> parseLocation(QStringView text)
{
    Frame f;
    QList<int> numbers;
    while (numbers.size() < 2) {
        const qsizetype colon = text.lastIndexOf(u':');
        bool ok = false;
        const int n = colon < 0 ? 0 : text.sliced(colon + 1).toInt(&ok);
        if (!ok || n <= 0)
            break;
        numbers.prepend(n);
        text.truncate(colon);
    }
    if (numbers.isEmpty() || text.isEmpty())
        return std::nullopt;
    f.file = text.toString();
    f.line = numbers[0];
    f.column = numbers.value(1);
    return f;
}

// "    #1 0x55aca6ee07ea in main /w/__out.cpp:8"; a frame without a source file
// names its module: "in _start (/w/prog+0x3380)".
std::optional<Frame> parseFrame(QStringView line)
{
    const QStringView t = line.trimmed();
    if (!t.startsWith(u'#'))
        return std::nullopt;
    const qsizetype in = t.indexOf(QStringLiteral(" in "));
    const qsizetype space = t.lastIndexOf(u' ');
    if (in < 0 || space <= in + 3)
        return std::nullopt;
    std::optional<Frame> f = parseLocation(t.sliced(space + 1));
    if (!f)
        f = Frame{};
    f->function = t.sliced(in + 4, space - in - 4).toString();
    return f;
}

// The frames that follow line `from`, up to the first line that is none.
QList<Frame> stackAt(const QList<QStringView>& lines, qsizetype from)
{
    QList<Frame> stack;
    for (qsizetype i = from; i < lines.size(); ++i) {
        std::optional<Frame> f = parseFrame(lines[i]);
        if (!f)
            break;
        stack.append(std::move(*f));
    }
    return stack;
}

// The stack under the first line that starts with `title` ("freed by thread").
QList<Frame> stackUnder(const QList<QStringView>& lines, QStringView title)
{
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].startsWith(title))
            return stackAt(lines, i + 1);
    }
    return {};
}

// The fault's own stack: the first frames after its first line.
QList<Frame> faultStack(const QList<QStringView>& lines)
{
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (parseFrame(lines[i]))
            return stackAt(lines, i);
    }
    return {};
}

QStringView lineOf(const QString& text, int line);

class ReportReading {
public:
    ReportReading(const QList<Explainer::Kind>& kinds, const BuiltPage& page)
        : kinds_(kinds), page_(page)
    {
    }

    QList<Explanation> run(const QString& report);

private:
    using Values = QHash<QString, QString>;

    bool inPage(const Frame& f) const
    {
        return namesBuiltPage(f.file, page_);
    }
    const Frame* firstInPage(const QList<Frame>& stack) const
    {
        const auto f = std::find_if(stack.cbegin(), stack.cend(), [&](const Frame& s) { return inPage(s); });
        return f == stack.cend() ? nullptr : &*f;
    }
    qsizetype readFault(const QList<QStringView>& lines, qsizetype i, std::optional<Fault>& fault) const;
    std::optional<Explanation> explain(const Fault& fault) const;
    Values values(const Fault& fault, const QList<Frame>& stack) const;
    void boundsValues(const Fault& fault, Values& v) const;
    std::optional<QString> fill(const QString& text, const MessagePlace& place, const QHash<int, QString>& holes,
                                const Values& values) const;

    const QList<Explainer::Kind>& kinds_;
    const BuiltPage& page_;
};

QList<Explanation> ReportReading::run(const QString& report)
{
    QList<QStringView> lines = QStringView(report).split(u'\n');
    // What follows the last line end is a line the checker had not finished.
    lines.removeLast();
    for (QStringView& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.size() > kLongestLine)
            line = QStringView();
    }
    QList<Explanation> out;
    for (qsizetype i = 0; i < lines.size();) {
        std::optional<Fault> fault;
        i = readFault(lines, i, fault);
        if (fault) {
            if (std::optional<Explanation> e = explain(*fault))
                out.append(std::move(*e));
        }
    }
    return out;
}

// The fault that starts at line i, if one does; the line after what was read.
qsizetype ReportReading::readFault(const QList<QStringView>& lines, qsizetype i, std::optional<Fault>& fault) const
{
    static const QString asanError = QStringLiteral("ERROR: AddressSanitizer: ");
    static const QString asanSummary = QStringLiteral("SUMMARY: AddressSanitizer: ");
    static const QString ubsanError = QStringLiteral(": runtime error: ");
    const QStringView line = lines[i];
    if (const qsizetype at = line.indexOf(asanError); at >= 0 && line.startsWith(u'=')) {
        // The address checker ends each report with its summary: without one the
        // report was cut off, and another report's start means the same.
        for (qsizetype j = i + 1; j < lines.size(); ++j) {
            if (lines[j].startsWith(asanSummary)) {
                fault = Fault{QStringLiteral("AddressSanitizer: ") + line.sliced(at + asanError.size()).toString(), std::nullopt,
                              lines.mid(i, j - i + 1)};
                return j + 1;
            }
            if (lines[j].contains(asanError) || lines[j].contains(ubsanError))
                return j;
        }
        return lines.size();
    }
    if (line.startsWith(asanSummary)) {
        // Only the summary: the rest of the report went elsewhere.
        const QStringView rest = line.sliced(asanSummary.size());
        const QList<QStringView> words = rest.split(u' ');
        fault = Fault{QStringLiteral("AddressSanitizer: ") + rest.toString(), parseLocation(words.value(1)), {line}};
        return i + 1;
    }
    if (const qsizetype at = line.indexOf(ubsanError); at > 0) {
        const QList<Frame> stack = stackAt(lines, i + 1);
        fault = Fault{line.sliced(at + 2).toString(), parseLocation(line.first(at)),
                      lines.mid(i, stack.size() + 1)};
        return i + 1 + stack.size();
    }
    return i + 1;
}

std::optional<Explanation> ReportReading::explain(const Fault& fault) const
{
    const QList<Frame> stack = faultStack(fault.lines);
    const Frame* place = fault.named && inPage(*fault.named) ? &*fault.named : firstInPage(stack);
    const MessagePlace where{page_.source, place ? place->line : 0, place ? place->column : 0, MessageKind::Error};
    const Values v = values(fault, stack);
    const QString source = lineOf(page_.text, where.line).trimmed().toString();
    for (const Explainer::Kind& kind : kinds_) {
        if (!kind.source.isEmpty() && (source.isEmpty() || !withinLimit(kind.source, source)))
            continue;
        for (const MessagePattern& p : kind.patterns) {
            const std::optional<QHash<int, QString>> holes = matchPattern(p, fault.message);
            if (!holes)
                continue;
            for (const QString& text : kind.texts) {
                if (std::optional<QString> filled = fill(text, where, *holes, v))
                    return Explanation{0, kind.name, where, *filled};
            }
        }
    }
    return std::nullopt;
}

// The member of std::vector that moved its elements, from the stack that freed
// them: the vector frame nearest the learner's code ("push_back").
QString movingMember(const QList<Frame>& freed, const Frame* own)
{
    static const QRegularExpression member(QStringLiteral(">::(\\w+)(?:<[^()]*>)?\\("));
    static const QStringList moving = {QStringLiteral("push_back"), QStringLiteral("emplace_back"),
                                       QStringLiteral("insert"),    QStringLiteral("emplace"),
                                       QStringLiteral("resize"),    QStringLiteral("reserve"),
                                       QStringLiteral("assign"),    QStringLiteral("shrink_to_fit")};
    const qsizetype end = own ? own - freed.constData() : freed.size();
    for (qsizetype i = end - 1; i >= 0; --i) {
        const QString& f = freed[i].function;
        if (!f.contains(QStringLiteral("std::vector<")))
            continue;
        const QRegularExpressionMatch m = member.match(f);
        if (m.hasMatch() && moving.contains(m.captured(1)))
            return m.captured(1);
    }
    return QString();
}

// A function's name without its parameters or return type: "average(int, int)" → "average".
QString bareFunction(const QString& function)
{
    QString name = function.left(function.indexOf(u'('));
    return name.sliced(name.lastIndexOf(u' ') + 1);
}

// The line of the page's text (from 1), without its line end.
QStringView lineOf(const QString& text, int line)
{
    qsizetype start = 0;
    for (int n = 1; n < line && start >= 0; ++n) {
        start = text.indexOf(u'\n', start);
        start = start < 0 ? -1 : start + 1;
    }
    if (line <= 0 || start < 0)
        return QStringView();
    const qsizetype end = text.indexOf(u'\n', start);
    QStringView view = QStringView(text).sliced(start, (end < 0 ? text.size() : end) - start);
    return view.endsWith(u'\r') ? view.chopped(1) : view;
}

bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The array a subscript at the checker's column indexes: the name right before
// its '['. The column counts bytes of UTF-8 from 1 and stands on the '[' (C) or
// the ']' (C++). Empty when no plain name stands there.
QString subscriptedName(QStringView line, int column)
{
    qsizetype at = 0;
    for (int bytes = 0; at < line.size() && bytes < column - 1; ++at)
        bytes += line[at].isSurrogate() ? 2 : line[at].unicode() < 0x80 ? 1 : line[at].unicode() < 0x800 ? 2 : 3;
    if (column <= 0 || at >= line.size())
        return QString();
    if (line[at] == u']') {
        for (int depth = 0; at >= 0; --at) {
            depth += line[at] == u']' ? 1 : line[at] == u'[' ? -1 : 0;
            if (depth == 0)
                break;
        }
    }
    if (at <= 0 || line[at] != u'[')
        return QString();
    qsizetype end = at;
    while (end > 0 && line[end - 1] == u' ')
        --end;
    qsizetype start = end;
    while (start > 0 && isIdentifierChar(line[start - 1]))
        --start;
    if (start == end || line[start].isDigit())
        return QString();
    return line.sliced(start, end - start).toString();
}

qint64 hexValue(QStringView text)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok, 16);
    return ok ? v : -1;
}

// An array's size and the index used, from its bytes, the access's size and the
// distance of the access from its start; nothing that does not divide evenly.
void arrayValues(qint64 bytes, qint64 access, qint64 offset, QHash<QString, QString>& v)
{
    if (access <= 0 || bytes <= 0 || bytes % access != 0)
        return;
    v.insert(QStringLiteral("size"), QString::number(bytes / access));
    v.insert(QStringLiteral("last"), QString::number(bytes / access - 1));
    if (offset % access == 0)
        v.insert(QStringLiteral("index"), QString::number(offset / access));
}

}  // namespace

// The bounds checker's "index 5 out of bounds for type 'int [5]'": the index, the
// size, and the name in the page's line at the report's column.
void ReportReading::boundsValues(const Fault& fault, Values& v) const
{
    static const QRegularExpression bounds(
        QStringLiteral("^runtime error: index (-?\\d{1,18}) out of bounds for type '[^'\\[]*\\[(\\d{1,18})\\]"));
    const QRegularExpressionMatch m = bounds.match(fault.message);
    if (!m.hasMatch())
        return;
    const qint64 size = m.captured(2).toLongLong();
    if (size <= 0)
        return;
    v.insert(QStringLiteral("index"), m.captured(1));
    v.insert(QStringLiteral("size"), QString::number(size));
    v.insert(QStringLiteral("last"), QString::number(size - 1));
    if (fault.named && inPage(*fault.named)) {
        const QString name = subscriptedName(lineOf(page_.text, fault.named->line), fault.named->column);
        if (!name.isEmpty())
            v.insert(QStringLiteral("name"), name);
    }
}

// What the address checker's report tells of the memory touched: the variable or
// region, its size in elements, the index used; where it was freed and by what.
ReportReading::Values ReportReading::values(const Fault& fault, const QList<Frame>& stack) const
{
    static const QRegularExpression access(QStringLiteral("^(?:READ|WRITE) of size (\\d{1,9}) at "));
    static const QRegularExpression address(QStringLiteral(" on (?:unknown )?address (0x[0-9a-fA-F]{1,16})"));
    static const QRegularExpression variable(QStringLiteral(
        "^\\s*\\[(\\d{1,9}), (\\d{1,9})\\) '([A-Za-z_][A-Za-z0-9_]*)'.* <== Memory access at offset (\\d{1,9}) "));
    static const QRegularExpression region(QStringLiteral(
        "located \\d+ bytes to the (?:right|left) of (\\d{1,12})-byte region \\[(0x[0-9a-fA-F]{1,16}),"));
    static const QRegularExpression global(QStringLiteral(
        "located \\d+ bytes to the (?:right|left) of global variable '([A-Za-z_][A-Za-z0-9_:]*)' defined in "
        "'[^']*' \\((0x[0-9a-fA-F]{1,16})\\) of size (\\d{1,12})"));
    Values v;
    if (const Frame* own = firstInPage(stack); own && !own->function.isEmpty())
        v.insert(QStringLiteral("func"), bareFunction(own->function));
    // A stack that overflowed by recursion shows the page's function again and again.
    for (qsizetype i = 0; i + 1 < stack.size(); ++i) {
        if (inPage(stack[i]) && !stack[i].function.isEmpty() && stack[i].function == stack[i + 1].function) {
            v.insert(QStringLiteral("recursed"), bareFunction(stack[i].function));
            break;
        }
    }
    boundsValues(fault, v);
    // Only an access in the learner's own code is one element wide: one made in a
    // library function (strcpy, memset) is as wide as the whole copy.
    const bool library = stack.isEmpty() || !inPage(stack[0]);
    const qint64 at = hexValue(address.match(fault.message).captured(1));
    qint64 size = -1;
    for (const QStringView line : fault.lines) {
        QRegularExpressionMatch m;
        if ((m = access.match(line)).hasMatch())
            size = library ? -1 : m.captured(1).toLongLong();
        else if ((m = variable.match(line)).hasMatch()) {
            v.insert(QStringLiteral("name"), m.captured(3));
            const qint64 begin = m.captured(1).toLongLong();
            arrayValues(m.captured(2).toLongLong() - begin, size, m.captured(4).toLongLong() - begin, v);
        } else if ((m = region.match(line)).hasMatch() && at >= 0)
            arrayValues(m.captured(1).toLongLong(), size, at - hexValue(m.captured(2)), v);
        else if ((m = global.match(line)).hasMatch() && at >= 0) {
            v.insert(QStringLiteral("name"), m.captured(1));
            arrayValues(m.captured(3).toLongLong(), size, at - hexValue(m.captured(2)), v);
        }
    }
    const QList<Frame> freed = stackUnder(fault.lines, u"freed by thread");
    const Frame* own = firstInPage(freed);
    if (own)
        v.insert(QStringLiteral("freed"), QString::number(own->line));
    if (const QString grew = movingMember(freed, own); !grew.isEmpty())
        v.insert(QStringLiteral("grew"), grew);
    return v;
}

std::optional<QString> ReportReading::fill(const QString& text, const MessagePlace& place,
                                           const QHash<int, QString>& holes, const Values& values) const
{
    static const QRegularExpression hole(QStringLiteral("\\{([a-z0-9]+)\\}"));
    QString out;
    qsizetype at = 0;
    for (const QRegularExpressionMatch& m : hole.globalMatch(text)) {
        const QString name = m.captured(1);
        std::optional<QString> value;
        if (name == u"file")
            value = page_.name;
        else if (name == u"line" && place.line > 0)
            value = QString::number(place.line);
        else if (name == u"column" && place.column > 0)
            value = QString::number(place.column);
        else if (name.size() == 1 && name[0].isDigit() && holes.contains(name.toInt()))
            value = holes.value(name.toInt());
        else if (values.contains(name))
            value = values.value(name);
        if (!value)
            return std::nullopt;
        out += QStringView(text).sliced(at, m.capturedStart() - at);
        out += *value;
        at = m.capturedEnd();
        if (value->isEmpty() && name == u"file")
            at += separatorOfEmptyName(text, at);
    }
    out += QStringView(text).sliced(at);
    return out;
}

QList<Explanation> Explainer::explainReport(const QString& report, const BuiltPage& page) const
{
    return ReportReading(reportKinds_, page).run(report);
}

QString Explainer::signalText(int signal) const
{
    static const std::pair<int, const char*> names[] = {
        {SIGSEGV, "SIGSEGV"}, {SIGFPE, "SIGFPE"},   {SIGABRT, "SIGABRT"}, {SIGBUS, "SIGBUS"},
        {SIGILL, "SIGILL"},   {SIGKILL, "SIGKILL"}, {SIGTERM, "SIGTERM"}, {SIGPIPE, "SIGPIPE"},
        {SIGINT, "SIGINT"},   {SIGHUP, "SIGHUP"},   {SIGQUIT, "SIGQUIT"}, {SIGTRAP, "SIGTRAP"},
        {SIGXCPU, "SIGXCPU"}, {SIGXFSZ, "SIGXFSZ"}, {SIGALRM, "SIGALRM"}, {SIGSYS, "SIGSYS"},
    };
    for (const auto& [number, name] : names) {
        if (number != signal)
            continue;
        for (const SignalText& s : signals_) {
            if (s.name == QLatin1String(name))
                return s.name + u'（' + s.title + QStringLiteral("）: ") + s.text;
        }
    }
    return QString();
}

}  // namespace nollex
