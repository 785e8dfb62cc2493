#pragma once
// The three-line batch file of a build and the command lines given to the
// command interpreter. Pure text: the build runner supplies the paths.

#include "state/Modes.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace nollex {

// The interpreter text for a Windows platform id, with its trailing blank:
// "command.com " for 0 and 1, "cmd.exe " for 2, nothing for any other id.
std::optional<QString> SelectInterpreter(int platformId);

// A path as one word of a command line: unchanged when it needs nothing (short
// forms on Windows never do), else in double quotes, so that a folder with a blank
// stays one word and a ">" in a name never reads as a redirection.
QString commandWord(const QString& path);

struct BatchFile {
    QString changeFolder;    // cd "compiler folder"
    QString compileCommand;  // compiler, options, source > message file
    QString remark;          // rem program folder

    // The three lines, each followed by CR LF, in the system's code page.
    QByteArray bytes() const;
};

struct BatchInputs {
    QString compilerFolder;  // short form, with its final separator (or empty)
    QString compilerName;
    QString optionText;      // with the -n switch
    QString sourcePath;
    QString programFolder;   // short form, with its final separator
};

BatchFile makeBatchFile(const BatchInputs& in);

// interpreter + "/C " + the batch file.
QString batchCommand(const QString& interpreter, const QString& programFolder);

// interpreter + "/C " (the console closes) or "/K " (it waits for EXIT) + program.
QString runCommand(const QString& interpreter, AfterRun runMode, const QString& program);

// The scratch copy's text: the page's text after a first line that tells the compiler
// whose lines they are ("#line 1 \"/home/u/e01.c\""), so its messages, the checkers'
// reports and the debugger name the page's own file. An untitled page's text is kept
// as it is. The name is written in ASCII escapes, whatever the page's encoding.
QString scratchCopyText(const QString& pageFile, const QString& text);

}  // namespace nollex
