#include "editor/SyntaxPalette.h"
#include "editor/TCustomizedMemo.h"

#include <gtest/gtest.h>

using namespace nollex;

// Every colour of the coloured page stays readable whatever the page colour:
// dark, light, and the mid greys and saturated colours where neither palette
// is readable as it stands.
TEST(SyntaxPalette, EveryColourKeepsItsContrast)
{
    const struct {
        const char* name;
        QColor background;
    } rows[] = {
        {"black (the page's default)", Qt::black}, {"white", Qt::white},
        {"mid grey", QColor(0x80, 0x80, 0x80)},   {"grey just below the turn", QColor(0x76, 0x76, 0x76)},
        {"pure blue", QColor(0, 0, 0xFF)},        {"yellow", QColor(0xFF, 0xFF, 0)},
        {"dark teal", QColor(0, 0x80, 0x80)},     {"magenta", QColor(0xFF, 0, 0xFF)},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const SyntaxPalette p = syntaxPalette(r.background);
        const struct {
            const char* what;
            QColor colour;
        } kinds[] = {{"keyword", p.keyword}, {"type", p.type},     {"comment", p.comment},
                     {"string", p.string},   {"number", p.number}, {"preprocessor", p.preprocessor},
                     {"operator", p.op},     {"unmatched bracket", p.braceBadText}};
        for (const auto& k : kinds)
            EXPECT_GE(contrastRatio(k.colour, r.background), MinimumContrast) << k.what;
        EXPECT_GE(contrastRatio(p.lineNumber, p.lineNumberBack), MinimumContrast) << "line numbers";
        EXPECT_GE(contrastRatio(p.braceMatchText, p.braceMatchBack), MinimumContrast) << "matched bracket";
        for (const QColor& note : {p.errorNote, p.warningNote})
            EXPECT_GE(contrastRatio(note, p.noteBack), MinimumContrast) << "explanation";
        for (const QColor& mark : {p.errorMark, p.warningMark}) {
            EXPECT_GE(contrastRatio(mark, r.background), MinimumMarkContrast) << "build mark";
            EXPECT_GE(contrastRatio(mark, p.lineNumberBack), MinimumMarkContrast) << "build mark";
        }
        // The kinds stay apart from one another on the default pages.
        if (r.background == Qt::black || r.background == Qt::white) {
            EXPECT_NE(p.keyword, p.comment);
            EXPECT_NE(p.string, p.number);
            EXPECT_NE(p.errorMark, p.warningMark);
            EXPECT_NE(p.errorNote, p.warningNote);
        }
    }
}

// The WCAG figures the palette is judged by.
TEST(SyntaxPalette, ContrastRatioOfKnownPairs)
{
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(Qt::white, Qt::white), 1.0, 1e-9);
    EXPECT_NEAR(contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
}

// Which pages are coloured: C and C++ files and untitled pages only.
TEST(SyntaxPalette, ColouredFileNames)
{
    const struct {
        const char* path;
        bool coloured;
    } rows[] = {{"", true},           {"/w/a.c", true},       {"/w/a.cpp", true},
                {"/w/a.cc", true},    {"/w/a.cxx", true},     {"/w/a.h", true},
                {"/w/a.hpp", true},   {"/w/A.CPP", true},     {"/w/a.txt", false},
                {"/w/a.prj", false},  {"/w/makefile", false}, {"/w/c.d/notes", false}};
    for (const auto& r : rows)
        EXPECT_EQ(isCSourceName(QString::fromUtf8(r.path)), r.coloured) << r.path;
}
