#pragma once
// The compile command clangd is given for a page: the build's own compile line,
// made by the stand-in compiler's code from the same switches and bcc32.cfg, so
// completion sees the headers and the standard the build does.

#include <QString>
#include <QStringList>

namespace nollex::lsp {

struct PageBuild {
    QString pageFile;       // absolute; an untitled page's stand-in name builds as C++
    QString optionText;     // the option set's switches, as the build's command line has them
    QString configText;     // the compiler folder's bcc32.cfg, empty when there is none
    QString compatInclude;  // the original compiler's headers (conio.h, ...), empty when none
};

// The host compiler's words for the page, without its output: "gcc"/"g++" first
// (clangd takes the mode from the name and never runs it), the page's file last.
QStringList ClangdCompileCommand(const PageBuild& build);

// The same, with bcc32.cfg and compat/include read from the stand-in's folder
// (with its final separator), as the stand-in reads them.
QStringList ClangdCompileCommand(const QString& pageFile, const QString& optionText, const QString& compilerFolder);

}  // namespace nollex::lsp
