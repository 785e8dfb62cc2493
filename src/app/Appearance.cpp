#include "Appearance.h"

#include "editor/SyntaxPalette.h"
#include "editor/TMemos.h"
#include "platform/Colors.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>

#include <algorithm>

namespace nollex {

FontChoice initialFontDialogFont()
{
    QFont f(QStringLiteral("ＭＳ 明朝"));
    f.setPixelSize(16);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return {f, QColor(Qt::white)};
}

FontChoice pageFont(TMemos& memos)
{
    return {memos.Font(), memos.FontColor()};
}

void setPageFont(TMemos& memos, const FontChoice& choice)
{
    memos.setFont(choice.font);
    if (choice.color.isValid())
        memos.setFontColor(choice.color);
}

std::optional<QColor> readableAgainst(const QColor& chosen, const QColor& other)
{
    if (contrastRatio(chosen, other) >= MinimumPageTextContrast)
        return std::nullopt;
    const QColor black(Qt::black), white(Qt::white);
    return contrastRatio(chosen, black) >= contrastRatio(chosen, white) ? black : white;
}

QString readableColourQuestion(bool fontChanges, const QColor& to)
{
    const QString colour = to == QColor(Qt::black) ? QStringLiteral("黒") : QStringLiteral("白");
    return QStringLiteral("文字の色と背景の色が近いため、ページの文字が読みにくくなります。\n") +
           (fontChanges ? QStringLiteral("文字の色を") : QStringLiteral("背景の色を")) + colour +
           QStringLiteral("にしますか？");
}

void stepFontSize(TMemos& memos, int delta)
{
    for (int i = 0; i <= memos.LastIndex(); ++i) {
        TCustomizedMemo* editor = memos.editor(i);
        QFont f = editor->font();
        qreal points = f.pointSizeF();
        if (points <= 0)  // a font given in pixels
            points = f.pixelSize() * 72.0 / editor->logicalDpiY();
        f.setPointSizeF(std::max(MinimumFontPoints, points + delta));
        editor->setFont(f);
    }
}

ThemeLook themeLook(bool active, const QColor& buttonFace)
{
    ThemeLook look;
    look.controlFace = buttonFace;
    if (active) {
        look.window = colorFromBgr(0x0000B0);
        look.caretLabelBack = colorFromBgr(0x0000B0);
        look.caretLabelText = colorFromBgr(0x00FFFF);
        look.titleBack = colorFromBgr(0x000000);
        look.titleText = colorFromBgr(0xFFFF00);
        look.messageBack = colorFromBgr(0x0000B0);
        look.messageText = colorFromBgr(0xFFFFFF);
        look.messageBorder = false;
        look.panelVisible = false;
        look.caption = QStringLiteral("Normalize");
    } else {
        look.window = buttonFace;
        look.caretLabelBack = buttonFace;
        look.caretLabelText = colorFromBgr(0x000000);
        look.titleBack = buttonFace;
        look.titleText = colorFromBgr(0x000080);
        look.messageBack = colorFromBgr(0x808000);
        look.messageText = colorFromBgr(0xFFFFFF);
        look.messageBorder = true;
        look.panelVisible = true;
        look.caption = QStringLiteral("enNollex");
    }
    return look;
}

void setWidgetColors(QWidget* w, const QColor& back, const QColor& text)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::Base, back);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void applyTheme(const ThemeTargets& t, const ThemeLook& look)
{
    // The window's colour would pass on to every control on it; the ones the
    // theme does not name (tab control, status bar, buttons) keep their face.
    const QList<QWidget*> themed = {t.label1, t.label2, t.label3, t.memo2, t.panel1};
    for (QWidget* child : t.window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (themed.contains(child))
            continue;
        QPalette cp = child->palette();
        cp.setColor(QPalette::Window, look.controlFace);
        child->setPalette(cp);
        // A status bar paints no background of its own.
        if (qobject_cast<QStatusBar*>(child))
            child->setAutoFillBackground(true);
    }
    QPalette p = t.window->palette();
    p.setColor(QPalette::Window, look.window);
    t.window->setPalette(p);
    t.window->setAutoFillBackground(true);
    setWidgetColors(t.label1, look.caretLabelBack, look.caretLabelText);
    setWidgetColors(t.label2, look.caretLabelBack, look.caretLabelText);
    setWidgetColors(t.label3, look.titleBack, look.titleText);
    setWidgetColors(t.memo2, look.messageBack, look.messageText);
    t.memo2->setFrameStyle(look.messageBorder ? QFrame::StyledPanel | QFrame::Sunken
                                              : QFrame::NoFrame);
    t.panel1->setVisible(look.panelVisible);
    t.item->setText(look.caption);
}

QString versionText()
{
    return QStringLiteral("Supporter for Borland C++ Compiler NOLLEX\n"
                          "Version 2.01\n"
                          "\tThe Nollex developers\n"
                          "\tA C/C++ workbench for people learning to program");
}

}  // namespace nollex
