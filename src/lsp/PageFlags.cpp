#include "lsp/PageFlags.h"

#include "bcc32/Switches.h"
#include "platform/WinCommandLine.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace nollex::lsp {

QStringList ClangdCompileCommand(const PageBuild& build)
{
    const std::string page = build.pageFile.toStdString();
    std::vector<std::string> words = SplitWindowsCommandLine(build.optionText.toStdString());
    words.push_back(page);
    bcc::Plan plan = bcc::PlanBuild(bcc::ParseConfigText(build.configText.toStdString()), words);
    // Only the page itself, compiled alone: other files named among the options are
    // the build's business, and the page's text reaches clangd as UTF-8 whatever
    // its encoding on disk, so no input character set is named either.
    std::erase_if(plan.sources, [&](const bcc::SourceFile& s) { return s.path != page; });
    if (plan.sources.empty())
        plan.sources.push_back({page});
    plan.compileOnly = true;
    plan.assemblyOnly = false;
    bcc::Host host;
    host.compat.includeFolder = build.compatInclude.toStdString();
    const std::vector<bcc::Step> steps = bcc::HostSteps(plan, host);

    QStringList command;
    for (const std::string& word : steps.front().argv)
        command << QString::fromStdString(word);
    // "-c" and "-o NAME.obj" say where the build writes; clangd writes nothing.
    const qsizetype out = command.lastIndexOf(QStringLiteral("-o"));
    if (out > 0)
        command.remove(out, 2);
    command.removeOne(QStringLiteral("-c"));
    // Without -std the build takes gcc 12's default, which clang's differs from for C++.
    const bool cxx = command.contains(QStringLiteral("c++"));
    if (!std::any_of(command.begin(), command.end(), [](const QString& w) { return w.startsWith(u"-std="); }))
        command.insert(1, cxx ? QStringLiteral("-std=gnu++17") : QStringLiteral("-std=gnu17"));
    return command;
}

QStringList ClangdCompileCommand(const QString& pageFile, const QString& optionText, const QString& compilerFolder)
{
    PageBuild build{pageFile, optionText, {}, {}};
    QFile config(compilerFolder + QStringLiteral("bcc32.cfg"));
    if (config.open(QIODevice::ReadOnly))
        build.configText = QString::fromLocal8Bit(config.readAll());
    // The stand-in uses its headers only with their library beside them.
    const QString compat = compilerFolder + QStringLiteral("compat/");
    if (QFileInfo(compat + QStringLiteral("include")).isDir() &&
        QFileInfo(compat + QStringLiteral("lib/libnollexcompat.a")).isFile())
        build.compatInclude = compat + QStringLiteral("include");
    return ClangdCompileCommand(build);
}

}  // namespace nollex::lsp
