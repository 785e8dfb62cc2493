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

}  // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

SyntaxPalette syntaxPalette(const QColor& background)
{
    const bool dark = contrastRatio(Qt::white, background) >= contrastRatio(Qt::black, background);
    SyntaxPalette p;
    if (dark) {
        p.keyword = QColor(0x56, 0x9C, 0xD6);
        p.type = QColor(0x4E, 0xC9, 0xB0);
        p.comment = QColor(0x6A, 0x99, 0x55);
        p.string = QColor(0xCE, 0x91, 0x78);
        p.number = QColor(0xB5, 0xCE, 0xA8);
        p.preprocessor = QColor(0xC5, 0x86, 0xC0);
        p.op = QColor(0xD4, 0xD4, 0xD4);
        p.lineNumber = QColor(0x85, 0x85, 0x85);
        p.braceMatchBack = mix(background, Qt::white, 0.25);
        p.braceBadText = QColor(0xF4, 0x47, 0x47);
        p.lineNumberBack = mix(background, Qt::white, 0.06);
        p.errorMark = QColor(0xF4, 0x47, 0x47);
        p.warningMark = QColor(0xFF, 0xB3, 0x00);
    } else {
        p.keyword = QColor(0x00, 0x00, 0xC0);
        p.type = QColor(0x26, 0x7F, 0x99);
        p.comment = QColor(0x00, 0x80, 0x00);
        p.string = QColor(0xA3, 0x15, 0x15);
        p.number = QColor(0x09, 0x86, 0x58);
        p.preprocessor = QColor(0xAF, 0x00, 0xDB);
        p.op = QColor(0x30, 0x30, 0x30);
        p.lineNumber = QColor(0x6E, 0x76, 0x81);
        p.braceMatchBack = mix(background, Qt::black, 0.2);
        p.braceBadText = QColor(0xCD, 0x31, 0x31);
        p.lineNumberBack = mix(background, Qt::black, 0.05);
        p.errorMark = QColor(0xE0, 0x1B, 0x1B);
        p.warningMark = QColor(0xF0, 0xA0, 0x00);
    }
    p.lineNumberBack = QColor(p.lineNumberBack.rgb());
    for (QColor* c : {&p.keyword, &p.type, &p.comment, &p.string, &p.number, &p.preprocessor, &p.op,
                      &p.braceBadText})
        *c = readable(*c, background);
    p.lineNumber = readable(p.lineNumber, p.lineNumberBack);
    // Marks sit on the page (underlines) and on the margin.
    for (QColor* c : {&p.errorMark, &p.warningMark})
        *c = readable(*c, background, MinimumMarkContrast, p.lineNumberBack);
    p.braceMatchBack = QColor(p.braceMatchBack.rgb());
    p.braceMatchText = readable(p.op, p.braceMatchBack);
    return p;
}

}  // namespace nollex
