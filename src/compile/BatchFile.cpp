#include "BatchFile.h"

#include "platform/WinCommandLine.h"

namespace nollex {

std::optional<QString> SelectInterpreter(int platformId)
{
    switch (platformId) {
    case 0:
    case 1:
        return QStringLiteral("command.com ");
    case 2:
        return QStringLiteral("cmd.exe ");
    default:
        return std::nullopt;
    }
}

QString commandWord(const QString& path)
{
    // An empty path stays empty: "-n" alone then names no folder, as the bare form would.
    if (path.isEmpty())
        return path;
    return QString::fromStdString(QuoteWindowsArgument(path.toStdString()));
}

QByteArray BatchFile::bytes() const
{
    return (changeFolder + QStringLiteral("\r\n") + compileCommand + QStringLiteral("\r\n") + remark +
            QStringLiteral("\r\n"))
        .toUtf8();
}

BatchFile makeBatchFile(const BatchInputs& in)
{
    return {QStringLiteral("cd \"") + in.compilerFolder + u'"',
            in.compilerName + u' ' + in.optionText + commandWord(in.sourcePath) + QStringLiteral(" > ") +
                commandWord(in.programFolder + QStringLiteral("message.txt")),
            QStringLiteral("rem ") + in.programFolder};
}

QString batchCommand(const QString& interpreter, const QString& programFolder)
{
    return interpreter + QStringLiteral("/C ") + commandWord(programFolder + QStringLiteral("__out.bat"));
}

QString scratchCopyText(const QString& pageFile, const QString& text)
{
    if (pageFile.isEmpty())
        return text;
    QString name;
    for (const char c : pageFile.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"')
            name += u'\\';
        // Octal for anything else but plain characters; '?' too, which could start a trigraph.
        if (byte < 0x20 || byte >= 0x7f || c == '?')
            name += QStringLiteral("\\%1").arg(byte, 3, 8, QChar(u'0'));
        else
            name += QChar(byte);
    }
    return QStringLiteral("#line 1 \"%1\"\n").arg(name) + text;
}

QString runCommand(const QString& interpreter, AfterRun runMode, const QString& program)
{
    return interpreter + (runMode == AfterRun::CloseConsole ? QStringLiteral("/C ") : QStringLiteral("/K ")) +
           commandWord(program);
}

}  // namespace nollex
