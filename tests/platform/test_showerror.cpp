#include "platform/Dialogs.h"
#include "platform/ShowError.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

using namespace nollex;

// Guards the full-stop rule: only a last character that sorts after "." gets one.
TEST(ShowError, FullStopOnlyAfterCharactersSortingAfterDot)
{
    EXPECT_EQ(errorDisplayText(QStringLiteral("abc")), QStringLiteral("abc."));
    EXPECT_EQ(errorDisplayText(QStringLiteral("'x' は整数ではありません")),
              QStringLiteral("'x' は整数ではありません."));
    EXPECT_EQ(errorDisplayText(QStringLiteral("done.")), QStringLiteral("done."));
    EXPECT_EQ(errorDisplayText(QStringLiteral("(1)")), QStringLiteral("(1)"));
    EXPECT_EQ(errorDisplayText(QStringLiteral("a-")), QStringLiteral("a-"));
    EXPECT_EQ(errorDisplayText(QStringLiteral("a/")), QStringLiteral("a/."));
    EXPECT_EQ(errorDisplayText(QString()), QString());
}

TEST(ShowError, ErrorBoxCaptionedNollexWithErrorIconAndOk)
{
    test::ScriptedDialogs dialogs;
    dialogs.answer(MsgAnswer::Ok);
    ShowError(dialogs, QStringLiteral("x に書き込めません"));
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Nollex"));
    EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("x に書き込めません."));
    EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::Error);
}

TEST(Dialogs, WindowsFilterBecomesQtFilter)
{
    EXPECT_EQ(qtFilterFromWindows(
                  QStringLiteral("C/C++ lang(*c;*.cpp;*.h)|*.c;*.cpp;*.h|Others(*.*)|*.*")),
              QStringLiteral("C/C++ lang(*c;*.cpp;*.h) (*.c *.cpp *.h);;Others(*.*) (*.*)"));
    EXPECT_EQ(qtFilterFromWindows(QStringLiteral("Nollex Project(*.prj)|*.prj")),
              QStringLiteral("Nollex Project(*.prj) (*.prj)"));
}
