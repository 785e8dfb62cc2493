// The window's wait: quiet at first, then a small modal window whose 中止 ends it.

#include "platform/QtWaiting.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

using namespace nollex;

// Guards the two-second rule (no window for a short compile, one for a long one)
// and the stop button, which must end the wait instead of only hiding the window.
TEST(QtWaiting, SmallWindowAfterTwoSecondsAndItsStopButton)
{
    QWidget main;
    main.show();
    QtWaiting waiting(&main);
    QElapsedTimer timer;
    timer.start();
    bool modalSeen = false;
    const auto watch = [&] { modalSeen = modalSeen || QApplication::activeModalWidget(); };
    EXPECT_TRUE(waiting.waitFor([&] { watch(); return timer.elapsed() > 1500; }, kCompilingText));
    EXPECT_FALSE(modalSeen);

    QString shownText;
    bool earlyWindow = true;
    QTimer::singleShot(1700, [&] { earlyWindow = QApplication::activeModalWidget() != nullptr; });
    QTimer::singleShot(2400, [&] {
        QWidget* window = QApplication::activeModalWidget();
        ASSERT_TRUE(window);
        shownText = window->findChild<QLabel*>()->text();
        QPushButton* stop = window->findChild<QPushButton*>();
        ASSERT_TRUE(stop);
        EXPECT_EQ(stop->text(), kStopCaption);
        stop->click();
    });
    timer.restart();
    EXPECT_FALSE(waiting.waitFor([&] { return timer.elapsed() > 10000; }, kCompilingText));
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_FALSE(earlyWindow);
    EXPECT_EQ(shownText, QStringLiteral("コンパイル中…"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
