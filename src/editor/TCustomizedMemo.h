#pragma once

#include <Qsci/qsciscintilla.h>

#include <QFont>
#include <QKeySequence>
#include <QList>

#include <memory>

class QMenu;
class QTimer;
class QsciLexerCPP;

namespace nollex {

struct SyntaxPalette;
class LineWidthBound;

// The width tab stops are counted in: the average width of the Latin letters.
qreal averageCharWidth(const QFont& font);

// Whether a file of this name is C or C++ and so coloured; untitled pages are.
bool isCSourceName(const QString& path);

// One page's editor: a code editor with the three fields every page carries.
// Positions in its interface are characters (UTF-16 units, as in QString); the
// component counts UTF-8 bytes, and toByte/toChar are the one place converting.
class TCustomizedMemo : public QsciScintilla {
    Q_OBJECT
public:
    explicit TCustomizedMemo(QWidget* parent = nullptr);
    ~TCustomizedMemo() override;

    int TabWidth = 0;          // tab width last applied to this editor
    bool ChangeMarked = false; // " *" has been appended to the tab caption
    bool Loading = false;      // a file's text is being put in: the one change that does not mark
    QString OwningProject;     // project file this page was opened from, or empty
    QMenu* PopupMenu = nullptr; // the main window's pop-up menu

    bool Modified() const;
    void setModified(bool modified);

    // The text exactly as held, lines joined by LF.
    QString toPlainText() const;
    // Replaces the text as a load does: nothing to undo, not modified, no mark.
    void setPlainText(const QString& text);
    void setUtf8Text(const QByteArray& utf8);  // the same, given the text in UTF-8
    // Inserts at the caret as typing does (undoable, modifies).
    void insertPlainText(const QString& text);

    int toByte(int charPos) const;
    int toChar(int bytePos) const;
    int characterCount() const;
    QString textRange(int from, int to) const;  // characters from..to
    int caretPosition() const;
    int selectionStart() const;
    bool hasSelection() const { return hasSelectedText(); }
    // Places the caret without scrolling to it (the page may still be wrapping).
    void setCaret(int pos);
    void setSelection(int anchor, int pos);
    int firstVisibleDisplayLine() const;
    // The display line holding pos, wrapped lines of every paragraph above counted.
    int displayLineOf(int pos);

    // The page's background colour.
    QColor Color() const { return color_; }
    void setPageColor(const QColor& color);
    QColor fontColor() const { return fontColor_; }
    void setFontColor(const QColor& color);
    // Hides QWidget::setFont: every style of the component takes the page font.
    void setFont(const QFont& font);

    // Tab stops every n average character widths of the editor's font.
    void applyTabWidth(int n);
    qreal tabStopDistance() const;

    // Colouring of C and C++ (for C file names only) and the line-number margin.
    void setLanguageFromName(const QString& path);
    void setColouring(bool on);
    void setLineNumbers(bool on);
    bool colouringActive() const { return lexerActive_; }
    bool lineNumbersShown() const { return lineNumbers_; }

    // The last build's marks: a mark in the margin on the message's line and a
    // wavy underline from its column to the end of the word there; red for
    // errors, amber for warnings; a line with both has the error's mark. They
    // move with the text as it is edited.
    enum class MarkKind { Error, Warning };
    // line counts from 1; index is the character in that line, -1 for none.
    void addMark(MarkKind kind, int line, int index);
    // Clears the marks and the explanations.
    void clearMarks();
    // An explanation shown under the line (from 1), in the kind's colour, one
    // sentence a line, broken to the page's width; a second one on the line goes
    // below the first. It goes when the line is edited, as the marks go with the
    // next build.
    void addExplanation(MarkKind kind, int line, const QString& text);
    QString explanation(int line) const;
    // The component's display lines of the explanations under the lines above
    // line (from 1): the page's own display lines leave them out.
    int explanationRowsAbove(int line) const;
    QList<int> markedLines(MarkKind kind) const;  // whose margin shows the kind's mark; from 1, top down
    // Character ranges [from, to) of the underlines of one kind, top down.
    QList<std::pair<int, int>> underlines(MarkKind kind) const;

    // The debugger's marks, moving with the text like the build's. Breakpoints (a
    // click in the margin sets or clears one too); line counts from 1.
    void toggleBreakpoint(int line);
    QList<int> breakpointLines() const;  // top down
    // The line the debugged program stopped at: an arrow and a highlight; 0 for none.
    // Stale: the program runs on from there (grey marks).
    void setStoppedLine(int line, bool stale = false);
    int stoppedLine() const;
    bool stoppedLineStale() const;

    // Full-width characters an input method typed in code (outside strings,
    // comments and code #if leaves out), marked as the lexer colours them: a
    // box round a full-width space, an underline under the others, the note on
    // what to type instead shown on hovering. Only on coloured C and C++ pages.
    // Character ranges [from, to) of both kinds, top down.
    QList<std::pair<int, int>> fullWidthMarks() const;
    // The note of the mark at character pos, or empty.
    QString fullWidthNote(int pos) const;

    // Removes every binding of the component on these keys: the window's
    // commands own them.
    void releaseKeys(const QList<QKeySequence>& keys);

    // While one lives, focus that lands in an editor is no entry into a page:
    // the page set moving the focus off a page it hides.
    class QuietFocus {
    public:
        QuietFocus() { ++depth_; }
        ~QuietFocus() { --depth_; }
        QuietFocus(const QuietFocus&) = delete;
        QuietFocus& operator=(const QuietFocus&) = delete;
    };

    // The one-step Undo's memory: whether the last thing it did was an undo.
    bool undoToggled = false;

signals:
    // Focus moved into the page from inside the window (not the window coming
    // back to the front, not a menu closing).
    void entered();
    void keyDown();    // before a key takes effect
    void breakpointToggled(int line, bool on);
    void keyUp();      // after it
    void mouseDown();
    void fontStepRequested(int delta);  // Ctrl+wheel: +1 bigger, -1 smaller
    // The number of display lines changed (a large page wraps in the
    // background): the caret's display line may have changed.
    void wrapProgressed();

protected:
    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // The component's own text and background colours, which it sets itself
    // when its lexer is taken away: the page keeps the user's colours, which
    // applyLook puts on after every lexer change. Private, so that no caller
    // takes them for the page's colour.
    void setColor(const QColor&) override {}
    void setPaper(const QColor&) override {}

    void configureText();    // encoding, wrapping, scroll bars, indenting
    void configureMargins(); // line numbers and the build's marks
    void unbindZoomAndLineSwap();
    // The page's look: its colours and font, and the syntax colours over them.
    void applyLook();
    void chooseLexer();
    void applyPageStyle();
    void applySyntaxColours(const SyntaxPalette& p);
    void applyMarginColours(const SyntaxPalette& p);  // numbers, braces, marks
    void applyExplanationColours(const SyntaxPalette& p);
    void forgetEditedExplanation(int position);
    QString wrapExplanation(const QString& text, int style, int lineIndex) const;
    void updateMarginWidth();
    QList<std::pair<int, int>> rangesOf(int indicator) const;
    void noteEdit(int position, int type, int length);
    void checkEdited();
    void checkStyled();
    void followColouring(bool on);
    void markFullWidth(long from, long to);
    void showFullWidthNote(int position, int x, int y);
    // The component wraps the page only while a line of it may not fit.
    double fitWidth() const;
    LineWidthBound& lineWidths();
    bool mayNotFit(long from, long to);
    void setWrapping(bool on);
    void checkWrapping();
    void checkWrappingStep();
    void followTextWidth();

    static inline int depth_ = 0;  // QuietFocus guards alive
    QColor color_ = Qt::black;
    QColor fontColor_ = Qt::white;
    QsciLexerCPP* lexer_ = nullptr;
    bool cSource_ = true;
    bool colouring_ = true;
    bool lexerActive_ = false;
    bool lineNumbers_ = true;
    int marginDigits_ = 0;
    int marker_[2] = {-1, -1};      // the component's numbers for the two kinds
    int breakpointMarker_ = -1, stopArrow_ = -1, stopLine_ = -1, staleArrow_ = -1, staleLine_ = -1;
    int explainedMarker_ = -1;  // an unseen mark on each explained line, to find them quickly
    bool hasDebugMarks_ = false;
    void updateDebugMarks();
    int indicator_[2] = {-1, -1};
    int fullWidthBox_ = -1;        // the full-width space
    int fullWidthUnderline_ = -1;  // the other full-width characters
    // Marks before this byte agree with the lexer's styles; edits since the
    // last check reach up to editedTo_ (-1: none).
    long checkedTo_ = 0;
    long editedTo_ = -1;
    QTimer* checkTimer_ = nullptr;
    int idleChecks_ = 0;  // checks in a row that found the colouring no further
    bool hasMarks_ = false;
    bool hasExplanations_ = false;
    int explanationStyle_ = 0;  // the first of two styles of the component's own: error, warning
    int wheelSteps_ = 0;
    bool forcedModified_ = false;
    std::unique_ptr<LineWidthBound> widths_;  // for the page's font and tab width
    QTimer* wrapTimer_ = nullptr;
    int wrapCheckLine_ = -1;  // where the check for a line to wrap goes on; -1: none runs
    double checkedWidth_ = -1;
    bool colourWhole_ = false;  // the text put in is still to be coloured to its end
};

}  // namespace nollex
