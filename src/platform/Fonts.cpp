#include "Fonts.h"

#include <QFont>
#include <QStringList>

namespace nollex {

void installFontSubstitutes()
{
    const QStringList mono = {QStringLiteral("Noto Sans Mono CJK JP"),
                              QStringLiteral("Noto Sans CJK JP"), QStringLiteral("DejaVu Sans Mono"),
                              QStringLiteral("monospace")};
    const QStringList serif = {QStringLiteral("Noto Serif CJK JP"),
                               QStringLiteral("Noto Sans Mono CJK JP"),
                               QStringLiteral("DejaVu Serif")};
    // The pages' font is a fixed-pitch one, so it maps to a monospaced face: code
    // must line up, and tab stops are measured in its character width.
    const QStringList fixedSerif = {QStringLiteral("Noto Sans Mono CJK JP"),
                                    QStringLiteral("DejaVu Sans Mono"),
                                    QStringLiteral("Noto Serif CJK JP")};
    const QStringList sans = {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("ＭＳ 明朝"), fixedSerif);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), mono);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), sans);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"), serif);
}

}  // namespace nollex
