#pragma once
// The main window's appearance commands, apart from the window: page colours and
// font, font size steps, the colour theme of the frame controls, the version box.

#include "platform/Dialogs.h"

#include <QColor>
#include <QString>
#include <optional>

class QAction;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace nollex {

class TMemos;

// The font dialog's font before the settings give it the pages' font.
FontChoice initialFontDialogFont();

// The pages' font and font colour (reading them makes every page equal to page 0).
FontChoice pageFont(TMemos& memos);
void setPageFont(TMemos& memos, const FontChoice& choice);

// Raises (delta > 0) or lowers every page's own font size by delta points. A
// size never goes below 1 point: text that small can still be stepped back up.
void stepFontSize(TMemos& memos, int delta);
inline constexpr double MinimumFontPoints = 1.0;

// Below this contrast (editor/SyntaxPalette.h) against the page, the pages' text
// is hard to read: a white page with the default white font hides every identifier.
inline constexpr double MinimumPageTextContrast = 3.0;

// When other is unreadable against chosen (contrast below MinimumPageTextContrast):
// black or white, whichever reads better against chosen. Nothing otherwise.
std::optional<QColor> readableAgainst(const QColor& chosen, const QColor& other);

// The question before the other colour changes to `to` (black or white);
// fontChanges: the font colour would change, else the page colour.
QString readableColourQuestion(bool fontChanges, const QColor& to);

// How the frame controls look with the theme switched on or off. Off is the
// window's initial look; buttonFace is the style's button colour.
struct ThemeLook {
    QColor window;
    QColor caretLabelBack, caretLabelText;  // Label1, Label2
    QColor titleBack, titleText;            // Label3
    QColor messageBack, messageText;        // Memo2
    bool messageBorder = true;              // Memo2's sunken border
    bool panelVisible = true;               // Panel1
    QString caption;                        // the theme menu item
    QColor controlFace;  // the window's other controls (tab control, status bar) keep it
};
ThemeLook themeLook(bool active, const QColor& buttonFace);

struct ThemeTargets {
    QWidget* window;
    QLabel* label1;
    QLabel* label2;
    QLabel* label3;
    QPlainTextEdit* memo2;
    QWidget* panel1;
    QAction* item;
};
void applyTheme(const ThemeTargets& targets, const ThemeLook& look);

// Background and text colour of a frame control, filled behind its text.
void setWidgetColors(QWidget* w, const QColor& back, const QColor& text);

// The version box's text: two fixed lines, then credit lines, each starting
// with a tab.
QString versionText();

}  // namespace nollex
