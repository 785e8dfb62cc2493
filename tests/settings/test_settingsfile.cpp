#include "app/TForm1.h"
#include "app/PaneBorder.h"
#include "editor/FileCommands.h"
#include "options/TForm2.h"
#include "options/TRadioGroup.h"
#include "options/TUpDown.h"
#include "platform/Colors.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "project/ProjectFile.h"
#include "settings/IniFile.h"
#include "settings/SettingsFile.h"
#include "platform/Processes.h"
#include "support/FakeWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QDir>
#include <QFile>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace nollex;

namespace {

struct SettingsFixture : ::testing::Test {
    test::TempDir folder;  // the system's own folder
    test::ScriptedDialogs dialogs;

    QString iniPath() const { return folder.file("Nollex.ini"); }
    void writeIni(const QStringList& lines) const
    {
        folder.write("Nollex.ini", lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
    }
    QString stored(const QString& section, const QString& key) const
    {
        return IniFile(iniPath()).readString(section, key, QStringLiteral("<missing>"));
    }
    // A window shown for the first time, which runs the restore.
    std::unique_ptr<TForm1> start()
    {
        auto form = std::make_unique<TForm1>(TForm1Deps{dialogs, folder.path()});
        form->show();
        return form;
    }
    void TearDown() override { EXPECT_TRUE(dialogs.allAnswersUsed()); }
};

// Everything a restart must bring back, gathered from a window.
struct Snapshot {
    QStringList fileNames, tabCaptions, texts;
    int activeIndex, tabWidth;
    AfterRun runMode;
    QColor background, fontColor;
    QString fontFamily;
    qreal fontPoints;
    QString compilerDirectory, compilerName, caption;
    CompileOptionSet options;
    OptionControls controls;
    QString edit6, edit7, edit8;
    int radioGroup3, upDown;
    bool checkBox5;
    QFont fontDialog;
    QColor fontDialogColor;

    explicit Snapshot(TForm1& f)
    {
        TMemos& m = *f.Memos;
        fileNames = m.fileNames();
        for (int i = 0; i <= m.LastIndex(); ++i) {
            tabCaptions << m.caption(i);
            texts << m.editor(i)->toPlainText();
        }
        activeIndex = m.ActiveIndex();
        tabWidth = m.TabWidth();
        runMode = f.State.RunMode;
        background = m.Color();
        fontColor = m.FontColor();
        fontFamily = m.Font().family();
        fontPoints = m.Font().pointSizeF();
        compilerDirectory = f.State.CompilerDirectory;
        compilerName = f.State.CompilerName;
        caption = f.windowTitle();
        options = f.State.OptionSet;
        TForm2& d = *f.form2();
        controls = d.optionControls();
        edit6 = d.Edit6->text();
        edit7 = d.Edit7->text();
        edit8 = d.Edit8->text();
        radioGroup3 = d.RadioGroup3->ItemIndex();
        upDown = d.UpDown1->Position();
        checkBox5 = d.CheckBox5->isChecked();
        fontDialog = f.FontDialog1.font;
        fontDialogColor = f.FontDialog1.color;
    }
};

template <size_t N>
QByteArray raw(const char (&bytes)[N])
{
    return QByteArray(bytes, N - 1);  // NUL bytes included
}

void expectSame(const Snapshot& a, const Snapshot& b)
{
#define SAME(field) EXPECT_EQ(a.field, b.field) << #field
    SAME(fileNames); SAME(tabCaptions); SAME(texts); SAME(activeIndex); SAME(tabWidth);
    SAME(runMode); SAME(background); SAME(fontColor); SAME(fontFamily); SAME(fontPoints);
    SAME(compilerDirectory); SAME(compilerName); SAME(caption); SAME(options); SAME(controls);
    SAME(edit6); SAME(edit7); SAME(edit8); SAME(radioGroup3); SAME(upDown); SAME(checkBox5);
    SAME(fontDialog.family()); SAME(fontDialog.pointSizeF()); SAME(fontDialogColor);
#undef SAME
}

}  // namespace

// Guards the whole restore against the save: every value a user set comes back,
// the dialog's controls included, with -P kept and a quoted folder intact.
TEST_F(SettingsFixture, RoundTripThroughCloseAndRestart)
{
    const QString a = folder.write("a.c", "int main() { return 0; }\n");
    QDir().mkpath(folder.file("sub"));
    const QString b = folder.write("sub/ b.cpp ", "// b\n");  // blanks at both ends are part of the name
    Snapshot before = [&] {
        auto form = start();
        EXPECT_TRUE(dialogs.asked.isEmpty());
        TMemos& m = *form->Memos;
        loadPageFile(m, 0, a);
        m.AddPage(QString());  // stays untitled
        m.AddPage(QString());
        loadPageFile(m, 2, b);
        m.setColor(colorFromBgr(0x123456));
        m.setFontColor(colorFromBgr(0xABCDEF));
        QFont font = m.Font();
        font.setFamily(QStringLiteral("Noto Sans Mono CJK JP"));
        font.setPointSize(15);
        form->FontDialog1Apply({font, colorFromBgr(0xABCDEF)});
        m.setActiveIndex(0);
        form->MemoEnter();  // what the click on the page does to the caption

        TForm2& d = *form->form2();
        d.Edit6->setText(QStringLiteral("8"));
        d.Edit7->setText(folder.file("compiler dir"));
        d.Edit8->setText(QStringLiteral("bcc32x.exe"));
        d.RadioGroup3->setItemIndex(1);
        d.RadioGroup1->setItemIndex(2);
        d.RadioGroup2->setItemIndex(1);
        for (QCheckBox* box : {d.CheckBox1, d.CheckBox5, d.CheckBox11, d.CheckBox12, d.CheckBox14,
                               d.CheckBox18})
            box->setChecked(true);
        d.CheckBox7->setChecked(false);
        d.Edit9->setText(QStringLiteral("5"));
        d.Edit2->setText(QStringLiteral("\"/usr/include/my dir\""));
        d.Edit4->setText(QStringLiteral("-ml"));  // -T stays off, its text is kept
        d.Edit->setText(QStringLiteral("-DX=1 -v"));
        d.ApplyOptions();
        EXPECT_EQ(form->State.OptionSet.I, QStringLiteral("-I\"/usr/include/my dir\" "));
        EXPECT_EQ(form->State.OptionSet.P, QStringLiteral("-P "));

        Snapshot s(*form);
        EXPECT_TRUE(form->close());
        return s;
    }();
    EXPECT_EQ(stored("Compiler", "_insideI"), QStringLiteral("\"/usr/include/my dir\""));

    auto again = start();
    EXPECT_TRUE(dialogs.asked.isEmpty());
    Snapshot after(*again);
    // The free-option flag comes back with the blank every switch text ends in.
    before.options.Manual = QStringLiteral("true ");
    expectSame(before, after);
    EXPECT_EQ(after.fileNames, (QStringList{a, QString(), b}));
    EXPECT_EQ(after.tabCaptions, (QStringList{"a.c", "", " b.cpp "}));
    EXPECT_EQ(after.caption, "Nollex < " + a + " >");
    EXPECT_EQ(after.tabWidth, 8);
    EXPECT_EQ(after.runMode, AfterRun::WaitForExit);
    EXPECT_EQ(after.options.Instructions, QStringLiteral("-5 "));
    EXPECT_EQ(after.options.n_of_g, 5);
    EXPECT_EQ(after.options.insideT, QStringLiteral("-ml"));
    EXPECT_FALSE(again->Memos->editor(0)->Modified());
}

// Guards the first start: no file is no error, and every value is the default.
TEST_F(SettingsFixture, MissingOrEmptyFileGivesDefaults)
{
    for (const char* content : {"<none>", "", "\r\n\r\n"}) {
        SCOPED_TRACE(content);
        QFile::remove(iniPath());
        if (QByteArray(content) != "<none>")
            folder.write("Nollex.ini", content);
        auto form = start();
        EXPECT_TRUE(dialogs.asked.isEmpty());
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Nollex <  >"));
        EXPECT_EQ(form->Memos->LastIndex(), 0);
        EXPECT_EQ(form->Memos->Color(), QColor(Qt::black));
        EXPECT_EQ(form->Memos->FontColor(), QColor(Qt::white));
        EXPECT_EQ(form->Memos->Font().family(), QStringLiteral("ＭＳ 明朝"));
        EXPECT_EQ(form->Memos->Font().pointSize(), 12);
        EXPECT_EQ(form->Memos->TabWidth(), 4);
        EXPECT_EQ(form->form2()->Edit6->text(), QStringLiteral("4"));
        // The stand-in compiler's folder, as the window was created with it.
        EXPECT_EQ(form->State.CompilerDirectory, QDir::cleanPath(folder.path()));
        EXPECT_EQ(form->form2()->Edit7->text(), form->State.CompilerDirectory);
        EXPECT_EQ(form->State.OptionSet, CompileOptionSet{});
        EXPECT_EQ(form->FontDialog1.font, form->Memos->Font());
    }
}

// Guards the key order and that a fresh close writes every key, -P's pair
// right after -N's.
TEST_F(SettingsFixture, FreshCloseWritesEveryKeyInOrder)
{
    auto form = start();
    const QRect place = form->geometry();
    ASSERT_TRUE(form->close());
    QStringList want = {
        "[Information]", "Version=200", "",
        "[System]", "BGColor=0", "FontColor=16777215", "FontSize=12", "FontName=ＭＳ 明朝",
        "Tab=4", "close_or_not=0", "Index=0", "FileName0=", "ActiveIndex=0", "",
        "[Editor]", "Colouring=1", "LineNumbers=1", "Completion=1", "",
        "[Build]", "GuardedRun=1", "SampleTimeLimit=2000", "SampleNumbersWithin=0", "",
        "[Project]", "ProjectFile=", "",
        "[Compiler]", "compiler_directory=" + QDir::cleanPath(folder.path()),
        "compiler_name=bcc32.exe", "_Instructions=-3 ", "__Instructions=0"};
    for (const char* k : {"B", "C", "K", "N", "P", "S", "smallb", "smallc", "smallp", "smallw",
                          "smallg", "smallj", "H", "I", "L", "T", "smalln", "Manual"}) {
        const QString key = QString::fromLatin1(k);
        const bool on = key == "smallb" || key == "smallw";
        want << "_" + key + "=" + (on ? "-" + key.right(1) + " " : QString())
             << "__" + key + "=" + (on ? "1" : "0");
        if (key == "smallg" || key == "smallj")
            want << "n_of_" + key.right(1) + "=0" << "_n_of_" + key.right(1) + "=";
    }
    for (const char* k : {"H", "I", "L", "T", "n", "Manual"})
        want << "_inside" + QString::fromLatin1(k) + "=";
    want << "_O=-O1 " << "__O=0" << "";
    // The window's place, after what older files hold.
    want << "[Window]" << QStringLiteral("Left=%1").arg(place.left()) << QStringLiteral("Top=%1").arg(place.top())
         << "Width=565" << QStringLiteral("Height=%1").arg(place.height()) << "Maximized=0" << "MessageHeight=0";
    EXPECT_EQ(place.height(), form->menuBar()->sizeHint().height() + 404);
    const QString written = QString::fromUtf8(folder.read("Nollex.ini"));
    EXPECT_EQ(written, want.join("\r\n") + "\r\n");
}

// Guards the window's place: the first start has the designed size; a later one
// comes back where the last close left it, with the message pane's dragged
// height, maximised when it was; a place on no screen now is moved onto one.
TEST_F(SettingsFixture, WindowPlaceKeptAcrossRestarts)
{
    const QRect moved(40, 50, 700, 480);
    {
        auto form = start();
        EXPECT_EQ(form->Client->size(), QSize(565, 404));
        EXPECT_EQ(form->Memo2->height(), 77);
        form->setGeometry(moved);
        QApplication::processEvents();
        const int top = form->PaneBorder1->y();
        QTest::mousePress(form->PaneBorder1, Qt::LeftButton, {}, QPoint(10, 0));
        QTest::mouseMove(form->PaneBorder1, QPoint(10, -73));
        QTest::mouseRelease(form->PaneBorder1, Qt::LeftButton, {}, QPoint(10, 0));
        EXPECT_EQ(form->PaneBorder1->y(), top - 73);
        EXPECT_EQ(form->Memo2->height(), 150);
        ASSERT_TRUE(form->close());
    }
    EXPECT_EQ(stored("Window", "MessageHeight"), QStringLiteral("150"));
    {
        auto form = start();
        EXPECT_EQ(form->geometry(), moved);
        EXPECT_FALSE(form->isMaximized());
        EXPECT_EQ(form->Memo2->height(), 150);
        form->showMaximized();
        QApplication::processEvents();
        ASSERT_TRUE(form->isMaximized());
        ASSERT_TRUE(form->close());
    }
    EXPECT_EQ(stored("Window", "Maximized"), QStringLiteral("1"));
    EXPECT_EQ(stored("Window", "Width"), QStringLiteral("700"));  // the size it comes back to
    {
        auto form = start();
        EXPECT_TRUE(form->isMaximized());
        form->showNormal();
        QApplication::processEvents();
        EXPECT_EQ(form->size(), moved.size());
    }
    IniFile ini(iniPath());
    ini.writeInteger("Window", "Left", 5000);
    ini.writeInteger("Window", "Top", 5000);
    ini.writeBool("Window", "Maximized", false);
    auto form = start();
    EXPECT_EQ(form->size(), moved.size());
    EXPECT_TRUE(form->screen()->availableGeometry().contains(form->geometry()));
}

// Guards the version question: its text and buttons, and that No reads nothing
// while the next close writes the whole file as version 2.
TEST_F(SettingsFixture, OlderVersionAnsweredNo)
{
    writeIni({"[Information]", "Version=150", "[System]", "BGColor=255", "Index=1",
              "FileName0=" + folder.write("a.c", "x"), "Tab=8", "[Compiler]", "_smallb="});
    dialogs.answer(MsgAnswer::No);
    auto form = start();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Nollex.ini"));
    EXPECT_EQ(dialogs.asked[0].text,
              QStringLiteral("現存する設定ファイルは Version1.5 のものです\n"
                             "今の Nollex は Version2 ですので正常に解釈しない可能性があります\n"
                             "設定の読み込みを行いますか？"));
    EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::None);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("NOLLEX"));
    EXPECT_EQ(form->Memos->LastIndex(), 0);
    EXPECT_EQ(form->Memos->Color(), QColor(Qt::black));

    ASSERT_TRUE(form->close());
    EXPECT_EQ(stored("Information", "Version"), QStringLiteral("200"));
    EXPECT_EQ(stored("System", "BGColor"), QStringLiteral("0"));
    EXPECT_EQ(stored("System", "Index"), QStringLiteral("0"));
    EXPECT_EQ(stored("System", "FileName0"), QString());
    EXPECT_EQ(stored("Compiler", "_smallb"), QStringLiteral("-b"));
    EXPECT_EQ(stored("Compiler", "_O"), QStringLiteral("-O1"));
}

// Guards which versions ask (1 to 199) and how versions are written.
TEST_F(SettingsFixture, VersionsThatAskAndThatDoNot)
{
    EXPECT_EQ(versionNumberText(150), QStringLiteral("1.5"));
    EXPECT_EQ(versionNumberText(101), QStringLiteral("1.01"));
    EXPECT_EQ(versionNumberText(200), QStringLiteral("2"));
    EXPECT_EQ(versionNumberText(110), QStringLiteral("1.1"));
    EXPECT_EQ(versionNumberText(1), QStringLiteral("0.01"));

    for (const char* version : {"0", "-5", "200", "300", "abc", ""}) {
        SCOPED_TRACE(version);
        dialogs.clearAsked();
        writeIni({"[Information]", QStringLiteral("Version=") + version, "[System]", "BGColor=255"});
        auto form = start();
        EXPECT_TRUE(dialogs.asked.isEmpty());
        EXPECT_EQ(form->Memos->Color(), QColor(Qt::red));
    }
    dialogs.clearAsked();
    writeIni({"[Information]", "Version=101", "[System]", "BGColor=255"});
    dialogs.answer(MsgAnswer::Yes);
    auto form = start();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_TRUE(dialogs.asked[0].text.startsWith(QStringLiteral("現存する設定ファイルは Version1.01 の")));
    EXPECT_EQ(form->Memos->Color(), QColor(Qt::red));
}

// Guards the page restore: a vanished file gives an empty untitled page, keys
// beyond Index are not read, and ActiveIndex beyond it selects the last page.
TEST_F(SettingsFixture, PagesWithAMissingFileAndAnIndexBeyondTheLast)
{
    const QString a = folder.write("a.c", "A");
    const QString c = folder.write("c.c", "C");
    const QString extra = folder.write("d.c", "D");
    writeIni({"[System]", "Index=2", "FileName0=" + a, "FileName1=" + folder.file("gone.c"),
              "FileName2=" + c, "FileName3=" + extra, "ActiveIndex=7"});
    auto form = start();
    TMemos& m = *form->Memos;
    ASSERT_EQ(m.LastIndex(), 2);
    EXPECT_EQ(m.fileNames(), (QStringList{a, QString(), c}));
    EXPECT_EQ(m.caption(1), QString());
    EXPECT_EQ(m.editor(1)->toPlainText(), QString());
    EXPECT_EQ(m.editor(2)->toPlainText(), QStringLiteral("C"));
    EXPECT_EQ(m.ActiveIndex(), 2);
    EXPECT_EQ(form->windowTitle(), "Nollex < " + c + " >");

    ASSERT_TRUE(form->close());
    EXPECT_EQ(stored("System", "FileName1"), QString());
    EXPECT_EQ(stored("System", "FileName3"), extra);  // left as it was
}

// Guards the blank rule of the option texts and the integer forms of FontSize.
TEST_F(SettingsFixture, OptionTextsAndNumbersAsRead)
{
    writeIni({"[System]", "FontSize=0x10", "ActiveIndex=-3", "[Compiler]", "_smallb=-b",
              "_smallw=", "_Instructions=", "_insideI=/x   ", "_Manual=true", "__Manual=5",
              "__smallw=0", "_n_of_g=7"});
    auto form = start();
    const CompileOptionSet& s = form->State.OptionSet;
    EXPECT_EQ(s.smallb, QStringLiteral("-b "));
    EXPECT_EQ(s.smallw, QString());
    EXPECT_EQ(s.Instructions, QStringLiteral(" "));
    EXPECT_EQ(s.insideI, QStringLiteral("/x"));
    EXPECT_EQ(s.Manual, QStringLiteral("true "));
    const OptionControls c = form->form2()->optionControls();
    EXPECT_EQ(c.instructions, 0);  // an unusable text keeps the selection
    EXPECT_TRUE(c.checked[17]);
    EXPECT_FALSE(c.checked[9]);
    EXPECT_EQ(c.values[1], QStringLiteral("/x"));
    EXPECT_EQ(c.countG, QStringLiteral("7"));
    EXPECT_EQ(form->Memos->Font().pointSize(), 16);
    EXPECT_EQ(form->Memos->ActiveIndex(), 0);

    writeIni({"[System]", "FontSize=abc"});
    EXPECT_EQ(start()->Memos->Font().pointSize(), 12);
}

// Guards a page file that cannot be loaded: the error is shown, the page stays
// untitled (a save must not overwrite the file), and every other page and
// setting still comes back (the close would otherwise write defaults over them).
TEST_F(SettingsFixture, PageThatFailsToLoadIsReportedAndTheRestoreGoesOn)
{
    QDir().mkpath(folder.file("folder.c"));
    const QString later = folder.write("later.c", "L");
    writeIni({"[System]", "Index=2", "FileName0=" + folder.file("folder.c"), "FileName2=" + later, "Tab=8",
              "[Compiler]", "compiler_name=other.exe"});
    dialogs.answer(MsgAnswer::Ok);
    auto form = start();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Nollex"));
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::Error);
    EXPECT_TRUE(dialogs.asked[0].text.contains(folder.file("folder.c")));
    EXPECT_EQ(form->Memos->LastIndex(), 2);
    EXPECT_EQ(form->Memos->fileName(0), QString());
    EXPECT_EQ(form->Memos->fileName(2), later);
    EXPECT_EQ(form->Memos->editor(2)->toPlainText(), QStringLiteral("L"));
    EXPECT_EQ(form->Memos->TabWidth(), 8);
    EXPECT_EQ(form->State.CompilerName, QStringLiteral("other.exe"));
}

// Guards the number of pages: all that the file lists come back, past a hundred.
TEST_F(SettingsFixture, MoreThanAHundredPagesComeBack)
{
    const QString last = folder.write("last.c", "Z");
    writeIni({"[System]", "Index=149", "FileName149=" + last});
    auto form = start();
    ASSERT_EQ(form->Memos->LastIndex(), 149);
    EXPECT_EQ(form->Memos->fileName(149), last);
    ASSERT_TRUE(form->close());
    EXPECT_EQ(stored("System", "FileName149"), last);
}

// Guards the project path of the restore: the FileName keys are never read,
// even when the project does not open, and an error it throws is shown without
// costing the rest of the settings.
TEST_F(SettingsFixture, RecordedProjectIsOpenedInsteadOfThePages)
{
    const QString prj = folder.file("gone.prj");
    writeIni({"[System]", "Index=1", "FileName0=" + folder.write("a.c", "A"), "Tab=8",
              "[Project]", "ProjectFile=" + prj, "[Compiler]", "compiler_name=other.exe"});
    TForm1 form({dialogs, folder.path()});
    HostFileSystem files;
    HostProcessStarter processes(folder.path());
    for (bool throws : {false, true}) {
        SCOPED_TRACE(throws);
        QStringList opened;
        test::FakeWindow host(dialogs, files, processes);
        host.memos = form.Memos.get();
        host.onOpenProject = [&](const QString& path) {
            opened << path;
            if (throws)
                throw NollexError(QStringLiteral("broken"));
        };
        if (throws)
            dialogs.answer(MsgAnswer::Ok);
        restoreSettings(iniPath(), form.State, host);
        EXPECT_EQ(opened, QStringList{prj});
        EXPECT_EQ(form.State.ProjectFile, prj);
        EXPECT_EQ(form.Memos->LastIndex(), 0);
        EXPECT_EQ(form.Memos->fileName(0), QString());
        EXPECT_EQ(form.Memos->TabWidth(), 8);
        EXPECT_EQ(form.State.CompilerName, QStringLiteral("other.exe"));
        if (throws) {
            ASSERT_EQ(dialogs.asked.size(), 1);
            EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("broken."));
        }
    }
    // The project never opened: the next close forgets it.
    ASSERT_EQ(form.State.ProjectMainIndex, -1);
    ASSERT_TRUE(form.close());
    EXPECT_EQ(stored("Project", "ProjectFile"), QString());
    EXPECT_EQ(stored("System", "FileName0"), QString());
}

// Guards the project path with the window's own project opening: a project
// comes back with its pages and main file and is recorded again at the close;
// one that vanished is forgotten.
TEST_F(SettingsFixture, RecordedProjectThroughTheWindow)
{
    const QString a = folder.write("a.c", "A");
    const QString main = folder.write("m.c", "M");
    const QString prj = folder.file("p.prj");
    writeProjectFile(prj, {a, main}, 1);
    writeIni({"[System]", "Index=0", "FileName0=" + folder.write("other.c", "O"), "ActiveIndex=0",
              "[Project]", "ProjectFile=" + prj});
    {
        auto form = start();
        EXPECT_EQ(form->Memos->fileNames(), (QStringList{a, main}));
        EXPECT_EQ(form->State.ProjectMainIndex, 1);
        EXPECT_EQ(form->Memos->ActiveIndex(), 0);
        EXPECT_EQ(form->windowTitle(), "Nollex < " + a + " >");
        ASSERT_TRUE(form->close());
        EXPECT_EQ(stored("Project", "ProjectFile"), prj);
    }
    QFile::remove(prj);
    dialogs.answer(MsgAnswer::No);  // the project reader's question about its version
    auto form = start();
    EXPECT_EQ(form->State.ProjectMainIndex, -1);
    EXPECT_EQ(form->Memos->LastIndex(), 0);
    ASSERT_TRUE(form->close());
    EXPECT_EQ(stored("Project", "ProjectFile"), QString());
}

// Guards a refused write at the close: the error names the file, then the
// question; No keeps the window open and a later close succeeds, Yes closes
// without the settings (a file that stays read-only must not trap the window).
TEST_F(SettingsFixture, RefusedWriteKeepsTheWindowOpen)
{
    writeIni({"[Information]", "Version=200"});
    QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    auto form = start();
    dialogs.answer(MsgAnswer::Ok);
    dialogs.answer(MsgAnswer::No);
    EXPECT_FALSE(form->close());
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked[0].text, iniPath() + QStringLiteral(" に書き込めません."));
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::Error);
    EXPECT_EQ(dialogs.asked[1].text, kCloseWithoutSettingsQuestion);
    EXPECT_EQ(dialogs.asked[1].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(form->isVisible());

    dialogs.answer(MsgAnswer::Ok);
    dialogs.answer(MsgAnswer::Yes);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(dialogs.asked.size(), 4);
    EXPECT_EQ(stored("System", "Tab"), QStringLiteral("<missing>"));

    QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::WriteOwner);
    auto again = start();
    EXPECT_TRUE(again->close());
    EXPECT_EQ(stored("System", "Tab"), QStringLiteral("4"));
}

// Guards damaged files: the window starts with defaults where values are
// unusable, within bounded time, and the next save repairs the file.
TEST_F(SettingsFixture, DamagedFilesStartWithDefaultsAndAreRepaired)
{
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 7919 + i / 13) & 0xFF);
    struct Row {
        const char* name;
        QByteArray content;
        int lastIndex;
    } rows[] = {
        {"binary", binary, 0},
        {"binary-in-values", raw("[System]\r\nIndex=\x01\xff\r\nFileName0=\xff\xfe\0x\r\nTab=\x80\r\n"), 0},
        {"wrong-numbers",
         "[System]\nBGColor=-1\nFontColor=0x1000000\nFontSize=-4\nFontName=\nTab=-3\n"
         "close_or_not=7\nIndex=abc\nActiveIndex=2147483648\n[Compiler]\n__Instructions=9\n"
         "__O=-7\n",
         0},
        {"huge-numbers", "[System]\nFontSize=2000000000\nTab=2000000000\nIndex=2000000000\n", 0},
        {"index-past-the-keys", "[System]\nIndex=2000000000\nFileName0=\nFileName3=\n", 3},
        {"negative-index", "[System]\nIndex=-4\nFileName0=" + folder.write("a.c", "A").toUtf8() + "\n",
         0},
        {"no-sections", "Index=3\nVersion=100\n", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        dialogs.clearAsked();
        folder.write("Nollex.ini", row.content);
        auto form = start();
        EXPECT_TRUE(dialogs.asked.isEmpty());
        TMemos& m = *form->Memos;
        EXPECT_EQ(m.LastIndex(), row.lastIndex);
        EXPECT_EQ(m.Color(), QColor(Qt::black));
        EXPECT_EQ(m.FontColor(), QColor(Qt::white));
        EXPECT_EQ(m.Font().pointSize(), 12);
        EXPECT_EQ(m.Font().family(), QStringLiteral("ＭＳ 明朝"));
        EXPECT_EQ(m.TabWidth(), 4);
        EXPECT_EQ(form->State.RunMode, AfterRun::CloseConsole);
        EXPECT_EQ(form->form2()->RadioGroup1->ItemIndex(), 0);
        EXPECT_EQ(form->form2()->RadioGroup2->ItemIndex(), 0);
        if (QByteArray(row.name) == "negative-index") {
            EXPECT_EQ(m.fileName(0), folder.file("a.c"));
        }

        ASSERT_TRUE(form->close());
        const IniFile ini(iniPath());
        EXPECT_EQ(ini.readInteger("Information", "Version", 0), 200);
        EXPECT_EQ(ini.readInteger("System", "Index", -9), row.lastIndex);
        EXPECT_EQ(ini.readInteger("System", "Tab", -9), 4);
        EXPECT_EQ(ini.readInteger("System", "FontSize", -9), 12);
        EXPECT_EQ(ini.readInteger("Compiler", "__O", -9), 0);
    }
}

// The Option menu's switches come back from [Editor] and [Build]; a file without
// those sections gives all of them on.
TEST_F(SettingsFixture, EditorSwitchesKeptInTheFile)
{
    writeIni({"[Information]", "Version=200", "[Editor]", "Colouring=0", "LineNumbers=0", "Completion=0",
              "[Build]", "GuardedRun=0"});
    {
        auto form = start();
        EXPECT_FALSE(form->State.Completion);
        EXPECT_FALSE(form->Completion1->isChecked());
        form->Completion1->trigger();
        EXPECT_TRUE(form->Completion1->isChecked());
        EXPECT_FALSE(form->State.GuardedRun);
        EXPECT_FALSE(form->GuardedRun1->isChecked());
        form->GuardedRun1->trigger();
        EXPECT_FALSE(form->Memos->Colouring());
        EXPECT_FALSE(form->Memos->LineNumbers());
        EXPECT_FALSE(form->Colouring1->isChecked());
        EXPECT_FALSE(form->LineNumbers1->isChecked());
        EXPECT_FALSE(form->Memos->ActiveMemo()->colouringActive());
        EXPECT_EQ(form->Memos->ActiveMemo()->marginWidth(0), 0);
        form->LineNumbers1->trigger();
        EXPECT_TRUE(form->LineNumbers1->isChecked());
        ASSERT_TRUE(form->close());
    }
    EXPECT_EQ(stored(QStringLiteral("Editor"), QStringLiteral("Colouring")), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("Editor"), QStringLiteral("LineNumbers")), QStringLiteral("1"));
    EXPECT_EQ(stored(QStringLiteral("Build"), QStringLiteral("GuardedRun")), QStringLiteral("1"));
    EXPECT_EQ(stored(QStringLiteral("Editor"), QStringLiteral("Completion")), QStringLiteral("1"));

    writeIni({"[Information]", "Version=200"});
    auto form = start();
    EXPECT_TRUE(form->State.Completion);
    EXPECT_TRUE(form->Completion1->isChecked());
    EXPECT_TRUE(form->State.GuardedRun);
    EXPECT_TRUE(form->GuardedRun1->isChecked());
    EXPECT_TRUE(form->Memos->Colouring());
    EXPECT_TRUE(form->Memos->LineNumbers());
    EXPECT_TRUE(form->Colouring1->isChecked());
    EXPECT_TRUE(form->Memos->ActiveMemo()->colouringActive());
    EXPECT_GT(form->Memos->ActiveMemo()->marginWidth(0), 0);
}
