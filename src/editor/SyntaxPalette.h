#pragma once
// The colours of the coloured page, derived from its background alone so that
// every choice of page colour keeps every kind of text readable.

#include <QColor>

namespace nollex {

// WCAG 2 contrast ratio of two colours, from 1 (same) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);

// The least contrast every colour of SyntaxPalette keeps against the page.
inline constexpr double MinimumContrast = 4.5;
// The least contrast of the build's marks (shapes, not text) against the page and the margin.
inline constexpr double MinimumMarkContrast = 3.0;

struct SyntaxPalette {
    QColor keyword, type, comment, string, number, preprocessor, op;
    QColor lineNumber, lineNumberBack;  // the margin
    QColor braceMatchBack, braceMatchText, braceBadText;
    QColor errorMark, warningMark;  // the last build's marks: red, amber
    // The build's explanations under a line: text in the marks' hues, readable on
    // a band of the margin's colour that sets them apart from the code.
    QColor errorNote, warningNote, noteBack;
    // The line the debugged program stopped at: the page's background, yellowed.
    QColor stopLineBack;
};

// A palette for a dark or a light page, each colour moved toward black or white
// until it keeps MinimumContrast against the background (and the margin's
// numbers against the margin).
SyntaxPalette syntaxPalette(const QColor& background);

}  // namespace nollex
