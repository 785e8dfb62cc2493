#include "CodeFormat.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace nollex {

bool isLayoutBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v';
}

QString styleFileAbove(const QString& folder)
{
    if (folder.isEmpty())
        return QString();
    QDir dir(QFileInfo(folder).absoluteFilePath());
    while (true) {
        for (const char* name : {".clang-format", "_clang-format"}) {
            QString path = dir.filePath(QString::fromLatin1(name));
            if (QFileInfo(path).isFile())
                return path;
        }
        if (!dir.cdUp())
            return QString();
    }
}

bool indentsWithTabs(QStringView text)
{
    qsizetype tabs = 0;
    qsizetype spaces = 0;
    bool lineStart = true;
    for (const QChar c : text) {
        if (lineStart && c == u'\t')
            ++tabs;
        else if (lineStart && c == u' ')
            ++spaces;
        lineStart = c == u'\n';
    }
    return tabs > spaces;
}

QString textbookStyle(int tabWidth, bool tabs)
{
    const QString n = QString::number(std::clamp(tabWidth, 1, 16));
    return QStringLiteral("{BasedOnStyle: LLVM, IndentWidth: %1, TabWidth: %1, UseTab: %2, "
                          "BreakBeforeBraces: Custom, BraceWrapping: {AfterFunction: true}, "
                          "AllowShortFunctionsOnASingleLine: None, "
                          "AllowShortIfStatementsOnASingleLine: Never, AllowShortLoopsOnASingleLine: false, "
                          "SortIncludes: false, ReflowComments: false, BreakStringLiterals: false, "
                          "FixNamespaceComments: false}")
        .arg(n, tabs ? QStringLiteral("ForIndentation") : QStringLiteral("Never"));
}

std::optional<std::vector<TextEdit>> blankEdits(QStringView from, QStringView to)
{
    std::vector<TextEdit> edits;
    qsizetype i = 0;
    qsizetype j = 0;
    while (true) {
        const qsizetype i0 = i;
        const qsizetype j0 = j;
        while (i < from.size() && isLayoutBlank(from[i]))
            ++i;
        while (j < to.size() && isLayoutBlank(to[j]))
            ++j;
        if (from.sliced(i0, i - i0) != to.sliced(j0, j - j0))
            edits.push_back(TextEdit{i0, i - i0, to.sliced(j0, j - j0).toString()});
        if (i == from.size() || j == to.size())
            break;
        if (from[i] != to[j])
            return std::nullopt;
        ++i;
        ++j;
    }
    if (i != from.size() || j != to.size())
        return std::nullopt;
    return edits;
}

qsizetype caretAfterLayout(QStringView from, QStringView to, qsizetype caret)
{
    caret = std::clamp<qsizetype>(caret, 0, from.size());
    qsizetype marks = 0;  // non-blank characters before the caret
    for (qsizetype i = 0; i < caret; ++i)
        marks += isLayoutBlank(from[i]) ? 0 : 1;
    // After a non-blank character the caret stays right behind it; in blanks it
    // goes before the next one (the start of its statement's text).
    const bool behind = caret > 0 && !isLayoutBlank(from[caret - 1]);
    qsizetype seen = 0;
    for (qsizetype j = 0; j < to.size(); ++j) {
        if (isLayoutBlank(to[j]))
            continue;
        if (!behind && seen == marks)
            return j;
        if (++seen == marks && behind)
            return j + 1;
    }
    return behind || marks > 0 ? to.size() : 0;
}

namespace {

QStringList formatArguments(const FormatRequest& r, const QString& styleFile)
{
    // The page's own path lets clang-format find its style file; an untitled
    // page is named only for the language.
    const QString name = r.file.isEmpty()
                             ? QDir::temp().filePath(r.cpp ? QStringLiteral("untitled.cpp") : QStringLiteral("untitled.c"))
                             : QFileInfo(r.file).absoluteFilePath();
    QStringList args = {QStringLiteral("--assume-filename=") + name,
                        // Sorting moves lines: more than blanks would change.
                        QStringLiteral("--sort-includes=false")};
    args << (styleFile.isEmpty() ? QStringLiteral("--style=") + textbookStyle(r.tabWidth, indentsWithTabs(r.text))
                                 : QStringLiteral("--style=file"));
    return args;
}

FormatResult failed(FormatResult::Status status, const QString& why)
{
    FormatResult r;
    r.status = status;
    r.why = why;
    return r;
}

}  // namespace

FormatResult formatCode(const FormatRequest& request)
{
    const QString program = QStandardPaths::findExecutable(request.program);
    if (program.isEmpty())
        return failed(FormatResult::Missing,
                      QStringLiteral("clang-format がありません。整形には clang-format が要ります"
                                     "（Debian: apt install clang-format）。"));
    const QString styleFile = request.file.isEmpty() ? QString() : styleFileAbove(QFileInfo(request.file).absolutePath());
    QProcess p;
    p.setWorkingDirectory(QDir::tempPath());
    p.start(program, formatArguments(request, styleFile));
    if (!p.waitForStarted(request.timeoutMs))
        return failed(FormatResult::Missing, QStringLiteral("clang-format を起動できません: ") + p.errorString());
    p.write(request.text.toUtf8());
    p.closeWriteChannel();
    if (!p.waitForFinished(request.timeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
        return failed(FormatResult::Failed, QStringLiteral("clang-format が時間内に終わりませんでした。"));
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        const QString err = QString::fromUtf8(p.readAllStandardError()).trimmed();
        return failed(FormatResult::Failed, QStringLiteral("clang-format が整形できませんでした") +
                                                (styleFile.isEmpty() ? QString() : QStringLiteral("（") + styleFile + QStringLiteral("）")) +
                                                QStringLiteral(": ") + err);
    }
    FormatResult r;
    r.formatted = QString::fromUtf8(p.readAllStandardOutput());
    std::optional<std::vector<TextEdit>> edits = blankEdits(request.text, r.formatted);
    if (!edits)
        return failed(FormatResult::NotOnlyBlanks,
                      QStringLiteral("整形は空白と改行のほかも変えるので、ページはそのままです") +
                          (styleFile.isEmpty() ? QString() : QStringLiteral("（") + styleFile + QStringLiteral(" の設定）")) +
                          QStringLiteral("。"));
    r.status = FormatResult::Done;
    r.edits = std::move(*edits);
    return r;
}

}  // namespace nollex
