#include "TCustomizedMemo.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTextDocument>

namespace nollex {

QString editorText(const QPlainTextEdit& editor)
{
    QString text = editor.document()->toRawText();
    text.replace(QChar(QChar::ParagraphSeparator), u'\n');
    return text;
}

TCustomizedMemo::TCustomizedMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    setColor(Qt::black);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(false);  // Tab and Return are typed into the text
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setFontColor(Qt::white);
    QFont f(QStringLiteral("ＭＳ 明朝"));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPointSize(12);
    setFont(f);
}

bool TCustomizedMemo::Modified() const
{
    return document()->isModified();
}

void TCustomizedMemo::setModified(bool modified)
{
    document()->setModified(modified);
}

QColor TCustomizedMemo::Color() const
{
    return palette().color(QPalette::Base);
}

void TCustomizedMemo::setColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

QColor TCustomizedMemo::fontColor() const
{
    return palette().color(QPalette::Text);
}

void TCustomizedMemo::setFontColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

qreal averageCharWidth(const QFont& font)
{
    // Measured over the Latin letters, as dialog units are: a CJK font's own
    // average counts its full-width glyphs and would double every stop.
    static const QString letters =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return QFontMetricsF(font).horizontalAdvance(letters) / letters.size();
}

void TCustomizedMemo::applyTabWidth(int n)
{
    setTabStopDistance(averageCharWidth(font()) * std::max(n, 0));
    viewport()->update();
    TabWidth = n;
}

void TCustomizedMemo::changeEvent(QEvent* e)
{
    QPlainTextEdit::changeEvent(e);
    // The stops are measured in characters, so they follow the font.
    if (e->type() == QEvent::FontChange)
        setTabStopDistance(averageCharWidth(font()) * std::max(TabWidth, 0));
}

bool TCustomizedMemo::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        // The window's menu shortcuts (Ctrl+A, Ctrl+Del, ...) win over the editor's
        // own key bindings, as they do in the rest of the window.
        auto* key = static_cast<QKeyEvent*>(e);
        const QKeySequence pressed(key->keyCombination());
        if (QWidget* w = window()) {
            for (QAction* a : w->actions()) {
                if (a->shortcuts().contains(pressed)) {
                    e->ignore();
                    return true;
                }
            }
        }
    }
    return QPlainTextEdit::event(e);
}

void TCustomizedMemo::contextMenuEvent(QContextMenuEvent* e)
{
    if (PopupMenu)
        PopupMenu->exec(e->globalPos());
    else
        QPlainTextEdit::contextMenuEvent(e);
}

void TCustomizedMemo::focusInEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusInEvent(e);
    const Qt::FocusReason reason = e->reason();
    if (depth_ == 0 && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        emit entered();
}

void TCustomizedMemo::keyPressEvent(QKeyEvent* e)
{
    emit keyDown();
    QPlainTextEdit::keyPressEvent(e);
}

void TCustomizedMemo::keyReleaseEvent(QKeyEvent* e)
{
    QPlainTextEdit::keyReleaseEvent(e);
    emit keyUp();
}

void TCustomizedMemo::mousePressEvent(QMouseEvent* e)
{
    QPlainTextEdit::mousePressEvent(e);
    emit mouseDown();
}

}  // namespace nollex
