#include "lsp/ClangdClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <QUrl>

namespace nollex::lsp {

namespace {

QString uriOf(const QString& file)
{
    return QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
}

QJsonObject textDocument(const QString& file)
{
    return {{QStringLiteral("uri"), uriOf(file)}};
}

QJsonObject capabilities()
{
    // No snippets: the window writes plain text and adds a function's parentheses itself.
    const QJsonObject completion{
        {QStringLiteral("completionItem"), QJsonObject{{QStringLiteral("snippetSupport"), false}}}};
    const QJsonObject signature{
        {QStringLiteral("signatureInformation"),
         QJsonObject{{QStringLiteral("parameterInformation"),
                      QJsonObject{{QStringLiteral("labelOffsetSupport"), true}}},
                     {QStringLiteral("activeParameterSupport"), true}}}};
    return {{QStringLiteral("textDocument"),
             QJsonObject{{QStringLiteral("completion"), completion}, {QStringLiteral("signatureHelp"), signature}}}};
}

}  // namespace

ClangdClient::ClangdClient(ClangdOptions options, QObject* parent) : QObject(parent), options_(std::move(options))
{
    watch_.setInterval(qMax(50, options_.answerTimeoutMs / 4));
    connect(&watch_, &QTimer::timeout, this, &ClangdClient::checkTimes);
}

ClangdClient::~ClangdClient()
{
    stop();
}

qint64 ClangdClient::processId() const
{
    return process_ ? process_->processId() : 0;
}

void ClangdClient::start()
{
    if (process_ || gaveUp_)
        return;
    process_ = new QProcess(this);
    process_->setWorkingDirectory(options_.workFolder);
    process_->setStandardErrorFile(QProcess::nullDevice());
    // Compile commands come only from here (never a compile_commands.json beside a
    // page), nothing is indexed to disk beside the pages, and no driver is run.
    // A completion waits in clangd for the page's headers to be read, never with
    // the identifiers of the text alone; the window does not wait either way.
    process_->setArguments({QStringLiteral("--log=error"), QStringLiteral("--compile_args_from=lsp"),
                            QStringLiteral("--completion-parse=always"),
                            QStringLiteral("--background-index=false"), QStringLiteral("--header-insertion=never"),
                            QStringLiteral("--pch-storage=memory")});
    process_->setProgram(options_.program);
    connect(process_, &QProcess::readyReadStandardOutput, this, &ClangdClient::onOutput);
    connect(process_, &QProcess::finished, this, &ClangdClient::onEnded);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        stop();
        gaveUp_ = true;
        emit statusMessage(QStringLiteral("clangd を起動できません: 補完は使えません (Debian: apt install clangd)"));
    });
    process_->start();
    if (!process_)
        return;  // it could not be started, and that was said
    heard_.start();
    initializeId_ = nextId_++;
    Pending init{QStringLiteral("initialize"), {}, 0, {}, {}};
    init.sent.start();
    pending_.insert(initializeId_, init);
    sendRequest(initializeId_, QStringLiteral("initialize"),
                {{QStringLiteral("processId"), QCoreApplication::applicationPid()},
                 {QStringLiteral("rootUri"), QJsonValue::Null},
                 {QStringLiteral("capabilities"), capabilities()}});
    watch_.start();
}

void ClangdClient::stop()
{
    watch_.stop();
    if (process_) {
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished(1000);  // reaps it; a killed process ends at once
        // Later: stop may run inside one of the process's own signals.
        process_->deleteLater();
        process_ = nullptr;
    }
    reader_ = JsonRpcReader();
    pending_.clear();
    waiting_.clear();
    probeId_ = -1;
    initialized_ = false;
    for (Page& page : pages_)
        page.open = page.commandSent = false;
}

void ClangdClient::restart(const QString& why)
{
    // The questions about the pages' present texts are asked the new clangd.
    QList<Pending> again;
    for (auto it = pending_.cbegin(); it != pending_.cend(); ++it) {
        const auto page = pages_.constFind(it->file);
        if (it.key() != initializeId_ && page != pages_.constEnd() && page->version == it->version)
            again << *it;
    }
    stop();
    if (restarts_ >= options_.maxRestarts) {
        gaveUp_ = true;
        emit statusMessage(QStringLiteral("clangd が%1: 補完を止めます").arg(why));
        return;
    }
    ++restarts_;
    emit statusMessage(QStringLiteral("clangd が%1: 起動し直します (%2/%3)").arg(why).arg(restarts_).arg(options_.maxRestarts));
    for (const Pending& pending : again)
        request(pending.method, pending.file, pending.at);
    start();  // even when nothing was asked: the pages are opened again
}

void ClangdClient::send(const QJsonObject& message)
{
    if (process_)
        process_->write(frameMessage(message));
}

void ClangdClient::sendRequest(int id, const QString& method, const QJsonObject& params)
{
    send({{QStringLiteral("jsonrpc"), QStringLiteral("2.0")}, {QStringLiteral("id"), id},
          {QStringLiteral("method"), method}, {QStringLiteral("params"), params}});
}

void ClangdClient::notify(const QString& method, const QJsonObject& params)
{
    send({{QStringLiteral("jsonrpc"), QStringLiteral("2.0")}, {QStringLiteral("method"), method},
          {QStringLiteral("params"), params}});
}

void ClangdClient::setPage(const QString& file, const QString& text, const QStringList& compileCommand)
{
    Page& page = pages_[file];
    ++page.version;
    page.text = text;
    if (page.command != compileCommand) {
        page.command = compileCommand;
        page.commandSent = false;
    }
    if (initialized_)
        syncPage(file);
}

void ClangdClient::closePage(const QString& file)
{
    const auto it = pages_.find(file);
    if (it == pages_.end())
        return;
    if (initialized_ && it->open)
        notify(QStringLiteral("textDocument/didClose"), {{QStringLiteral("textDocument"), textDocument(file)}});
    pages_.erase(it);
}

// Tells clangd the page's command when it changed, then its whole text.
void ClangdClient::syncPage(const QString& file)
{
    Page& page = pages_[file];
    if (!page.commandSent) {
        const QJsonObject command{{QStringLiteral("workingDirectory"), QDir(options_.workFolder).absolutePath()},
                                  {QStringLiteral("compilationCommand"), QJsonArray::fromStringList(page.command)}};
        notify(QStringLiteral("workspace/didChangeConfiguration"),
               {{QStringLiteral("settings"),
                 QJsonObject{{QStringLiteral("compilationDatabaseChanges"), QJsonObject{{file, command}}}}}});
        page.commandSent = true;
    }
    QJsonObject doc = textDocument(file);
    doc.insert(QStringLiteral("version"), page.version);
    if (!page.open) {
        doc.insert(QStringLiteral("languageId"), page.command.contains(QStringLiteral("c++")) ? QStringLiteral("cpp")
                                                                                               : QStringLiteral("c"));
        doc.insert(QStringLiteral("text"), page.text);
        notify(QStringLiteral("textDocument/didOpen"), {{QStringLiteral("textDocument"), doc}});
        page.open = true;
    } else {
        const QJsonArray changes{QJsonObject{{QStringLiteral("text"), page.text}}};
        notify(QStringLiteral("textDocument/didChange"),
               {{QStringLiteral("textDocument"), doc}, {QStringLiteral("contentChanges"), changes}});
    }
}

void ClangdClient::requestCompletion(const QString& file, Position at)
{
    request(QStringLiteral("textDocument/completion"), file, at);
}

void ClangdClient::requestSignatureHelp(const QString& file, Position at)
{
    request(QStringLiteral("textDocument/signatureHelp"), file, at);
}

void ClangdClient::request(const QString& method, const QString& file, Position at)
{
    if (gaveUp_ || !pages_.contains(file))
        return;
    start();
    if (!process_)
        return;
    const int id = nextId_++;
    Pending pending{method, file, pages_[file].version, {}, at};
    pending.sent.start();
    pending_.insert(id, pending);
    const QJsonObject message{
        {QStringLiteral("jsonrpc"), QStringLiteral("2.0")}, {QStringLiteral("id"), id}, {QStringLiteral("method"), method},
        {QStringLiteral("params"),
         QJsonObject{{QStringLiteral("textDocument"), textDocument(file)},
                     {QStringLiteral("position"),
                      QJsonObject{{QStringLiteral("line"), at.line}, {QStringLiteral("character"), at.character}}}}}};
    if (initialized_)
        send(message);
    else
        waiting_ << message;
}

void ClangdClient::onOutput()
{
    // The process may be replaced by a restart while its messages are handled.
    QProcess* from = process_;
    reader_.feed(from->readAllStandardOutput());
    while (process_ == from) {
        const std::optional<QJsonObject> message = reader_.next();
        if (!message)
            break;
        onMessage(*message);
    }
    if (process_ == from && reader_.broken())
        restart(QStringLiteral("読めない応答を返しました (%1)").arg(reader_.error()));
}

void ClangdClient::onMessage(const QJsonObject& message)
{
    heard_.start();
    const QJsonValue id = message.value(u"id");
    if (message.contains(u"method")) {
        // A question from clangd (progress tokens and the like): answered, never waited on.
        if (!id.isUndefined())
            send({{QStringLiteral("jsonrpc"), QStringLiteral("2.0")}, {QStringLiteral("id"), id},
                  {QStringLiteral("result"), QJsonValue::Null}});
        return;
    }
    if (id.isDouble() && id.toInt() == probeId_)
        probeId_ = -1;
    else if (id.isDouble())
        onAnswer(id.toInt(), message);
}

void ClangdClient::onAnswer(int id, const QJsonObject& message)
{
    const auto it = pending_.find(id);
    if (it == pending_.end())
        return;
    const Pending pending = *it;
    pending_.erase(it);
    if (id == initializeId_) {
        onInitialized();
        return;
    }
    const auto page = pages_.constFind(pending.file);
    // An answer about an older text would list what no longer fits at the caret.
    if (page == pages_.constEnd() || page->version != pending.version || message.contains(u"error"))
        return;
    if (pending.method == u"textDocument/completion")
        emit completionReady(pending.file, parseCompletion(message.value(u"result")));
    else
        emit signatureHelpReady(pending.file, parseSignatureHelp(message.value(u"result")));
}

void ClangdClient::onInitialized()
{
    initialized_ = true;
    notify(QStringLiteral("initialized"), {});
    for (auto it = pages_.begin(); it != pages_.end(); ++it)
        syncPage(it.key());
    const QList<QJsonObject> waiting = std::exchange(waiting_, {});
    for (const QJsonObject& message : waiting)
        send(message);
}

void ClangdClient::onEnded()
{
    restart(QStringLiteral("終了しました"));
}

void ClangdClient::checkTimes()
{
    const int timeout = options_.answerTimeoutMs;
    if (probeId_ >= 0 && heard_.hasExpired(timeout)) {
        restart(QStringLiteral("応答しません"));
        return;
    }
    bool late = false;
    for (const Pending& pending : std::as_const(pending_)) {
        if (pending.sent.hasExpired(options_.giveUpAfterMs)) {
            restart(QStringLiteral("応答しません"));
            return;
        }
        late = late || pending.sent.hasExpired(timeout);
    }
    // Any method clangd does not know is answered at once by its main loop.
    if (late && probeId_ < 0 && heard_.hasExpired(timeout)) {
        probeId_ = nextId_++;
        heard_.start();
        sendRequest(probeId_, QStringLiteral("nollex/alive"), {});
    }
}

}  // namespace nollex::lsp
