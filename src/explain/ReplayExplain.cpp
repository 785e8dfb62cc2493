// The explanation of memcheck's report of a value never set: the variable found by
// a plain scan of the page's lines between the function's start (where memcheck
// says a stack value was allocated) and the line that used it, or the pointer that
// took malloc's result. When the scan is unsure, no variable is named.
#include "Replay.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QRegularExpressionMatch>
#include <QSet>

namespace nollex {

namespace {

constexpr int kFarthestDeclaration = 2000;  // lines scanned above the use

// The line of the text (from 1), without its line end and a // comment.
QString pageLine(const QString& text, int line)
{
    if (line <= 0)
        return QString();
    qsizetype start = 0;
    for (int n = 1; n < line; ++n) {
        start = text.indexOf(u'\n', start);
        if (start < 0)
            return QString();
        ++start;
    }
    const qsizetype end = text.indexOf(u'\n', start);
    QString s = text.sliced(start, (end < 0 ? text.size() : end) - start);
    if (const qsizetype comment = s.indexOf(QStringLiteral("//")); comment >= 0)
        s.truncate(comment);
    return s.trimmed();
}

// The line with strings and character constants blanked, so no name is read in them.
QString withoutStrings(const QString& line)
{
    QString out = line;
    QChar quote;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out[i];
        if (quote.isNull()) {
            if (c == u'"' || c == u'\'')
                quote = c;
        } else if (c == u'\\') {
            out[i] = u' ';
            if (i + 1 < out.size())
                out[++i] = u' ';
        } else if (c == quote) {
            quote = QChar();
        } else {
            out[i] = u' ';
        }
    }
    return out;
}

// The names a line uses, in order: no keywords, no function being called.
QStringList usedNames(const QString& line)
{
    static const QRegularExpression name(QStringLiteral("(?<![\\w.])(?<!->)([A-Za-z_]\\w*)\\s*(\\(?)"));
    static const QSet<QString> keywords = {
        QStringLiteral("if"),     QStringLiteral("while"),  QStringLiteral("for"),    QStringLiteral("return"),
        QStringLiteral("sizeof"), QStringLiteral("switch"), QStringLiteral("case"),   QStringLiteral("else"),
        QStringLiteral("do"),     QStringLiteral("int"),    QStringLiteral("char"),   QStringLiteral("double"),
        QStringLiteral("float"),  QStringLiteral("long"),   QStringLiteral("struct"), QStringLiteral("unsigned"),
        QStringLiteral("NULL"),   QStringLiteral("nullptr"), QStringLiteral("true"),  QStringLiteral("false")};
    QStringList out;
    for (const QRegularExpressionMatch& m : name.globalMatch(withoutStrings(line))) {
        const QString n = m.captured(1);
        if (m.captured(2).isEmpty() && !keywords.contains(n) && !out.contains(n))
            out.append(n);
    }
    return out;
}

struct Declared {
    QString name;
    int line = 0;
    bool set = false;  // given a value where it is declared
    bool array = false;
    bool isChar = false;
    bool isStruct = false;
    bool pointer = false;
};

// The parts of a statement at its commas outside brackets.
QStringList topLevelParts(QStringView s)
{
    QStringList parts;
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        depth += (c == u'(' || c == u'[' || c == u'{') ? 1 : (c == u')' || c == u']' || c == u'}') ? -1 : 0;
        if (c == u',' && depth == 0) {
            parts.append(s.sliced(start, i - start).toString());
            start = i + 1;
        }
    }
    parts.append(s.sliced(start).toString());
    return parts;
}

// The declaration of `name` in one line ("int a[10];", "int x, y;", "struct P p;",
// "int *q = malloc(…);"), when the line has one of a type the scan knows.
std::optional<Declared> declarationIn(const QString& line, const QString& name)
{
    static const QRegularExpression type(QStringLiteral(
        "^\\s*(?:(?:static|const|volatile|register|unsigned|signed|short|long)\\s+)*"
        "(struct\\s+\\w+|union\\s+\\w+|enum\\s+\\w+|int|char|short|long|float|double|bool|_Bool|unsigned|signed|"
        "[a-z]\\w*_t)\\b\\s*(.*)$"));
    static const QRegularExpression declarator(
        QStringLiteral("^\\s*(\\*+\\s*)?([A-Za-z_]\\w*)\\s*((?:\\[[^\\]]*\\]\\s*)*)(=.*)?$"));
    for (const QString& statement : withoutStrings(line).split(u';')) {
        const QRegularExpressionMatch t = type.match(statement);
        if (!t.hasMatch())
            continue;
        const QString base = t.captured(1);
        for (const QString& part : topLevelParts(t.capturedView(2))) {
            const QRegularExpressionMatch d = declarator.match(part);
            if (!d.hasMatch())
                break;  // not a declaration the scan understands
            if (d.captured(2) != name)
                continue;
            Declared out{name, 0, d.capturedLength(4) > 0, d.capturedLength(3) > 0, base == u"char",
                         base.startsWith(u"struct") || base.startsWith(u"union"), d.capturedLength(1) > 0};
            return out;
        }
    }
    return std::nullopt;
}

// Whether a line gives `name` itself a value: "x = …", "&x" (scanf), "x++".
bool assigns(const QString& line, const QString& name)
{
    const QString n = QRegularExpression::escape(name);
    const QRegularExpression set(QStringLiteral("(?<![\\w.])(?<!->)(?:%1\\s*=(?!=)|&\\s*%1\\b(?!\\s*[\\[.])|%1\\s*(?:\\+\\+|--))").arg(n));
    return set.match(withoutStrings(line)).hasMatch();
}

// The variable never set that line `at` uses, declared at or after line `from`; when
// more than one may be, the plain variables given a value before `at` are left out;
// nothing when still unsure.
std::optional<Declared> neverSetVariable(const QString& text, int from, int at)
{
    if (from <= 0 || at < from || at - from > kFarthestDeclaration)
        return std::nullopt;
    QList<Declared> found;
    for (const QString& name : usedNames(pageLine(text, at))) {
        for (int l = at; l >= from; --l) {
            std::optional<Declared> d = declarationIn(pageLine(text, l), name);
            if (!d)
                continue;
            d->line = l;
            if (!d->set)
                found.append(*d);
            break;
        }
    }
    if (found.size() > 1) {
        found.removeIf([&](const Declared& d) {
            if (d.array || d.isStruct)
                return false;
            for (int l = d.line + 1; l < at; ++l) {
                if (assigns(pageLine(text, l), d.name))
                    return true;
            }
            return false;
        });
    }
    if (found.size() != 1)
        return std::nullopt;
    return found.first();
}

// The pointer given the allocation's result on the line: "int *q = malloc(…)", "q = calloc(…)".
QString allocatedName(const QString& line)
{
    static const QRegularExpression alloc(QStringLiteral(
        "([A-Za-z_]\\w*)\\s*=\\s*(?:\\([^()]*\\)\\s*)?(?:malloc|realloc|new)\\b"));
    return alloc.match(withoutStrings(line)).captured(1);
}

struct Reading {
    QString what;
    const ReplayFrame* use = nullptr;  // the first frame in the page
    QStringList kinds;                 // tried in order
    QHash<QString, QString> values;
    std::optional<Declared> variable;
};

class PageFrames {
public:
    explicit PageFrames(const BuiltPage& page) : page_(page) {}
    bool inPage(const ReplayFrame& f) const { return f.line > 0 && namesBuiltPage(f.file, page_); }
    const ReplayFrame* first(const QList<ReplayFrame>& stack) const
    {
        const auto f = std::find_if(stack.cbegin(), stack.cend(), [&](const ReplayFrame& s) { return inPage(s); });
        return f == stack.cend() ? nullptr : &*f;
    }

private:
    const BuiltPage& page_;
};

// What the report and the page's text tell of one report.
Reading readError(const ReplayError& e, const BuiltPage& page)
{
    const PageFrames frames(page);
    Reading r;
    r.what = QStringLiteral("memcheck: ") + e.what;
    r.use = frames.first(e.stack);
    r.values.insert(QStringLiteral("file"), page.name);
    const ReplayFrame* origin = frames.first(e.originStack);
    if (origin && !origin->function.isEmpty())
        r.values.insert(QStringLiteral("func"), origin->function);
    if (!r.use) {
        if (e.kind == u"SyscallParam" && e.what.contains(QStringLiteral("exit_group")))
            r.kinds.append(QStringLiteral("uninit-exit-status"));
        r.kinds.append(QStringLiteral("uninit-value"));
        return r;
    }
    r.values.insert(QStringLiteral("line"), QString::number(r.use->line));
    if (e.origin == u"heap" && origin) {
        r.values.insert(QStringLiteral("allocated"), QString::number(origin->line));
        if (const QString n = allocatedName(pageLine(page.text, origin->line)); !n.isEmpty())
            r.values.insert(QStringLiteral("name"), n);
        r.kinds = {QStringLiteral("uninit-heap"), QStringLiteral("uninit-value")};
        return r;
    }
    if (e.origin == u"stack" && origin) {
        // The frame of the function that owns the variable: a value passed to a
        // function of the page is used there, but was never set in its caller.
        const auto owner = std::find_if(e.stack.cbegin(), e.stack.cend(), [&](const ReplayFrame& f) {
            return frames.inPage(f) && f.function == origin->function;
        });
        if (owner != e.stack.cend())
            r.variable = neverSetVariable(page.text, origin->line, owner->line);
        // The explanation stands where the learner's variable was used.
        if (r.variable) {
            r.use = &*owner;
            r.values.insert(QStringLiteral("line"), QString::number(r.use->line));
        }
    }
    if (const std::optional<Declared>& d = r.variable) {
        r.values.insert(QStringLiteral("name"), d->name);
        r.values.insert(QStringLiteral("declared"), QString::number(d->line));
        if (d->array && d->isChar && !d->pointer)
            r.kinds.append(QStringLiteral("uninit-string"));
        r.kinds.append(d->array          ? QStringLiteral("uninit-array")
                       : d->pointer      ? QStringLiteral("uninit-pointer")
                       : d->isStruct     ? QStringLiteral("uninit-member")
                                         : QStringLiteral("uninit-local"));
    }
    r.kinds.append(QStringLiteral("uninit-value"));
    return r;
}

std::optional<QString> fillText(const QString& text, const QHash<QString, QString>& values)
{
    static const QRegularExpression hole(QStringLiteral("\\{([a-z0-9]+)\\}"));
    QString out;
    qsizetype at = 0;
    for (const QRegularExpressionMatch& m : hole.globalMatch(text)) {
        const auto value = values.constFind(m.captured(1));
        if (value == values.cend())
            return std::nullopt;
        out += QStringView(text).sliced(at, m.capturedStart() - at);
        out += *value;
        at = m.capturedEnd();
    }
    out += QStringView(text).sliced(at);
    return out;
}

}  // namespace

ReplayExplainer::ReplayExplainer(const KindTable& table)
{
    for (const ExplainedKind& k : table.kinds) {
        if (!k.report || k.formats.isEmpty() || !k.formats.first().startsWith(QStringLiteral("memcheck: ")))
            continue;
        Kind kind{k.name, {}, k.texts, lineLimit(k.source)};
        for (const QString& format : k.formats) {
            if (std::optional<MessagePattern> p = compileFormat(format))
                kind.patterns.append(std::move(*p));
        }
        kinds_.append(std::move(kind));
    }
}

ReplayExplainer ReplayExplainer::installed()
{
    return ReplayExplainer(parseKindTable(builtInKindTableText()).value_or(KindTable{}));
}

std::optional<QString> ReplayExplainer::text(const QString& kind, const QString& what, const QString& useLine,
                                             const QHash<QString, QString>& values) const
{
    for (const Kind& k : kinds_) {
        if (k.name != kind || (!k.source.isEmpty() && !withinLimit(k.source, useLine)))
            continue;
        const bool known = std::any_of(k.patterns.cbegin(), k.patterns.cend(),
                                       [&](const MessagePattern& p) { return matchPattern(p, what).has_value(); });
        if (!known)
            continue;
        for (const QString& t : k.texts) {
            if (std::optional<QString> filled = fillText(t, values))
                return filled;
        }
    }
    return std::nullopt;
}

std::optional<Explanation> ReplayExplainer::explain(const QList<ReplayError>& errors, const BuiltPage& page) const
{
    for (const ReplayError& e : errors) {
        const Reading r = readError(e, page);
        const QString useLine = r.use ? pageLine(page.text, r.use->line) : QString();
        for (const QString& kind : r.kinds) {
            if (std::optional<QString> t = text(kind, r.what, useLine, r.values))
                return Explanation{0, kind, MessagePlace{page.source, r.use ? r.use->line : 0, 0, MessageKind::Error}, *t};
        }
    }
    return std::nullopt;
}

std::optional<Explanation> ReplayExplainer::explainFault(const Explanation& fault, const QList<ReplayError>& errors,
                                                         const BuiltPage& page) const
{
    const int at = fault.place.line;
    if (at <= 0)
        return std::nullopt;
    const PageFrames frames(page);
    const QString line = pageLine(page.text, at);
    for (const ReplayError& e : errors) {
        const Reading r = readError(e, page);
        const bool sameLine = std::any_of(e.stack.cbegin(), e.stack.cend(),
                                          [&](const ReplayFrame& f) { return frames.inPage(f) && f.line == at; });
        // The variable the replay saw used unset, used on the fault's line before
        // that: a plain variable must not have been given a value in between.
        bool named = false;
        if (const std::optional<Declared>& d = r.variable; d && r.use && d->line < at && at <= r.use->line) {
            named = usedNames(line).contains(d->name);
            for (int l = d->line + 1; named && !d->array && !d->isStruct && l < at; ++l)
                named = !assigns(pageLine(page.text, l), d->name);
        }
        if (!sameLine && !named)
            continue;
        QHash<QString, QString> values{{QStringLiteral("file"), page.name}, {QStringLiteral("line"), QString::number(at)}};
        if (r.variable && (named || usedNames(line).contains(r.variable->name))) {
            values.insert(QStringLiteral("name"), r.variable->name);
            values.insert(QStringLiteral("declared"), QString::number(r.variable->line));
        }
        if (std::optional<QString> t = text(QStringLiteral("fault-from-uninit"), r.what, line, values))
            return Explanation{fault.messageLine, QStringLiteral("fault-from-uninit"), fault.place, *t};
    }
    return std::nullopt;
}

}  // namespace nollex
