#pragma once
// A main window with the real stand-in interpreter and compiler and this machine's
// gcc/g++. The console window is a script (through NOLLEX_TERMINAL) that runs the
// command without a window, answers EXIT to a console that stays, as a user would,
// and records its words and output beside itself.

#include "app/TForm1.h"
#include "editor/FileCommands.h"
#include "support/ScriptedDialogs.h"
#include "support/StandIns.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace nollex::test {

struct E2eFixture : ::testing::Test {
    TempDir root;
    QString program;  // the system's own folder: Nollex.ini, __out.bat, the stand-ins
    QString work;     // where the pages live
    QString terminal;
    ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;

    void SetUp() override { setUpFolders(QStringLiteral("prog"), QStringLiteral("work")); }

    void setUpFolders(const QString& programName, const QString& workName)
    {
        program = root.path() + programName + u'/';
        work = root.path() + workName + u'/';
        ASSERT_TRUE(QDir().mkpath(program));
        ASSERT_TRUE(QDir().mkpath(work));
        ASSERT_NO_FATAL_FAILURE(copyStandIns(program));
        terminal = root.file(QStringLiteral("term.sh"));
        // Answers EXIT to a console that stays, as a user would.
        root.write(QStringLiteral("term.sh"),
                   "#!/bin/sh\n"
                   "printf '%s|' \"$@\" >> \"$0.args\"; echo >> \"$0.args\"\n"
                   "pwd >> \"$0.args\"\n"
                   "printf 'exit\\n' | \"$@\" >> \"$0.out\" 2>&1\n"
                   "echo \"status $?\" >> \"$0.done\"\n");
        QFile::setPermissions(terminal, QFile::permissions(terminal) | QFileDevice::ExeOwner);
        qputenv("NOLLEX_TERMINAL", terminal.toUtf8());
        form = std::make_unique<TForm1>(TForm1Deps{dialogs, program});
        ASSERT_EQ(form->State.CompilerDirectory + u'/', program);
    }
    void TearDown() override { form.reset(); }

    // Puts a file on disk and opens it in the active page.
    void openPage(const QString& path, const QByteArray& text)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        loadPageFile(*form->Memos, form->Memos->ActiveIndex(), path);
    }

    // Waits until the console script has finished `runs` times.
    bool waitForRuns(int runs)
    {
        return waitForLines(terminal + QStringLiteral(".done"), runs);
    }
    QString consoleOutput() const { return QString::fromUtf8(readAll(terminal + QStringLiteral(".out"))); }
    QStringList consoleArgs() const
    {
        return QString::fromUtf8(readAll(terminal + QStringLiteral(".args"))).split(u'\n', Qt::SkipEmptyParts);
    }
    QString messages() const { return form->Memo2->toPlainText(); }
};

}  // namespace nollex::test
