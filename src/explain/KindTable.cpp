#include "KindTable.h"

#include <QFile>
#include <QRegularExpressionMatch>

#include <algorithm>

namespace nollex {

namespace {

// One piece of a format: fixed text, a quote, or a hole that prints an argument.
struct Piece {
    enum Type { Text, OpenQuote, CloseQuote, Hole, Nothing } type = Text;
    QString text;      // Text: the characters
    int argument = 0;  // Hole: which argument it prints (from 1; 0 for none, as %m)
    bool quoted = false;
    QChar conversion;
    QString limit;     // Hole: the {…} after it in the table, without the braces
};

Piece piece(Piece::Type type, QString text = QString())
{
    Piece p;
    p.type = type;
    p.text = std::move(text);
    return p;
}

bool isLengthModifier(QChar c)
{
    return c == u'h' || c == u'l' || c == u'w' || c == u'z' || c == u't' || c == u'L' || c == u'j' || c == u'q';
}

// Digits then '$' at `i`: a positional argument; `i` moves past it.
int positional(QStringView f, qsizetype& i)
{
    qsizetype j = i;
    int n = 0;
    while (j < f.size() && f[j].isDigit() && n < 1000)
        n = n * 10 + f[j++].digitValue();
    if (j > i && j < f.size() && f[j] == u'$') {
        i = j + 1;
        return n;
    }
    return 0;
}

struct Tokenizer {
    QStringView f;
    bool limits;  // the table's {…} after holes are read (English formats only)
    qsizetype i = 0;
    int nextArgument = 1;
    QList<Piece> pieces;

    void addText(QStringView t)
    {
        if (!pieces.isEmpty() && pieces.last().type == Piece::Text)
            pieces.last().text += t;
        else
            pieces.append(piece(Piece::Text, t.toString()));
    }

    // An argument slot: explicit "N$" or the next in order.
    int takeArgument()
    {
        const int n = positional(f, i);
        if (n > 0)
            return n;
        return nextArgument++;
    }

    bool directive();
    bool run();
};

bool Tokenizer::directive()
{
    // At the character after '%'.
    if (i >= f.size())
        return false;
    const QChar c = f[i];
    if (c == u'%' || c == u'\'') {
        addText(c == u'%' ? u"%" : u"'");
        ++i;
        return true;
    }
    if (c == u'<' || c == u'>' || c == u'R' || c == u'}') {
        pieces.append(piece(c == u'<' ? Piece::OpenQuote : c == u'>' ? Piece::CloseQuote : Piece::Nothing));
        ++i;
        return true;
    }
    Piece hole = piece(Piece::Hole);
    const int pos = positional(f, i);
    for (; i < f.size() && QStringView(u"q+#-0 ").contains(f[i]); ++i)
        hole.quoted = hole.quoted || f[i] == u'q';
    while (i < f.size() && f[i].isDigit())
        ++i;
    if (i < f.size() && f[i] == u'.') {
        ++i;
        if (i < f.size() && f[i] == u'*') {
            ++i;
            if (positional(f, i) == 0)
                ++nextArgument;  // the precision takes an argument of its own
        }
        while (i < f.size() && f[i].isDigit())
            ++i;
    }
    for (; i < f.size() && isLengthModifier(f[i]); ++i)
        hole.quoted = hole.quoted || f[i] == u'q';
    if (i >= f.size() || (!f[i].isLetter() && f[i] != u'{'))
        return false;
    hole.conversion = f[i++];
    hole.argument = pos > 0 ? pos : (hole.conversion == u'm' ? 0 : nextArgument++);
    if (hole.conversion == u'r' || hole.conversion == u'{') {
        pieces.append(piece(Piece::Nothing));  // a colour or a link: prints nothing
        return true;
    }
    if (limits && i < f.size() && f[i] == u'{') {
        qsizetype close = i + 1;
        while (close < f.size() && f[close] != u'}')
            close += f[close] == u'\\' ? 2 : 1;
        if (close >= f.size())
            return false;
        hole.limit = f.sliced(i + 1, close - i - 1).toString();
        i = close + 1;
    }
    pieces.append(hole);
    return true;
}

bool Tokenizer::run()
{
    while (i < f.size()) {
        const qsizetype percent = f.indexOf(u'%', i);
        addText(f.sliced(i, (percent < 0 ? f.size() : percent) - i));
        if (percent < 0)
            break;
        i = percent + 1;
        if (!directive())
            return false;
    }
    return true;
}

std::optional<QList<Piece>> tokenize(QStringView format, bool limits)
{
    Tokenizer t{format, limits, 0, 1, {}};
    if (!t.run())
        return std::nullopt;
    return t.pieces;
}

}  // namespace

HoleLimit lineLimit(const QString& text)
{
    if (text.isEmpty())
        return {};
    if (text.startsWith(u'~'))
        return {QRegularExpression(text.sliced(1))};
    return compileLimit(text);
}

HoleLimit compileLimit(const QString& limit)
{
    HoleLimit alternatives;
    for (const QString& alt : limit.split(u'|')) {
        QString pattern;
        for (qsizetype k = 0; k < alt.size(); ++k) {
            if (alt[k] == u'\\' && k + 1 < alt.size())
                pattern += QRegularExpression::escape(alt.sliced(++k, 1));
            else if (alt[k] == u'*')
                pattern += QStringLiteral(".*");
            else
                pattern += QRegularExpression::escape(alt.sliced(k, 1));
        }
        alternatives.append(QRegularExpression(QRegularExpression::anchoredPattern(pattern)));
    }
    return alternatives;
}

bool withinLimit(const HoleLimit& limit, const QString& text)
{
    return limit.isEmpty() || std::any_of(limit.cbegin(), limit.cend(), [&](const QRegularExpression& r) {
        return r.match(text).hasMatch();
    });
}

namespace {

// The pattern for one hole. A quoted name never holds the compiler's quote, so
// its extent is fixed by the next quote and a long message cannot make the match
// backtrack through every split.
QString holePattern(const Piece& p, bool insideQuotes)
{
    const QChar c = p.conversion;
    QString inner;
    if (c == u'd' || c == u'i' || c == u'u')
        inner = QStringLiteral("(-?[0-9]+)");
    else if (c == u'o')
        inner = QStringLiteral("([0-7]+)");
    else if (c == u'x' || c == u'X')
        inner = QStringLiteral("([0-9a-fA-F]+)");
    else if (c == u'c')
        inner = QStringLiteral("(.)");
    else if (p.quoted || insideQuotes)
        inner = QStringLiteral("([^’']*?)");
    else
        inner = QStringLiteral("(.*?)");
    if (!p.quoted)
        return inner;
    QString quoted = QStringLiteral("[‘']") + inner + QStringLiteral("[’']");
    // A type may be followed by what it stands for: ‘size_t’ {aka ‘long unsigned int’}.
    if (c == u'T' || c == u'H' || c == u'I')
        quoted += QStringLiteral("(?: \\{aka [‘'][^’']*[’']\\})?");
    return quoted;
}

}  // namespace

std::optional<QHash<int, QString>> matchPattern(const MessagePattern& p, const QString& message)
{
    if (!p.literal.isEmpty() && !message.contains(p.literal))
        return std::nullopt;
    const QRegularExpressionMatch m = p.regex.match(message);
    if (!m.hasMatch())
        return std::nullopt;
    QHash<int, QString> holes;
    for (int g = 1; g <= m.lastCapturedIndex() && g <= p.holeOfGroup.size(); ++g) {
        const int hole = p.holeOfGroup[g - 1];
        if (hole > 0 && !holes.contains(hole))
            holes.insert(hole, m.captured(g));
    }
    for (auto limit = p.limits.cbegin(); limit != p.limits.cend(); ++limit) {
        const auto value = holes.constFind(limit.key());
        if (value == holes.cend())
            return std::nullopt;
        if (!withinLimit(*limit, *value))
            return std::nullopt;
    }
    return holes;
}

qsizetype separatorOfEmptyName(QStringView text, qsizetype at)
{
    const QStringView rest = text.sliced(std::min(at, text.size()));
    return rest.startsWith(u": ") ? 2 : rest.startsWith(u' ') ? 1 : 0;
}

QString catalogKey(const QString& english)
{
    QString key;
    const std::optional<QList<Piece>> pieces = tokenize(english, true);
    if (!pieces)
        return english;
    // Remove each "{…}" that follows a hole: the pieces say where they were.
    qsizetype at = 0;
    for (const Piece& p : *pieces) {
        if (p.type != Piece::Hole || p.limit.isNull())
            continue;
        const QString braced = QLatin1Char('{') + p.limit + QLatin1Char('}');
        const qsizetype found = english.indexOf(braced, at);
        if (found < 0)
            break;
        key += english.sliced(at, found - at);
        at = found + braced.size();
    }
    return key + english.sliced(at);
}

std::optional<MessagePattern> compileFormat(const QString& english, const QString* translation)
{
    const std::optional<QList<Piece>> source = tokenize(english, true);
    if (!source)
        return std::nullopt;
    MessagePattern out;
    QHash<int, int> holeOfArgument;
    int holes = 0;
    for (const Piece& p : *source) {
        if (p.type != Piece::Hole)
            continue;
        ++holes;
        if (p.argument > 0)
            holeOfArgument.insert(p.argument, holes);
        if (!p.limit.isNull())
            out.limits.insert(holes, compileLimit(p.limit));
    }
    const std::optional<QList<Piece>> pieces = translation ? tokenize(*translation, false) : source;
    if (!pieces)
        return std::nullopt;
    QString pattern = QStringLiteral("^");
    bool insideQuotes = false;
    int hole = 0;
    for (const Piece& p : *pieces) {
        switch (p.type) {
        case Piece::Text:
            pattern += QRegularExpression::escape(p.text);
            if (p.text.size() > out.literal.size())
                out.literal = p.text;
            break;
        case Piece::OpenQuote:
            pattern += QStringLiteral("[‘']");
            insideQuotes = true;
            break;
        case Piece::CloseQuote:
            pattern += QStringLiteral("[’']");
            insideQuotes = false;
            break;
        case Piece::Hole:
            ++hole;
            pattern += holePattern(p, insideQuotes);
            out.holeOfGroup.append(translation ? holeOfArgument.value(p.argument) : hole);
            break;
        case Piece::Nothing:
            break;
        }
    }
    out.regex = QRegularExpression(pattern + QStringLiteral("$"));
    if (!out.regex.isValid())
        return std::nullopt;
    out.regex.optimize();
    return out;
}

}  // namespace nollex

namespace nollex {

namespace {

bool isTextHoleName(QStringView name)
{
    static const QStringList named = {QStringLiteral("file"), QStringLiteral("line"), QStringLiteral("column"),
                                      QStringLiteral("char"), QStringLiteral("fix"), QStringLiteral("charcol"),
                                      QStringLiteral("open"), QStringLiteral("name"), QStringLiteral("size"),
                                      QStringLiteral("last"), QStringLiteral("index"), QStringLiteral("grew"),
                                      QStringLiteral("freed"), QStringLiteral("func"),
                                      QStringLiteral("first"), QStringLiteral("defined"),
                                      QStringLiteral("recursed"), QStringLiteral("declared"),
                                      QStringLiteral("allocated")};
    if (name.size() == 1 && name[0] >= u'1' && name[0] <= u'9')
        return true;
    // {arg6}: the call's argument that hole 6 numbers, as the page's line writes it
    if (name.size() == 4 && name.startsWith(u"arg") && name[3] >= u'1' && name[3] <= u'9')
        return true;
    return named.contains(name);
}

struct TableParser {
    KindTable table;
    QString error;
    int lineNumber = 0;

    bool fail(const QString& why)
    {
        error = QStringLiteral("line %1: %2").arg(lineNumber).arg(why);
        return false;
    }
    bool finishKind();
    bool addChar(const QString& rest);
    bool addSignal(const QString& rest);
    bool addFormat(const QString& rest, bool report);
    bool addText(const QString& rest, QStringList& to);
    bool kindLine(QStringView word, const QString& rest);
    bool line(QStringView raw);
};

bool TableParser::finishKind()
{
    if (table.kinds.isEmpty())
        return true;
    const ExplainedKind& k = table.kinds.last();
    if (k.formats.isEmpty() || k.texts.isEmpty())
        return fail(QStringLiteral("kind %1 needs a format and a text").arg(k.name));
    return true;
}

bool TableParser::addChar(const QString& rest)
{
    const QStringList parts = rest.split(u' ');
    bool ok = false;
    const uint code = parts.value(0).startsWith(QStringLiteral("U+")) ? parts[0].mid(2).toUInt(&ok, 16) : 0;
    if (!ok || code == 0 || code > 0x10FFFF || parts.size() < 3)
        return fail(QStringLiteral("a char line is: char U+XXXX name what to type instead"));
    table.chars.append(FullWidthChar{char32_t(code), parts[1], parts.mid(2).join(u' ')});
    return true;
}

bool TableParser::addSignal(const QString& rest)
{
    const QStringList parts = rest.split(u' ');
    if (parts.size() < 3 || !parts[0].startsWith(QStringLiteral("SIG")))
        return fail(QStringLiteral("a signal line is: signal SIGNAME title explanation"));
    table.signalTexts.append(SignalText{parts[0], parts[1], parts.mid(2).join(u' ')});
    return true;
}

// A kind's formats are all the compiler's or all a run-time checker's.
bool TableParser::addFormat(const QString& rest, bool report)
{
    ExplainedKind& kind = table.kinds.last();
    if (!kind.formats.isEmpty() && kind.report != report)
        return fail(QStringLiteral("kind %1 mixes format and report lines").arg(kind.name));
    if (!compileFormat(rest))
        return fail(QStringLiteral("format not understood: ") + rest);
    kind.report = report;
    kind.formats.append(rest);
    return true;
}

bool TableParser::line(QStringView raw)
{
    ++lineNumber;
    const QStringView t = raw.trimmed();
    if (t.isEmpty() || t.startsWith(u'#'))
        return true;
    const qsizetype space = t.indexOf(u' ');
    const QStringView word = space < 0 ? t : t.first(space);
    const QString rest = space < 0 ? QString() : t.sliced(space + 1).trimmed().toString();
    if (word == u"kind") {
        if (!finishKind())
            return false;
        for (const ExplainedKind& k : std::as_const(table.kinds)) {
            if (k.name == rest)
                return fail(QStringLiteral("kind %1 appears twice").arg(rest));
        }
        table.kinds.append(ExplainedKind{rest, {}, {}, false});
        return !rest.isEmpty() || fail(QStringLiteral("a kind needs a name"));
    }
    if (word == u"char")
        return addChar(rest);
    if (word == u"signal")
        return addSignal(rest);
    if (word == u"followon")
        return !rest.isEmpty() ? addText(rest, table.followOnTexts) : fail(QStringLiteral("a followon line needs a text"));
    if (table.kinds.isEmpty())
        return fail(QStringLiteral("a format or text line belongs to a kind"));
    return kindLine(word, rest);
}

bool TableParser::addText(const QString& rest, QStringList& to)
{
    static const QRegularExpression hole(QStringLiteral("\\{([a-z0-9]+)\\}"));
    for (const QRegularExpressionMatch& m : hole.globalMatch(rest)) {
        if (!isTextHoleName(m.capturedView(1)))
            return fail(QStringLiteral("no hole named ") + m.captured(0));
    }
    to.append(rest);
    return true;
}

// A line that belongs to the kind last started.
bool TableParser::kindLine(QStringView word, const QString& rest)
{
    ExplainedKind& kind = table.kinds.last();
    if (word == u"sure" || word == u"leads") {
        (word == u"sure" ? kind.sure : kind.leads) = true;
        return rest.isEmpty() || fail(word.toString() + QStringLiteral(" stands alone"));
    }
    if (rest.isEmpty())
        return fail(QStringLiteral("a format or text line belongs to a kind"));
    if (word == u"format" || word == u"report")
        return addFormat(rest, word == u"report");
    if (word == u"text")
        return addText(rest, kind.texts);
    if (word == u"source" || word == u"previous") {
        (word == u"source" ? kind.source : kind.previous) = rest;
        return true;
    }
    if (word == u"unless") {
        kind.unless = rest;
        return true;
    }
    return fail(QStringLiteral("a line starts with kind, format, report, text, source, previous, sure, leads, "
                               "unless, followon, char or signal"));
}

}  // namespace

std::optional<KindTable> parseKindTable(const QString& text, QString* error)
{
    TableParser p;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (!p.line(line)) {
            if (error)
                *error = p.error;
            return std::nullopt;
        }
    }
    if (!p.finishKind()) {
        if (error)
            *error = p.error;
        return std::nullopt;
    }
    return p.table;
}

QString builtInKindTableText()
{
    QFile file(QStringLiteral(":/explain/kinds.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString fullWidthCharNote(const KindTable& table, char32_t code)
{
    const auto c = std::find_if(table.chars.cbegin(), table.chars.cend(),
                                [code](const FullWidthChar& f) { return f.code == code; });
    if (c == table.chars.cend())
        return QString();
    static const QRegularExpression hole(QStringLiteral("\\{[a-z0-9]+\\}"));
    for (const ExplainedKind& kind : table.kinds) {
        if (kind.name != u"full-width-character")
            continue;
        for (QString text : kind.texts) {
            text.replace(QStringLiteral("{char}"), c->name).replace(QStringLiteral("{fix}"), c->fix);
            if (!text.contains(hole))
                return text;
        }
    }
    return QString();
}

}  // namespace nollex
