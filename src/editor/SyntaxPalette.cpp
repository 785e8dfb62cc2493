#include "SyntaxPalette.h"

#include <algorithm>
#include <cmath>

namespace nollex {

namespace {

double channel(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c)
{
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// Moves c toward whichever of black and white stands out more from the
// background, in small steps, until it is readable there (and on the second
// ground, when given: the margin beside the page); the hue is kept as long as
// it can be.
QColor readable(const QColor& c, const QColor& background, double minimum = MinimumContrast,
                const QColor& second = QColor())
{
    const QColor far = contrastRatio(Qt::white, background) >= contrastRatio(Qt::black, background)
                           ? QColor(Qt::white)
                           : QColor(Qt::black);
    for (int step = 0; step <= 40; ++step) {
        const QColor candidate = mix(c, far, step / 40.0);
        // Stored colours are 8-bit; judge the colour as it will be drawn.
        const QColor drawn(candidate.rgb());
        if (contrastRatio(drawn, background) >= minimum + 0.01 &&
            (!second.isValid() || contrastRatio(drawn, second) >= minimum + 0.01))
            return drawn;
    }
    return far;
}

// The colours each palette starts from, before they are made readable on the
// page; the margin and the matched bracket are the page colour moved toward
// white (dark pages) or black (light pages).
struct Theme {
    QRgb keyword, type, comment, string, number, preprocessor, op, lineNumber, braceBad;
    QRgb errorMark, warningMark;
    Qt::GlobalColor toward;
    double braceMatchShift, marginShift;
};

constexpr Theme kDarkTheme{0x569CD6, 0x4EC9B0, 0x6A9955, 0xCE9178, 0xB5CEA8, 0xC586C0, 0xD4D4D4,
                           0x858585, 0xF44747, 0xF44747, 0xFFB300, Qt::white, 0.25, 0.06};
constexpr Theme kLightTheme{0x0000C0, 0x267F99, 0x008000, 0xA31515, 0x098658, 0xAF00DB, 0x303030,
                            0x6E7681, 0xCD3131, 0xE01B1B, 0xF0A000, Qt::black, 0.2, 0.05};

}  // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

SyntaxPalette syntaxPalette(const QColor& background)
{
    const bool dark = contrastRatio(Qt::white, background) >= contrastRatio(Qt::black, background);
    const Theme& t = dark ? kDarkTheme : kLightTheme;
    SyntaxPalette p;
    p.keyword = QColor(t.keyword);
    p.type = QColor(t.type);
    p.comment = QColor(t.comment);
    p.string = QColor(t.string);
    p.number = QColor(t.number);
    p.preprocessor = QColor(t.preprocessor);
    p.op = QColor(t.op);
    p.lineNumber = QColor(t.lineNumber);
    p.braceMatchBack = mix(background, t.toward, t.braceMatchShift);
    p.braceBadText = QColor(t.braceBad);
    p.lineNumberBack = mix(background, t.toward, t.marginShift);
    p.errorMark = QColor(t.errorMark);
    p.warningMark = QColor(t.warningMark);
    p.lineNumberBack = QColor(p.lineNumberBack.rgb());
    for (QColor* c : {&p.keyword, &p.type, &p.comment, &p.string, &p.number, &p.preprocessor, &p.op,
                      &p.braceBadText})
        *c = readable(*c, background);
    p.lineNumber = readable(p.lineNumber, p.lineNumberBack);
    // Marks sit on the page (underlines) and on the margin.
    for (QColor* c : {&p.errorMark, &p.warningMark})
        *c = readable(*c, background, MinimumMarkContrast, p.lineNumberBack);
    p.noteBack = p.lineNumberBack;
    p.errorNote = readable(QColor(t.errorMark), p.noteBack);
    p.warningNote = readable(QColor(t.warningMark), p.noteBack);
    p.stopLineBack = QColor(mix(background, Qt::yellow, dark ? 0.22 : 0.35).rgb());
    p.braceMatchBack = QColor(p.braceMatchBack.rgb());
    p.braceMatchText = readable(p.op, p.braceMatchBack);
    return p;
}

}  // namespace nollex
