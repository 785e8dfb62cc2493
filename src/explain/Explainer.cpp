#include "Explainer.h"

#include "MoCatalog.h"
#include "SourceScan.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpressionMatch>
#include <QSet>

#include <optional>

namespace nollex {

namespace {

constexpr qsizetype kLongestMessage = 8000;

// gcc's own quotes around names: never taken for a character the learner typed.
bool isCompilerQuote(char32_t c)
{
    return c == 0x2018 || c == 0x2019;
}

// One message line read: its place and the words after "error:".
struct Message {
    MessagePlace place;
    QString body;
    QString source;  // the source line it names, as written, when known
};

QString afterPlace(const QString& line, const MessagePlace& place)
{
    QString prefix = place.file + u':' + QString::number(place.line) + u':';
    if (place.column > 0)
        prefix += QString::number(place.column) + u':';
    if (line.startsWith(prefix))
        return line.sliced(prefix.size()).trimmed();
    const qsizetype colon = line.indexOf(QStringLiteral(": "), place.file.size());
    return colon < 0 ? QString() : line.sliced(colon + 2).trimmed();
}

// The option that enabled a warning, " [-Wformat=]", is no part of the message.
QString withoutOption(QString body)
{
    if (body.endsWith(u']')) {
        const qsizetype open = body.lastIndexOf(QStringLiteral(" [-"));
        if (open >= 0)
            body.truncate(open);
    }
    return body;
}

// gcc's excerpt of the line a message names: "    3 |     int x = 1;".
std::optional<QString> excerptOf(QStringView line, int lineNumber)
{
    const QStringView t = line.trimmed();
    const qsizetype bar = t.indexOf(QStringLiteral(" |"));
    if (bar <= 0 || lineNumber <= 0 || t.first(bar).toInt() != lineNumber)
        return std::nullopt;
    const qsizetype start = line.indexOf(QStringLiteral(" |")) + 2;
    return unescapeExcerpt(line.sliced(qMin(line.size(), start + 1)));
}

bool isExcerpt(QStringView line)
{
    const QStringView t = line.trimmed();
    qsizetype i = 0;
    while (i < t.size() && t[i].isDigit())
        ++i;
    return t.sliced(i).trimmed().startsWith(u'|') || t.startsWith(QStringLiteral("+++ |"));
}

QString lineOfText(const QString& text, int lineNumber)
{
    if (lineNumber <= 0)
        return QString();
    qsizetype start = 0;
    for (int n = 1; n < lineNumber; ++n) {
        start = text.indexOf(u'\n', start);
        if (start < 0)
            return QString();
        ++start;
    }
    const qsizetype end = text.indexOf(u'\n', start);
    return text.sliced(start, (end < 0 ? text.size() : end) - start);
}

// The kind that names a full-width character typed into code.
constexpr char kFullWidthKind[] = "full-width-character";

// One build's output read against the compiled kinds.
class Reading {
public:
    Reading(const QList<Explainer::Kind>& kinds, const QHash<char32_t, FullWidthChar>& chars,
            const QStringList& severities, const QStringList& followOn, const BuiltPage& page)
        : kinds_(kinds), chars_(chars), severities_(severities), followOn_(followOn), page_(page)
    {
    }

    QList<Explanation> run(const QString& output);

private:
    using Holes = QHash<int, QString>;
    struct Wide {
        const FullWidthChar* what = nullptr;
        int column = 0;  // 0: not known
    };

    bool isBuilt(const QString& file) const { return namesBuiltPage(file, page_); }
    std::optional<Message> diagnostic(const QString& line, const QList<QStringView>& lines, int index) const;
    QList<Message> linkMessages(const QString& line) const;
    bool explainOne(Message m, int index);
    bool applies(const Explainer::Kind& kind, const Message& m, const Holes& holes) const;
    bool explainAs(const Explainer::Kind& kind, const Message& m, const Holes& holes, int index);
    std::optional<Holes> match(const MessagePattern& p, const QString& body) const;
    std::optional<QString> fill(const QString& text, const Message& m, const Holes& holes);
    std::optional<QString> named(QStringView name, const Message& m, const Holes& holes);
    std::optional<QString> argumentOf(const Message& m, const Holes& holes, int hole) const;
    Wide wideChar(const Message& m, const Holes& holes) const;
    qsizetype wideInCode(const QString& line) const;
    bool explainWide(const Message& m, int index);
    void add(const Explanation& e);

    const QList<Explainer::Kind>& kinds_;
    const QHash<char32_t, FullWidthChar>& chars_;
    const QStringList& severities_;
    const QStringList& followOn_;
    const BuiltPage& page_;
    QList<Explanation> out_;
    QSet<QString> texts_;
    QHash<QString, MessagePlace> placeOfName_;  // a name's first message in the page
    std::optional<int> openBrace_;
    int firstMistake_ = 0;  // the line of the first error (or leading message); 0 before it
    QHash<QString, QSet<QString>> namedBy_;  // kind → the names its explanations named
};

QList<Explanation> Reading::run(const QString& output)
{
    const QList<QStringView> lines = QStringView(output).split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        QStringView view = lines[i];
        if (view.endsWith(u'\r'))
            view.chop(1);
        if (view.isEmpty() || view.size() > kLongestMessage || isExcerpt(view))
            continue;
        const QString line = view.toString();
        if (std::optional<Message> m = diagnostic(line, lines, i)) {
            explainOne(std::move(*m), i);
            continue;
        }
        for (Message& m : linkMessages(line)) {
            if (explainOne(std::move(m), i))
                break;
        }
    }
    return out_;
}

// "file:line:column: error: text": the place, the text, and the source line from
// the page as built or from the excerpt that follows.
std::optional<Message> Reading::diagnostic(const QString& line, const QList<QStringView>& lines, int index) const
{
    const std::optional<MessagePlace> place = parseMessagePlace(line);
    if (!place || place->kind == MessageKind::Other || place->kind == MessageKind::IncludedFrom)
        return std::nullopt;
    Message m{*place, afterPlace(line, *place), QString()};
    for (const QString& word : severities_) {
        if (m.body.startsWith(word)) {
            m.body = m.body.sliced(word.size());
            break;
        }
    }
    m.body = withoutOption(m.body);
    if (isBuilt(place->file) && !page_.text.isEmpty())
        m.source = lineOfText(page_.text, place->line);
    else if (index + 1 < lines.size())
        m.source = excerptOf(lines[index + 1], place->line).value_or(QString());
    return m;
}

// The linker's lines: "__out.c:(.text+0x14): undefined reference to `f'",
// "(.text+0x17): …", "/w/__out.c:7: …". The text may start after any of the
// first few ": ".
QList<Message> Reading::linkMessages(const QString& line) const
{
    QList<Message> tries;
    MessagePlace place;
    if (const std::optional<MessagePlace> p = parseMessagePlace(line); p && p->kind == MessageKind::Other)
        place = *p;
    else if (const qsizetype paren = line.indexOf(QStringLiteral(":(")); paren > 0) {
        // "/usr/bin/ld: __out.c:(.text…)": the linker may name itself first.
        const qsizetype named = line.lastIndexOf(QStringLiteral(": "), paren);
        const qsizetype start = named < 0 ? 0 : named + 2;
        place.file = line.sliced(start, paren - start);
    }
    qsizetype at = 0;
    for (int n = 0; n < 3; ++n) {
        at = line.indexOf(QStringLiteral(": "), at);
        if (at < 0)
            break;
        at += 2;
        tries.append(Message{place, withoutOption(line.sliced(at).trimmed()), QString()});
    }
    return tries;
}

std::optional<Reading::Holes> Reading::match(const MessagePattern& p, const QString& body) const
{
    return matchPattern(p, body);
}

bool Reading::explainOne(Message m, int index)
{
    // Whatever gcc makes of a full-width character in code (a missing ';', an
    // undeclared name, …), the character is the mistake to name.
    if (m.place.line > 0 && isBuilt(m.place.file) && wideInCode(m.source) >= 0 && explainWide(m, index))
        return true;
    bool explained = false;
    bool leads = false;
    for (const Explainer::Kind& kind : kinds_) {
        for (const MessagePattern& p : kind.patterns) {
            const std::optional<Holes> holes = match(p, m.body);
            if (!holes || !applies(kind, m, *holes))
                continue;
            // A link message names no line: the page's first message about the same
            // name (C's implicit declaration of a misspelt function) has it.
            if (m.place.line == 0 && holes->contains(1) && placeOfName_.contains(holes->value(1)))
                m.place = placeOfName_.value(holes->value(1));
            if (holes->contains(1) && m.place.line > 0 && isBuilt(m.place.file))
                placeOfName_.insert(holes->value(1), m.place);
            if (explainAs(kind, m, *holes, index)) {
                explained = true;
                leads = kind.leads;
                break;
            }
        }
        if (explained)
            break;
    }
    // gcc goes on after an error; what it says next may be the same mistake seen again.
    if (firstMistake_ == 0 && m.place.line > 0 && (m.place.kind == MessageKind::Error || leads))
        firstMistake_ = m.place.line;
    return explained;
}

// The kind's conditions on the page's text and on earlier messages.
bool Reading::applies(const Explainer::Kind& kind, const Message& m, const Holes& holes) const
{
    if (!kind.source.isEmpty() && (m.source.isEmpty() || !withinLimit(kind.source, m.source.trimmed())))
        return false;
    if (!kind.previous.isEmpty()) {
        if (!isBuilt(m.place.file) || page_.text.isEmpty())
            return false;
        QString above;
        for (int n = m.place.line - 1; n > 0 && above.isEmpty(); --n)
            above = lineOfText(page_.text, n).trimmed();
        if (above.isEmpty() || !withinLimit(kind.previous, above))
            return false;
    }
    return kind.unless.isEmpty() || !holes.contains(1) || !namedBy_.value(kind.unless).contains(holes.value(1));
}

// The kind's first text whose holes all have values; after the first mistake, a kind
// that is not sure of itself says only that the message may follow from it.
bool Reading::explainAs(const Explainer::Kind& kind, const Message& m, const Holes& holes, int index)
{
    const bool followOn = firstMistake_ > 0 && !kind.sure;
    const QStringList& texts = followOn ? followOn_ : kind.texts;
    for (const QString& text : texts) {
        const std::optional<QString> filled = fill(text, m, holes);
        if (!filled)
            continue;
        add(Explanation{index, followOn ? QStringLiteral("follow-on") : kind.name, m.place, *filled});
        QSet<QString>& named = namedBy_[kind.name];
        for (const QString& value : holes)
            named.insert(value);
        for (int n = 1; n <= 9; ++n) {
            if (const std::optional<QString> arg = argumentOf(m, holes, n))
                named.insert(*arg);
        }
        return true;
    }
    return false;
}

// An explanation once per build: gcc often says one thing twice.
void Reading::add(const Explanation& e)
{
    if (!texts_.contains(e.text)) {
        texts_.insert(e.text);
        out_.append(e);
    }
}

bool Reading::explainWide(const Message& m, int index)
{
    for (const Explainer::Kind& kind : kinds_) {
        if (kind.name != QLatin1String(kFullWidthKind))
            continue;
        for (const QString& text : kind.texts) {
            if (const std::optional<QString> filled = fill(text, m, {})) {
                add(Explanation{index, kind.name, m.place, *filled});
                return true;
            }
        }
    }
    return false;
}

// The index of the first named full-width character of a source line outside its
// string and character literals and its comments; -1 when there is none.
qsizetype Reading::wideInCode(const QString& line) const
{
    QChar quote;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (!quote.isNull()) {
            if (c == u'\\')
                ++i;
            else if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'/' && i + 1 < line.size() && line[i + 1] == u'/') {
            return -1;
        } else if (c == u'/' && i + 1 < line.size() && line[i + 1] == u'*') {
            const qsizetype end = line.indexOf(QStringLiteral("*/"), i + 2);
            if (end < 0)
                return -1;
            i = end + 1;
        } else if (chars_.contains(c.unicode())) {
            return i;
        }
    }
    return -1;
}

std::optional<QString> Reading::fill(const QString& text, const Message& m, const Holes& holes)
{
    QString out;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf(u'{', at);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'}', open);
        if (close < 0) {
            out += text.sliced(at);
            break;
        }
        const QStringView name = QStringView(text).sliced(open + 1, close - open - 1);
        const bool isName = !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) {
            return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
        });
        out += QStringView(text).sliced(at, open - at);
        if (!isName) {
            out += u'{';
            at = open + 1;
            continue;
        }
        const std::optional<QString> value = named(name, m, holes);
        if (!value)
            return std::nullopt;
        out += *value;
        at = close + 1;
        if (value->isEmpty() && name == u"file")
            at += separatorOfEmptyName(text, at);
    }
    return out;
}

std::optional<QString> Reading::named(QStringView name, const Message& m, const Holes& holes)
{
    if (name.size() == 1 && name[0].isDigit())
        return holes.contains(name.toInt()) ? std::optional(holes.value(name.toInt())) : std::nullopt;
    if (name == u"file")
        return m.place.file.isEmpty() || isBuilt(m.place.file) ? page_.name : QFileInfo(m.place.file).fileName();
    if (name == u"line")
        return m.place.line > 0 ? std::optional(QString::number(m.place.line)) : std::nullopt;
    if (name == u"column")
        return m.place.column > 0 ? std::optional(QString::number(m.place.column)) : std::nullopt;
    if (name == u"first")
        return firstMistake_ > 0 ? std::optional(QString::number(firstMistake_)) : std::nullopt;
    if (name.startsWith(u"arg"))
        return argumentOf(m, holes, name.sliced(3).toInt());
    if (name == u"defined") {
        if (!holes.contains(1) || !isBuilt(m.place.file))
            return std::nullopt;
        const int at = definitionLine(page_.text, holes.value(1));
        return at > m.place.line ? std::optional(QString::number(at)) : std::nullopt;
    }
    if (name == u"open") {
        if (!openBrace_)
            openBrace_ = likelyUnclosedBraceLine(page_.text);
        if (*openBrace_ <= 0 || !isBuilt(m.place.file))
            return std::nullopt;
        return QString::number(*openBrace_);
    }
    const Wide w = wideChar(m, holes);
    if (!w.what || (name == u"charcol" && w.column == 0))
        return std::nullopt;
    return name == u"char" ? w.what->name : name == u"fix" ? w.what->fix : QString::number(w.column);
}

// The argument that hole `hole` numbers ("argument 3" of a format message), as the
// call on the message's line writes it: the call whose parentheses hold the
// message's column. Nothing when the line does not show it plainly.
std::optional<QString> Reading::argumentOf(const Message& m, const Holes& holes, int hole) const
{
    bool ok = false;
    const int n = holes.value(hole).toInt(&ok);
    if (!ok || n <= 0 || m.source.isEmpty() || m.place.column <= 0)
        return std::nullopt;
    const qsizetype at = characterIndexForColumn(m.source, m.place.column);
    if (at < 0)
        return std::nullopt;
    const QStringList args = callArguments(m.source, at);
    if (n > args.size())
        return std::nullopt;
    const QString& arg = args[n - 1];
    static const QRegularExpression plain(QStringLiteral("^&?[A-Za-z_][A-Za-z0-9_]*(\\[[^\\]]*\\])?$"));
    return plain.match(arg).hasMatch() ? std::optional(arg) : std::nullopt;
}

// A character the input method typed: in a name the message quotes, else the one
// at the message's column (a stray byte's message shows only its first byte).
Reading::Wide Reading::wideChar(const Message& m, const Holes& holes) const
{
    Wide w;
    for (const QString& value : holes) {
        for (const char32_t c : value.toUcs4()) {
            if (!w.what && !isCompilerQuote(c) && chars_.contains(c))
                w.what = &chars_.find(c).value();
        }
    }
    const qsizetype at = m.source.isEmpty() ? -1 : characterIndexForColumn(m.source, m.place.column);
    if (!w.what && at >= 0 && at < m.source.size()) {
        const char32_t c = QStringView(m.source).sliced(at).toUcs4().value(0);
        if (chars_.contains(c))
            w.what = &chars_.find(c).value();
    }
    if (!w.what) {
        // The message points elsewhere (a ';' missing after "printf（"): the first
        // such character in the line's code is the one.
        if (const qsizetype code = wideInCode(m.source); code >= 0)
            w.what = &chars_.find(m.source[code].unicode()).value();
    }
    if (!w.what || at < 0)
        return w;
    const QString typed = QString::fromUcs4(&w.what->code, 1);
    qsizetype found = m.source.indexOf(typed, at);
    if (found < 0)
        found = m.source.indexOf(typed);
    if (found >= 0)
        w.column = caretColumnAt(m.source, found);
    return w;
}

}  // namespace

QString Explainer::kindText(const QString& kind) const
{
    for (const QList<Kind>* list : {&kinds_, &reportKinds_}) {
        for (const Kind& k : *list) {
            if (k.name == kind)
                return k.texts.value(0);
        }
    }
    return QString();
}

bool namesBuiltPage(const QString& file, const BuiltPage& page)
{
    const QString name = QFileInfo(file).fileName();
    if (name.isEmpty())
        return false;
    return name == QFileInfo(page.source).fileName() || name == QFileInfo(page.name).fileName();
}

QString defaultCatalogFolder()
{
    return QStringLiteral("/usr/share/locale/ja/LC_MESSAGES");
}

Explainer::Explainer(const KindTable& table, const QList<QHash<QString, QString>>& catalogs)
{
    for (const char* word : {"error: ", "fatal error: ", "warning: ", "note: "}) {
        severities_.append(QString::fromLatin1(word));
        for (const QHash<QString, QString>& c : catalogs) {
            const QString t = c.value(severities_.last());
            if (!t.isEmpty() && !severities_.contains(t))
                severities_.append(t);
        }
    }
    for (const FullWidthChar& c : table.chars)
        chars_.insert(c.code, c);
    signals_ = table.signalTexts;
    followOn_ = table.followOnTexts;
    for (const ExplainedKind& k : table.kinds) {
        Kind kind{k.name, {}, k.texts};
        kind.source = lineLimit(k.source);
        kind.previous = lineLimit(k.previous);
        kind.sure = k.sure;
        kind.leads = k.leads;
        kind.unless = k.unless;
        if (k.report) {
            for (const QString& format : k.formats) {
                if (std::optional<MessagePattern> p = compileFormat(format))
                    kind.patterns.append(std::move(*p));
            }
            reportKinds_.append(std::move(kind));
            continue;
        }
        for (const QString& format : k.formats) {
            if (std::optional<MessagePattern> p = compileFormat(format))
                kind.patterns.append(std::move(*p));
            const QString key = catalogKey(format);
            QSet<QString> seen{key};
            for (const QHash<QString, QString>& c : catalogs) {
                const QString translation = c.value(key);
                if (translation.isEmpty() || seen.contains(translation))
                    continue;
                seen.insert(translation);
                if (std::optional<MessagePattern> p = compileFormat(format, &translation))
                    kind.patterns.append(std::move(*p));
            }
        }
        kinds_.append(std::move(kind));
    }
}

Explainer Explainer::installed(const QString& catalogFolder)
{
    const std::optional<KindTable> table = parseKindTable(builtInKindTableText());
    const QStringList names = QDir(catalogFolder).entryList(
        {QStringLiteral("gcc-*.mo"), QStringLiteral("cpplib-*.mo")}, QDir::Files, QDir::Name);
    return Explainer(table.value_or(KindTable{}), loadMoCatalogs(catalogFolder, names));
}

int Explainer::patternCount() const
{
    int n = 0;
    for (const Kind& k : kinds_)
        n += int(k.patterns.size());
    return n;
}

}  // namespace nollex

namespace nollex {

QList<Explanation> Explainer::explain(const QString& output, const BuiltPage& page) const
{
    return Reading(kinds_, chars_, severities_, followOn_, page).run(output);
}

}  // namespace nollex
