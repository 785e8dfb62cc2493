#pragma once

#include <QPlainTextEdit>

class QMenu;

namespace nollex {

// The editor's text exactly as held (toPlainText would turn no-break spaces
// into blanks), lines joined by LF.
QString editorText(const QPlainTextEdit& editor);

// The width tab stops are counted in: the average width of the Latin letters.
qreal averageCharWidth(const QFont& font);

// One page's editor: a plain-text editor with the three fields every page carries.
class TCustomizedMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TCustomizedMemo(QWidget* parent = nullptr);

    int TabWidth = 0;          // tab width last applied to this editor
    bool ChangeMarked = false; // " *" has been appended to the tab caption
    bool Loading = false;      // a file's text is being put in: the one change that does not mark
    QString OwningProject;     // project file this page was opened from, or empty
    QMenu* PopupMenu = nullptr; // the main window's pop-up menu

    bool Modified() const;
    void setModified(bool modified);

    QColor Color() const;
    void setColor(const QColor& color);
    QColor fontColor() const;
    void setFontColor(const QColor& color);

    // Tab stops every n average character widths of the editor's font.
    void applyTabWidth(int n);

    // While one lives, focus that lands in an editor is no entry into a page:
    // the page set moving the focus off a page it hides.
    class QuietFocus {
    public:
        QuietFocus() { ++depth_; }
        ~QuietFocus() { --depth_; }
        QuietFocus(const QuietFocus&) = delete;
        QuietFocus& operator=(const QuietFocus&) = delete;
    };

signals:
    // Focus moved into the page from inside the window (not the window coming
    // back to the front, not a menu closing).
    void entered();
    void keyDown();    // before a key takes effect
    void keyUp();      // after it
    void mouseDown();

protected:
    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    static inline int depth_ = 0;  // QuietFocus guards alive
};

}  // namespace nollex
