#include "platform/Translations.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace nollex;

namespace {

// Whether the text has a kana or CJK ideograph in it.
bool hasJapanese(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x3040 && c.unicode() <= 0x9FFF)
            return true;
    }
    return false;
}

QString standardButtonText(QMessageBox::StandardButton which)
{
    QMessageBox box;
    box.setStandardButtons(which);
    return box.button(which)->text();
}

QString lookInCaption()
{
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const auto* label = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    return label ? label->text() : QString();
}

}  // namespace

// Under a Japanese locale the message boxes' Yes/No/Cancel and the file
// dialogs' own labels are Japanese, not the toolkit's built-in English.
TEST(ToolkitTranslations, StandardButtonsAndFileDialogsSpeakJapanese)
{
    ASSERT_FALSE(lookInCaption().isEmpty());
    ASSERT_FALSE(hasJapanese(standardButtonText(QMessageBox::Yes)));
    QTranslator* translator = installToolkitTranslations(QLocale(QLocale::Japanese, QLocale::Japan));
    ASSERT_NE(translator, nullptr) << "the toolkit's Japanese catalog is not installed";
    for (const QMessageBox::StandardButton button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
        EXPECT_TRUE(hasJapanese(standardButtonText(button))) << standardButtonText(button).toStdString();
    EXPECT_TRUE(hasJapanese(lookInCaption())) << lookInCaption().toStdString();
    QCoreApplication::removeTranslator(translator);
    delete translator;
}
