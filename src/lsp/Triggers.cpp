#include "lsp/Triggers.h"

#include <QRegularExpression>

namespace nollex::lsp {

namespace {

bool isNameChar(QChar c)
{
    return c == u'_' || c.isLetterOrNumber();
}

}  // namespace

bool AsksCompletion(QStringView line)
{
    static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*[<"][^<>"]*$)"));
    if (include.match(line).hasMatch())
        return true;
    if (line.endsWith(u'.'))
        return line.size() < 2 || (!line[line.size() - 2].isDigit() && line[line.size() - 2] != u'.');  // not "1." or "..."
    if (line.endsWith(u"->") || line.endsWith(u"::"))
        return true;
    qsizetype start = line.size();
    while (start > 0 && isNameChar(line[start - 1]))
        --start;
    return line.size() - start >= 2 && !line[start].isDigit();
}

}  // namespace nollex::lsp
