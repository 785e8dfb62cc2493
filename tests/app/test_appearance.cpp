#include "app/Appearance.h"
#include "app/TForm1.h"
#include "editor/SyntaxPalette.h"
#include "platform/Colors.h"
#include "platform/Errors.h"
#include "platform/Help.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace nollex;

namespace {

struct AppearanceFixture : ::testing::Test {
    test::TempDir folder;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;

    void SetUp() override
    {
        form = std::make_unique<TForm1>(TForm1Deps{dialogs, folder.path()});
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void TearDown() override
    {
        form.reset();
        EXPECT_TRUE(dialogs.allAnswersUsed());
    }
    TCustomizedMemo* page(int i) const { return form->Memos->editor(i); }
    void addPages(int n)
    {
        for (int i = 0; i < n; ++i)
            form->Memos->AddPage(QString());
    }
};

QColor bgr(int value)
{
    return colorFromBgr(value);
}

QColor back(QWidget* w)
{
    return w->palette().color(QPalette::Window);
}

QColor text(QWidget* w)
{
    return w->palette().color(QPalette::WindowText);
}

}  // namespace

// F11 switches the frame controls to the theme's colours; a second F11 gives
// the initial look back, with the caption "enNollex". The pages keep theirs.
TEST_F(AppearanceFixture, ThemeTwiceRestoresTheInitialLook)
{
    const QColor face = QApplication::palette().color(QPalette::Button);
    const int initialFrame = form->Memo2->frameStyle();
    form->Memos->setColor(Qt::darkBlue);
    form->Memos->setFontColor(Qt::yellow);
    form->Memos->ActiveMemo()->setFocus();

    QTest::keyClick(form->Memos->ActiveMemo(), Qt::Key_F11);
    EXPECT_TRUE(form->ThemeActive);
    EXPECT_EQ(form->enNOLLEX1->text(), QStringLiteral("Normalize"));
    EXPECT_EQ(back(form->Client), bgr(0x0000B0));
    for (QLabel* label : {form->Label1, form->Label2}) {
        EXPECT_EQ(back(label), bgr(0x0000B0));
        EXPECT_EQ(text(label), bgr(0x00FFFF));
    }
    EXPECT_EQ(back(form->Label3), bgr(0x000000));
    EXPECT_EQ(text(form->Label3), bgr(0xFFFF00));
    EXPECT_EQ(form->Memo2->palette().color(QPalette::Base), bgr(0x0000B0));
    EXPECT_EQ(form->Memo2->palette().color(QPalette::Text), bgr(0xFFFFFF));
    EXPECT_EQ(form->Memo2->frameShape(), QFrame::NoFrame);
    EXPECT_FALSE(form->Panel1->isVisible());

    form->enNOLLEX1Click();
    EXPECT_FALSE(form->ThemeActive);
    EXPECT_EQ(form->enNOLLEX1->text(), QStringLiteral("enNollex"));
    EXPECT_EQ(back(form->Client), face);
    for (QLabel* label : {form->Label1, form->Label2}) {
        EXPECT_EQ(back(label), face);
        EXPECT_EQ(text(label), bgr(0x000000));
    }
    EXPECT_EQ(back(form->Label3), face);
    EXPECT_EQ(text(form->Label3), bgr(0x000080));
    EXPECT_EQ(form->Memo2->palette().color(QPalette::Base), bgr(0x808000));
    EXPECT_EQ(form->Memo2->palette().color(QPalette::Text), bgr(0xFFFFFF));
    EXPECT_EQ(form->Memo2->frameStyle(), initialFrame);
    EXPECT_TRUE(form->Panel1->isVisible());

    EXPECT_EQ(form->Memos->Color(), QColor(Qt::darkBlue));
    EXPECT_EQ(form->Memos->FontColor(), QColor(Qt::yellow));
}

// Every page steps by one point, with no ceiling; pages whose fonts differed
// end up with the first page's font; the font dialog then holds that font.
TEST_F(AppearanceFixture, FontStepsOnAllPages)
{
    addPages(2);
    QFont f = page(0)->font();
    f.setPointSize(12);
    form->Memos->setFont(f);
    QFont big = f;
    big.setPointSize(30);
    big.setFamily(QStringLiteral("DejaVu Serif"));
    page(2)->setFont(big);

    form->Memos->ActiveMemo()->setFocus();
    QTest::keyClick(form->Memos->ActiveMemo(), Qt::Key_BracketRight, Qt::ControlModifier);
    for (int i = 0; i <= 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(page(i)->font().pointSizeF(), 13.0);
        EXPECT_EQ(page(i)->font().family(), f.family());
    }
    EXPECT_EQ(form->FontDialog1.font, page(0)->font());
    EXPECT_EQ(form->FontDialog1.color, form->Memos->FontColor());

    for (int k = 0; k < 100; ++k)
        form->Makefontbigger1Click();
    EXPECT_EQ(page(1)->font().pointSizeF(), 113.0);

    QTest::keyClick(form->Memos->ActiveMemo(), Qt::Key_BracketLeft, Qt::ControlModifier);
    EXPECT_EQ(page(2)->font().pointSizeF(), 112.0);
    EXPECT_EQ(form->FontDialog1.font.pointSizeF(), 112.0);

    // Ctrl+wheel steps every page the same way, never the component's zoom of one page.
    QWidget* view = form->Memos->ActiveMemo()->viewport();
    for (const int delta : {120, 120, -120}) {
        QWheelEvent wheel(QPointF(20, 20), view->mapToGlobal(QPointF(20, 20)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(view, &wheel);
    }
    for (int i = 0; i <= 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(page(i)->font().pointSizeF(), 113.0);
        EXPECT_EQ(page(i)->SendScintilla(QsciScintillaBase::SCI_GETZOOM), 0);
    }
    EXPECT_EQ(form->FontDialog1.font.pointSizeF(), 113.0);
}

// Stepping down stops at one point, so the text never vanishes and a step up
// brings it back; a font given in pixels steps from its size in points.
TEST_F(AppearanceFixture, FontStepsStopAtOnePoint)
{
    QFont f = page(0)->font();
    f.setPointSize(3);
    form->Memos->setFont(f);
    for (int k = 0; k < 5; ++k)
        form->Makefontsmaller1Click();
    EXPECT_EQ(page(0)->font().pointSizeF(), MinimumFontPoints);
    form->Makefontbigger1Click();
    EXPECT_EQ(page(0)->font().pointSizeF(), MinimumFontPoints + 1);

    QFont pixels = f;
    pixels.setPixelSize(16);
    form->Memos->setFont(pixels);
    form->Makefontbigger1Click();
    EXPECT_NEAR(page(0)->font().pointSizeF(), 16 * 72.0 / page(0)->logicalDpiY() + 1, 0.01);
}

// Apply sets the pages' font and colour at once; Cancel afterwards keeps them.
TEST_F(AppearanceFixture, ApplyThenCancelKeepsTheAppliedFont)
{
    addPages(1);
    const FontChoice before = form->FontDialog1;
    QFont chosen(QStringLiteral("DejaVu Sans Mono"));
    chosen.setPointSize(15);
    dialogs.answer(test::FontAnswer{std::nullopt, {FontChoice{chosen, QColor(Qt::green)}}});
    form->Button5->click();

    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].kind, test::Asked::Font);
    EXPECT_EQ(dialogs.asked[0].text, before.font.toString());
    EXPECT_EQ(dialogs.asked[0].preset, QColor(Qt::white).name());
    for (int i = 0; i <= 1; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(page(i)->font(), chosen);
        EXPECT_EQ(page(i)->fontColor(), QColor(Qt::green));
    }
    EXPECT_EQ(form->FontDialog1.font, chosen);
    EXPECT_EQ(form->FontDialog1.color, QColor(Qt::green));

    // OK sets the pages too; a plain Cancel changes nothing.
    QFont other = chosen;
    other.setPointSize(9);
    dialogs.answer(test::FontAnswer{FontChoice{other, QColor(Qt::red)}, {}});
    form->Font1Click();
    EXPECT_EQ(page(1)->font(), other);
    EXPECT_EQ(page(1)->fontColor(), QColor(Qt::red));
    dialogs.answer(test::FontAnswer{std::nullopt, {}});
    form->Font1Click();
    EXPECT_EQ(dialogs.asked.last().text, other.toString());
    EXPECT_EQ(page(0)->font(), other);
    EXPECT_EQ(form->FontDialog1.color, QColor(Qt::red));
}

// The background colour goes to every page on OK; Cancel leaves it.
TEST_F(AppearanceFixture, BackgroundColourOnAllPages)
{
    addPages(2);
    dialogs.answer(QColor(0x12, 0x34, 0x56));
    form->Button4->click();
    for (int i = 0; i <= 2; ++i)
        EXPECT_EQ(page(i)->Color(), QColor(0x12, 0x34, 0x56));
    dialogs.answer(test::Cancel{});
    form->BgColor1Click();
    EXPECT_EQ(page(1)->Color(), QColor(0x12, 0x34, 0x56));
    ASSERT_EQ(dialogs.asked.size(), 2);
    // The dialog opens on its own last choice, black at first, not on the page's colour.
    EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("#000000"));
    EXPECT_EQ(dialogs.asked[1].text, QStringLiteral("#123456"));
}

// The contrast of two colours and the colour offered when it is below 3:1, at
// both sides of the bound against a white and a black other colour.
TEST(Contrast, RatioAndTheReadableOtherColour)
{
    const QColor white(Qt::white), black(Qt::black);
    const struct {
        const char* name;
        QColor chosen, other;
        double ratio;
        std::optional<QColor> readable;
    } rows[] = {
        {"white page, white font", white, white, 1.0, black},
        {"black page, white font", black, white, 21.0, std::nullopt},
        {"yellow page, white font", QColor(255, 255, 0), white, 1.074, black},
        {"navy page, black font", QColor(0, 0, 128), black, 1.312, white},
        {"blue page, black font", QColor(0, 0, 255), black, 2.444, white},
        {"red page, white font", QColor(255, 0, 0), white, 3.998, std::nullopt},
        {"grey 94 on white, just above", QColor(0x94, 0x94, 0x94), white, 3.033, std::nullopt},
        {"grey 95 on white, just below", QColor(0x95, 0x95, 0x95), white, 2.995, black},
        {"grey 59 on black, just below", QColor(0x59, 0x59, 0x59), black, 2.998, white},
        {"grey 5A on black, just above", QColor(0x5A, 0x5A, 0x5A), black, 3.045, std::nullopt},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_NEAR(contrastRatio(r.chosen, r.other), r.ratio, 0.001);
        EXPECT_NEAR(contrastRatio(r.other, r.chosen), r.ratio, 0.001);
        EXPECT_EQ(readableAgainst(r.chosen, r.other), r.readable);
    }
}

// A page colour or a font colour that leaves the text unreadable asks whether the
// other one becomes black or white; No keeps both as chosen.
TEST_F(AppearanceFixture, UnreadableColourChoiceAsksForBlackOrWhite)
{
    const QColor white(Qt::white), black(Qt::black);
    const struct {
        const char* name;
        bool page;  // the page colour is chosen, else the font colour
        QColor chosen;
        MsgAnswer answer;
        QColor background, font;  // afterwards
        const char* asked;
    } rows[] = {
        {"white page, yes", true, white, MsgAnswer::Yes, white, black, "文字の色を黒にしますか？"},
        {"white page, no", true, white, MsgAnswer::No, white, white, "文字の色を黒にしますか？"},
        {"black font on the black page, yes", false, black, MsgAnswer::Yes, white, black, "背景の色を白にしますか？"},
        {"navy font, no", false, QColor(0, 0, 128), MsgAnswer::No, black, QColor(0, 0, 128), "背景の色を白にしますか？"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        form->Memos->setColor(black);
        form->Memos->setFontColor(white);
        form->FontDialog1 = pageFont(*form->Memos);
        dialogs.clearAsked();
        if (r.page)
            dialogs.answer(r.chosen);
        else
            dialogs.answer(test::FontAnswer{FontChoice{form->Memos->Font(), r.chosen}, {}});
        dialogs.answer(r.answer);
        r.page ? form->BgColor1Click() : form->Font1Click();
        ASSERT_EQ(dialogs.asked.size(), 2);
        EXPECT_EQ(dialogs.asked[1].buttons, MsgButtons::YesNo);
        EXPECT_TRUE(dialogs.asked[1].text.endsWith(QString::fromUtf8(r.asked))) << dialogs.asked[1].text.toStdString();
        EXPECT_EQ(page(0)->Color(), r.background);
        EXPECT_EQ(page(0)->fontColor(), r.font);
        EXPECT_EQ(form->FontDialog1.color, r.font);
    }
    // A readable choice asks nothing.
    form->Memos->setFontColor(white);
    dialogs.clearAsked();
    dialogs.answer(QColor(0x12, 0x34, 0x56));
    form->BgColor1Click();
    EXPECT_EQ(dialogs.asked.size(), 1);
}

// The version box: two fixed lines, then credit lines each starting with a tab.
TEST_F(AppearanceFixture, VersionBox)
{
    dialogs.answer(MsgAnswer::Ok);
    form->Version1Click();
    ASSERT_EQ(dialogs.asked.size(), 1);
    const test::Asked& a = dialogs.asked[0];
    EXPECT_EQ(a.caption, QStringLiteral("Version Info"));
    EXPECT_EQ(a.buttons, MsgButtons::Ok);
    EXPECT_EQ(a.icon, MsgIcon::None);
    const QStringList lines = a.text.split(u'\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("Supporter for Borland C++ Compiler NOLLEX"));
    EXPECT_EQ(lines[1], QStringLiteral("Version 2.01"));
    for (qsizetype i = 2; i < lines.size(); ++i) {
        EXPECT_TRUE(lines[i].startsWith(u'\t')) << lines[i].toStdString();
        EXPECT_GT(lines[i].trimmed().size(), 0);
    }
}

// F1: the manual opens in Nollex's own window, with no browser on the machine
// (a PATH without any); F1 again brings back the same window. A missing manual
// shows its path.
TEST_F(AppearanceFixture, ManualOpensInItsOwnWindowOrIsReported)
{
    const QByteArray oldPath = qgetenv("PATH");
    const QString manual = folder.path() + QStringLiteral("manual/index.html");
    const struct {
        const char* name;
        bool manualThere;
    } rows[] = {
        {"no manual", false},
        {"manual, no browser", true},
        {"F1 again", true},
    };
    HelpWindow* shown = nullptr;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        test::TempDir bin;
        QFile::remove(manual);
        if (r.manualThere) {
            QDir().mkpath(folder.path() + QStringLiteral("manual"));
            folder.write(QStringLiteral("manual/index.html"), "<html><title>Nollex マニュアル</title></html>");
        }
        qputenv("PATH", bin.path().toLocal8Bit());
        dialogs.asked.clear();
        if (!r.manualThere)
            dialogs.answer(MsgAnswer::Ok);
        form->Memos->ActiveMemo()->setFocus();
        QTest::keyClick(form->Memos->ActiveMemo(), Qt::Key_F1);
        qputenv("PATH", oldPath);
        auto* help = form->findChild<HelpWindow*>();
        if (!r.manualThere) {
            ASSERT_EQ(dialogs.asked.size(), 1);
            EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Nollex"));
            EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::Error);
            EXPECT_TRUE(dialogs.asked[0].text.contains(manual)) << dialogs.asked[0].text.toStdString();
            EXPECT_FALSE(help);
            continue;
        }
        EXPECT_TRUE(dialogs.asked.isEmpty());
        ASSERT_TRUE(help);
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(help->browser()->source(), QUrl::fromLocalFile(manual));
        EXPECT_TRUE(!shown || shown == help) << "one help window per main window";
        EXPECT_EQ(form->findChildren<HelpWindow*>().size(), 1);
        shown = help;
        help->close();
    }
}

namespace {

QString manualFolder()
{
    return QStringLiteral(NOLLEX_BINARY_DIR "/manual/");
}

QString readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

}  // namespace

// The manual ships beside the program, and every link between its pages and to
// its pictures leads to a file that is there.
TEST(Manual, ShipsWithWorkingLinks)
{
    const QDir dir(manualFolder());
    ASSERT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("index.html"))));
    const QStringList pages = dir.entryList({QStringLiteral("*.html")}, QDir::Files);
    EXPECT_GE(pages.size(), 7);
    const QRegularExpression link(QStringLiteral(R"((?:href|src)="([^"#:]+)(?:#[^"]*)?")"));
    for (const QString& name : pages) {
        const QString html = readAll(dir.filePath(name));
        EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">"))) << name.toStdString();
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            EXPECT_TRUE(QFileInfo::exists(dir.filePath(target)))
                << name.toStdString() << " links to missing " << target.toStdString();
        }
    }
}

// Every command of the menus and every button is described in the manual.
TEST_F(AppearanceFixture, ManualDescribesEveryCommand)
{
    QString all;
    const QDir dir(manualFolder());
    for (const QString& name : dir.entryList({QStringLiteral("*.html")}, QDir::Files))
        all += readAll(dir.filePath(name));
    all.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    QStringList missing;
    for (QAction* menu : form->menuBar()->actions()) {
        if (!all.contains(menu->text()))
            missing << menu->text();
        for (QAction* item : menu->menu()->actions()) {
            if (item->isSeparator())
                continue;
            // The theme item is described under its first caption.
            const QString caption = item == form->enNOLLEX1 ? QStringLiteral("enNOLLEX") : item->text();
            if (!all.contains(caption))
                missing << caption;
            const QString keys = item->shortcut().toString();
            if (!keys.isEmpty() && !all.contains(keys))
                missing << keys;
        }
    }
    for (QPushButton* b : {form->Button1, form->Button2, form->Button3, form->Button4,
                           form->Button5, form->Button6}) {
        if (!all.contains(b->text()))
            missing << b->text();
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QStringLiteral(", ")).toStdString();
}

// Find, Find again and Undo reach the active page through their keys.
TEST_F(AppearanceFixture, FindAndUndoKeysWorkOnTheActivePage)
{
    addPages(1);
    TCustomizedMemo* editor = form->Memos->ActiveMemo();
    ASSERT_EQ(editor, page(1));
    editor->setPlainText(QStringLiteral("abcabc"));
    editor->setFocus();
    dialogs.answer(QStringLiteral("bc"));
    QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(form->State.SearchText, QStringLiteral("bc"));
    EXPECT_EQ(editor->caretPosition(), 1);
    QTest::keyClick(editor, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(editor->caretPosition(), 4);
    QTest::keyClick(editor, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(editor->caretPosition(), 1);

    QTest::keyClicks(editor, QStringLiteral("xy"));
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("axybcabc"));
    QTest::keyClick(editor, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("abcabc"));
    QTest::keyClick(editor, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("axybcabc"));
    EXPECT_TRUE(editor->Modified());
}

// Not run by default: the coloured page with line numbers on a dark and on a
// light page, grabbed into $NOLLEX_SHOT_DIR (default /tmp) for the README.
TEST_F(AppearanceFixture, DISABLED_SaveColouredPagePictures)
{
    const QString shots = qEnvironmentVariableIsSet("NOLLEX_SHOT_DIR")
                              ? qEnvironmentVariable("NOLLEX_SHOT_DIR")
                              : QStringLiteral("/tmp");
    const QString path = folder.file("hello.cpp");
    folder.write("hello.cpp",
                 "#include <stdio.h>\n"
                 "#define TIMES 3  /* 繰り返す回数 */\n"
                 "\n"
                 "// 挨拶を表示する\n"
                 "int main(void)\n"
                 "{\n"
                 "    const char *name = \"Nollex\";\n"
                 "    for (int i = 0; i < TIMES; i++) {\n"
                 "        printf(\"Hello, %s! %d\\n\", name, i + 1);\n"
                 "    }\n"
                 "    char mark = '*';\n"
                 "    double ratio = 0.5e1;\n"
                 "    return (int)(ratio * mark;\n"
                 "}\n");
    form->resize(760, 520);
    form->WMDropFiles({path});
    TCustomizedMemo* memo = form->Memos->ActiveMemo();
    memo->setFocus();
    memo->setCaret(int(memo->toPlainText().indexOf(u'{')));
    const struct {
        const char* file;
        QColor page, text;
        bool theme;
    } looks[] = {{"page-dark.png", Qt::black, Qt::white, false},
                 {"page-light.png", QColor(0xFF, 0xFF, 0xF8), Qt::black, true}};
    for (const auto& look : looks) {
        form->Memos->setColor(look.page);
        form->Memos->setFontColor(look.text);
        if (look.theme)
            form->enNOLLEX1Click();
        QTest::qWait(200);
        EXPECT_TRUE(form->grab().save(QDir(shots).filePath(QString::fromLatin1(look.file))));
    }
}
