#include "SourceScan.h"

#include "compile/MessagePlace.h"

#include <QList>
#include <QRegularExpression>

namespace nollex {

namespace {

struct OpenBrace {
    int line;
    int indent;
};

class BraceScanner {
public:
    explicit BraceScanner(QStringView text) : t_(text) {}

    int run()
    {
        while (i_ < t_.size())
            step();
        if (open_.isEmpty())
            return 0;
        return clue_ > 0 ? clue_ : open_.last().line;
    }

private:
    void newLine()
    {
        ++line_;
        indent_ = 0;
        atLineStart_ = true;
    }

    // Past the end of a string or character constant that began before `i_`.
    void skipQuoted(QChar quote)
    {
        while (i_ < t_.size() && t_[i_] != quote && t_[i_] != u'\n')
            i_ += t_[i_] == u'\\' ? 2 : 1;
        if (i_ < t_.size() && t_[i_] == quote)
            ++i_;
    }

    void skipBlockComment()
    {
        while (i_ < t_.size() && !(t_[i_] == u'*' && i_ + 1 < t_.size() && t_[i_ + 1] == u'/')) {
            if (t_[i_] == u'\n')
                newLine();
            ++i_;
        }
        i_ += 2;
    }

    void skipToLineEnd()
    {
        while (i_ < t_.size() && t_[i_] != u'\n')
            ++i_;
    }

    void closeBrace(bool firstOnLine)
    {
        if (open_.isEmpty())
            return;
        const OpenBrace b = open_.takeLast();
        if (clue_ == 0 && firstOnLine && indent_ < b.indent)
            clue_ = b.line;
    }

    void step()
    {
        const QChar c = t_[i_++];
        const bool first = atLineStart_;
        if (c == u'\n') {
            newLine();
            return;
        }
        if (c == u' ' || c == u'\t') {
            indent_ += atLineStart_ ? (c == u'\t' ? 4 : 1) : 0;
            return;
        }
        atLineStart_ = false;
        if (c == u'"' || c == u'\'')
            skipQuoted(c);
        else if ((c == u'/' && i_ < t_.size() && t_[i_] == u'/') || (c == u'#' && first))
            skipToLineEnd();  // a line comment, or a preprocessor line
        else if (c == u'/' && i_ < t_.size() && t_[i_] == u'*')
            ++i_, skipBlockComment();
        else if (c == u'{')
            open_.append(OpenBrace{line_, indent_});
        else if (c == u'}')
            closeBrace(first);
    }

    QStringView t_;
    qsizetype i_ = 0;
    int line_ = 1;
    int indent_ = 0;
    bool atLineStart_ = true;
    int clue_ = 0;
    QList<OpenBrace> open_;
};

}  // namespace

int likelyUnclosedBraceLine(QStringView text)
{
    return BraceScanner(text).run();
}

int caretColumnAt(QStringView line, qsizetype index)
{
    int column = 1;
    for (qsizetype i = 0; i < index && i < line.size(); ++i) {
        char32_t c = line[i].unicode();
        if (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(line[i], line[i + 1]), ++i;
        column += isWideCharacter(c) ? 2 : 1;
    }
    return column;
}

QString unescapeExcerpt(QStringView excerpt)
{
    QString out;
    out.reserve(excerpt.size());
    qsizetype i = 0;
    while (i < excerpt.size()) {
        const qsizetype open = excerpt.indexOf(QStringLiteral("<U+"), i);
        const qsizetype close = open < 0 ? -1 : excerpt.indexOf(u'>', open);
        if (open < 0 || close < 0 || close - open < 7 || close - open > 9) {
            out += excerpt.sliced(i, (open < 0 ? excerpt.size() : open + 1) - i);
            i = open < 0 ? excerpt.size() : open + 1;
            continue;
        }
        bool ok = false;
        const uint code = excerpt.sliced(open + 3, close - open - 3).toUInt(&ok, 16);
        out += excerpt.sliced(i, open - i);
        if (ok && code >= 0x20 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
            out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        else
            out += excerpt.sliced(open, close + 1 - open);
        i = close + 1;
    }
    return out;
}

namespace {

// Where the '(' that is still open at `index` stands, skipping quoted text; -1 for none.
qsizetype openParenBefore(QStringView line, qsizetype index)
{
    QList<qsizetype> open;
    for (qsizetype i = 0; i < index && i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"' || c == u'\'') {
            for (++i; i < line.size() && line[i] != c; ++i)
                i += line[i] == u'\\' ? 1 : 0;
            if (i >= index)
                break;  // the index is inside this constant: its call is still open
        } else if (c == u'(') {
            open.append(i);
        } else if (c == u')' && !open.isEmpty()) {
            open.removeLast();
        }
    }
    return open.isEmpty() ? -1 : open.last();
}

}  // namespace

QStringList callArguments(QStringView line, qsizetype index)
{
    const qsizetype paren = openParenBefore(line, index);
    if (paren <= 0 || !(line[paren - 1].isLetterOrNumber() || line[paren - 1] == u'_'))
        return {};
    QStringList args;
    QString arg;
    int depth = 0;
    for (qsizetype i = paren + 1; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype start = i;
            for (++i; i < line.size() && line[i] != c; ++i)
                i += line[i] == u'\\' ? 1 : 0;
            arg += line.sliced(start, qMin(i + 1, line.size()) - start);
            continue;
        }
        if (depth == 0 && (c == u',' || c == u')')) {
            args.append(arg.trimmed());
            arg.clear();
            if (c == u')')
                return args;
            continue;
        }
        depth += (c == u'(' || c == u'[' || c == u'{') ? 1 : (c == u')' || c == u']' || c == u'}') ? -1 : 0;
        arg += c;
    }
    return {};  // the call goes on past the line
}

int definitionLine(QStringView text, const QString& name)
{
    const QRegularExpression head(QStringLiteral("^[A-Za-z_][A-Za-z0-9_ \\t\\*]*[ \\t\\*]%1\\s*\\([^;]*$")
                                      .arg(QRegularExpression::escape(name)));
    const QList<QStringView> lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QStringView line = lines[n];
        if (!head.match(line).hasMatch())
            continue;
        // Its body starts on this line or one of the next few.
        for (qsizetype k = n; k < lines.size() && k < n + 3; ++k) {
            if (lines[k].contains(u'{'))
                return int(n + 1);
            if (lines[k].contains(u';'))
                break;
        }
    }
    return 0;
}

}  // namespace nollex
