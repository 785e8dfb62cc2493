#pragma once
// One window's clangd: started on the first question, ended with the window. The
// window never waits for it: pages and questions go in by calls, answers come out
// by signals when they come, and an answer about an older text of its page is
// dropped. A clangd that ends, sends what cannot be read, or is hung is started
// again, at most maxRestarts times; then completion stops with one status line.
// A question can take long while clangd reads a page's headers (bits/stdc++.h) on
// its workers: so an answer late by answerTimeoutMs only makes the client ask
// clangd's main loop a question it answers at once, and only no answer to that
// (or no answer at all after giveUpAfterMs) counts as hung.

#include "lsp/Answers.h"
#include "lsp/JsonRpc.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QProcess;

namespace nollex::lsp {

struct ClangdOptions {
    QString program = QStringLiteral("clangd");
    QString workFolder;  // the user's private cache folder: clangd's current folder
    int answerTimeoutMs = 8000;
    int maxRestarts = 3;
    int giveUpAfterMs = 60000;
};

class ClangdClient : public QObject {
    Q_OBJECT
public:
    explicit ClangdClient(ClangdOptions options, QObject* parent = nullptr);
    ~ClangdClient() override;
    ClangdClient(const ClangdClient&) = delete;
    ClangdClient& operator=(const ClangdClient&) = delete;

    // A page's whole text and its compile command (ClangdCompileCommand); every call
    // is a new version. Starts nothing: a running clangd is told at once.
    void setPage(const QString& file, const QString& text, const QStringList& compileCommand);
    void closePage(const QString& file);

    // The answers come as completionReady and signatureHelpReady; an unknown page
    // or a client that gave up asks nothing.
    void requestCompletion(const QString& file, Position at);
    void requestSignatureHelp(const QString& file, Position at);

    bool running() const { return process_ != nullptr; }
    bool gaveUp() const { return gaveUp_; }
    int restarts() const { return restarts_; }
    qint64 processId() const;

signals:
    void completionReady(const QString& file, const QList<nollex::lsp::CompletionItem>& items);
    void signatureHelpReady(const QString& file, const nollex::lsp::SignatureHelp& help);
    void statusMessage(const QString& text);

private:
    struct Page {
        QString text;
        QStringList command;
        int version = 0;
        bool open = false;        // clangd has it
        bool commandSent = false;
    };
    struct Pending {
        QString method;
        QString file;
        int version = 0;
        QElapsedTimer sent;
        Position at;
    };

    void start();
    void stop();
    void restart(const QString& why);
    void request(const QString& method, const QString& file, Position at);
    void send(const QJsonObject& message);
    void sendRequest(int id, const QString& method, const QJsonObject& params);
    void notify(const QString& method, const QJsonObject& params);
    void syncPage(const QString& file);
    void onOutput();
    void onMessage(const QJsonObject& message);
    void onAnswer(int id, const QJsonObject& message);
    void onInitialized();
    void onEnded();
    void checkTimes();

    ClangdOptions options_;
    QProcess* process_ = nullptr;
    JsonRpcReader reader_;
    QHash<QString, Page> pages_;
    QHash<int, Pending> pending_;
    QList<QJsonObject> waiting_;  // questions asked before clangd answered initialize
    QTimer watch_;
    QElapsedTimer heard_;  // since clangd last sent anything
    int probeId_ = -1;     // the question that shows clangd's main loop is alive
    int nextId_ = 1;
    int initializeId_ = -1;
    bool initialized_ = false;
    bool gaveUp_ = false;
    int restarts_ = 0;
};

}  // namespace nollex::lsp
