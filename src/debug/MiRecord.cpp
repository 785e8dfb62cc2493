#include "debug/MiRecord.h"

#include <QByteArray>
#include <QStringDecoder>

namespace nollex {

const MiValue* MiValue::field(QStringView name) const
{
    for (const auto& [key, value] : fields) {
        if (key == name)
            return &value;
    }
    return nullptr;
}

QString MiValue::string(QStringView name) const
{
    const MiValue* v = field(name);
    return v && v->kind == Kind::String ? v->text : QString();
}

namespace {

// Deeper nesting than any value gdb prints; the bound keeps a hostile line from
// exhausting the stack.
constexpr int MaxDepth = 200;

bool isNameChar(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'-';
}

// A recursive-descent reader over one line; any fault leaves it failed.
class Reader {
public:
    explicit Reader(QStringView line) : s_(line) {}

    bool atEnd() const { return i_ == s_.size(); }
    bool take(QChar c)
    {
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    QChar peek() const { return i_ < s_.size() ? s_[i_] : QChar(); }

    bool name(QString& out)
    {
        const qsizetype start = i_;
        while (i_ < s_.size() && isNameChar(s_[i_]))
            ++i_;
        out = s_.sliced(start, i_ - start).toString();
        return i_ > start;
    }

    bool token(qint64& out)
    {
        const qsizetype start = i_;
        while (i_ < s_.size() && s_[i_].isDigit() && s_[i_].unicode() < 0x80)
            ++i_;
        if (i_ == start)
            return true;
        bool ok = false;
        out = s_.sliced(start, i_ - start).toLongLong(&ok);
        return ok;
    }

    bool cString(QString& out);
    bool value(MiValue& out);
    // Results up to `close` (or the line's end when close is null), after a first
    // separator already taken by the caller where there is one.
    bool results(QList<std::pair<QString, MiValue>>& out, QChar close);

private:
    bool escape(QByteArray& bytes);
    bool tuple(MiValue& out);
    bool list(MiValue& out);

    QStringView s_;
    qsizetype i_ = 0;
    int depth_ = 0;
};

bool Reader::escape(QByteArray& bytes)
{
    if (i_ >= s_.size())
        return false;
    const QChar c = s_[i_++];
    if (c >= u'0' && c <= u'7') {
        int v = c.unicode() - '0';
        for (int n = 1; n < 3 && i_ < s_.size() && s_[i_] >= u'0' && s_[i_] <= u'7'; ++n)
            v = v * 8 + (s_[i_++].unicode() - '0');
        if (v > 0xFF)
            return false;
        bytes += char(v);
        return true;
    }
    switch (c.unicode()) {
    case 'n': bytes += '\n'; break;
    case 't': bytes += '\t'; break;
    case 'r': bytes += '\r'; break;
    case 'b': bytes += '\b'; break;
    case 'f': bytes += '\f'; break;
    case 'v': bytes += '\v'; break;
    case 'a': bytes += '\a'; break;
    case 'e': bytes += '\033'; break;
    default: bytes += QStringView(&c, 1).toUtf8(); break;  // \" \\ \' and the like: the character
    }
    return true;
}

// Octal escapes are bytes of UTF-8, so the text is gathered as bytes and decoded once.
bool Reader::cString(QString& out)
{
    if (!take(u'"'))
        return false;
    QByteArray bytes;
    qsizetype run = i_;
    while (i_ < s_.size()) {
        const QChar c = s_[i_];
        if (c != u'"' && c != u'\\') {
            ++i_;
            continue;
        }
        bytes += s_.sliced(run, i_ - run).toUtf8();
        ++i_;
        if (c == u'"') {
            // A byte order mark is text here: QString::fromUtf8 would drop a leading one.
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
            out = utf8(bytes);
            return true;
        }
        if (!escape(bytes))
            return false;
        run = i_;
    }
    return false;  // cut before the closing quote
}

bool Reader::value(MiValue& out)
{
    switch (peek().unicode()) {
    case '"':
        out.kind = MiValue::Kind::String;
        return cString(out.text);
    case '{':
        return tuple(out);
    case '[':
        return list(out);
    default:
        return false;
    }
}

bool Reader::results(QList<std::pair<QString, MiValue>>& out, QChar close)
{
    do {
        std::pair<QString, MiValue> r;
        if (!name(r.first) || !take(u'=') || !value(r.second))
            return false;
        out.append(std::move(r));
    } while (take(u','));
    return close.isNull() ? atEnd() : take(close);
}

bool Reader::tuple(MiValue& out)
{
    if (++depth_ > MaxDepth || !take(u'{'))
        return false;
    out.kind = MiValue::Kind::Tuple;
    const bool ok = take(u'}') || results(out.fields, u'}');
    --depth_;
    return ok;
}

// A list holds either values or results, never both.
bool Reader::list(MiValue& out)
{
    if (++depth_ > MaxDepth || !take(u'['))
        return false;
    out.kind = MiValue::Kind::List;
    bool ok = take(u']');
    if (!ok && isNameChar(peek())) {
        ok = results(out.fields, u']');
    } else if (!ok) {
        do {
            MiValue v;
            if (!value(v))
                break;
            out.items.append(std::move(v));
        } while (take(u','));
        ok = take(u']');
    }
    --depth_;
    return ok;
}

MiKind kindOf(QChar c)
{
    switch (c.unicode()) {
    case '^': return MiKind::Result;
    case '*': return MiKind::Exec;
    case '+': return MiKind::Status;
    case '=': return MiKind::Notify;
    case '~': return MiKind::Console;
    case '@': return MiKind::Target;
    case '&': return MiKind::Log;
    default: return MiKind::Unknown;
    }
}

bool isStream(MiKind k)
{
    return k == MiKind::Console || k == MiKind::Target || k == MiKind::Log;
}

bool readRecord(QStringView line, MiRecord& r)
{
    Reader in(line);
    if (!in.token(r.token) || in.atEnd())
        return false;
    const QChar lead = in.peek();
    r.kind = kindOf(lead);
    if (r.kind == MiKind::Unknown || (isStream(r.kind) && r.token >= 0))
        return false;
    in.take(lead);
    if (isStream(r.kind))
        return in.cString(r.stream) && in.atEnd();
    if (!in.name(r.cls))
        return false;
    return in.atEnd() || (in.take(u',') && in.results(r.results.fields, QChar()));
}

}  // namespace

MiRecord parseMiLine(QStringView line)
{
    if (line.endsWith(u'\r'))
        line.chop(1);
    MiRecord r;
    if (line.trimmed() == u"(gdb)") {
        r.kind = MiKind::Prompt;
        return r;
    }
    if (!readRecord(line, r)) {
        r = MiRecord();
        r.stream = line.toString();
    }
    return r;
}

}  // namespace nollex
