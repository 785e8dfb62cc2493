#include "platform/Errors.h"
#include "platform/Help.h"
#include "support/TempDir.h"

#include <QAction>
#include <QImage>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include <gtest/gtest.h>

using namespace nollex;

namespace {

// Clicks the first link whose text is text, as the learner would.
void clickLink(QTextBrowser* browser, const QString& text)
{
    const QTextCursor found = browser->document()->find(text);
    ASSERT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor inside = found;
    inside.setPosition(found.selectionStart() + 1);
    const QPoint at = browser->cursorRect(inside).center();
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

// The manual's own window: a page, its picture and its links between pages,
// back and forward; one window per main window, reused; a missing manual is an
// error naming its path.
TEST(HelpWindow, ShowsPagesFollowsLinksAndGoesBack)
{
    test::TempDir manual;
    QDir().mkpath(manual.file(QStringLiteral("images")));
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(manual.file(QStringLiteral("images/p.png"))));
    manual.write(QStringLiteral("index.html"),
                 "<html><head><meta charset=\"utf-8\"><title>目次 - Nollex</title></head><body>"
                 "<p><img src=\"images/p.png\"></p><p><a href=\"page.html#two\">次のページ</a></p></body></html>");
    manual.write(QStringLiteral("page.html"),
                 "<html><head><title>Page</title></head><body><h2 id=\"two\">Two</h2>"
                 "<p><a href=\"index.html\">back home</a></p></body></html>");
    QWidget owner;
    owner.show();

    EXPECT_THROW(ShowManual(manual.file(QStringLiteral("none.html")), &owner), NollexError);
    EXPECT_FALSE(owner.findChild<HelpWindow*>());

    HelpWindow* help = ShowManual(manual.file(QStringLiteral("index.html")), &owner);
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->isWindow());
    QTextBrowser* browser = help->browser();
    EXPECT_EQ(browser->source(), QUrl::fromLocalFile(manual.file(QStringLiteral("index.html"))));
    EXPECT_EQ(help->windowTitle(), QStringLiteral("目次 - Nollex"));
    const QVariant image = browser->document()->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/p.png")));
    EXPECT_EQ(image.value<QImage>().size(), QSize(40, 30)) << "the picture beside the page";
    EXPECT_FALSE(help->backAction()->isEnabled());

    clickLink(browser, QStringLiteral("次のページ"));
    EXPECT_EQ(browser->source().fileName(), QStringLiteral("page.html"));
    EXPECT_EQ(browser->source().fragment(), QStringLiteral("two"));
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Page"));
    EXPECT_TRUE(help->backAction()->isEnabled());

    help->backAction()->trigger();
    EXPECT_EQ(browser->source().fileName(), QStringLiteral("index.html"));
    EXPECT_TRUE(help->forwardAction()->isEnabled());
    help->forwardAction()->trigger();
    EXPECT_EQ(browser->source().fileName(), QStringLiteral("page.html"));

    // Closed, then F1 again: the same window, back on the index page.
    help->close();
    EXPECT_EQ(ShowManual(manual.file(QStringLiteral("index.html")), &owner), help);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(browser->source().fileName(), QStringLiteral("index.html"));
    EXPECT_EQ(owner.findChildren<HelpWindow*>().size(), 1);
}
