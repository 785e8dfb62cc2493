// The client against the real clangd: members after ".", a function's parameters
// after "(", the old compiler's headers, late answers dropped; and a server that
// ends or hangs is started again three times, then given up, with status lines.
#include "lsp/ClangdClient.h"
#include "lsp/PageFlags.h"
#include "support/ProcessGone.h"
#include "support/TempDir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

using namespace nollex::lsp;

namespace {

// Generous: the first answer waits for clangd to read stdio.h.
constexpr int kWait = 30000;

// A page whose line 5 ends in what is being typed; the caret is at its end.
QString pageTyping(const QString& typed)
{
    return QStringLiteral("#include <stdio.h>\n"
                          "#include <conio.h>\n"
                          "struct Point { int x; int y; };\n"
                          "int main(void)\n"
                          "{\n"
                          "    struct Point s; /* 表示😀 */ ") + typed + QStringLiteral("\n}\n");
}

// The caret after typed: the comment's 表示 count one unit each, 😀 two.
Position caretAfter(const QString& typed)
{
    return toLsp(5, 31 + int(typed.size()));
}

const QString kPage = pageTyping(QStringLiteral("s."));

QStringList labels(const QList<CompletionItem>& items)
{
    QStringList out;
    for (const CompletionItem& item : items)
        out << item.label;
    return out;
}

class Clangd : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("clangd")).isEmpty())
            GTEST_SKIP() << "clangd is not installed";
        QDir().mkpath(dir.file("compat/include"));
        dir.write(QStringLiteral("compat/include/conio.h"), "int getch(void);\nint kbhit(void);\n");
        page = dir.file(QStringLiteral("e01.c"));
        command = ClangdCompileCommand({page, QStringLiteral("-w "), {}, dir.file("compat/include")});
        client = std::make_unique<ClangdClient>(ClangdOptions{QStringLiteral("clangd"), dir.path()});
        client->setPage(page, kPage, command);
    }

    QList<CompletionItem> complete(Position at)
    {
        QSignalSpy spy(client.get(), &ClangdClient::completionReady);
        client->requestCompletion(page, at);
        EXPECT_TRUE(spy.wait(kWait));
        return spy.isEmpty() ? QList<CompletionItem>{} : spy.first().at(1).value<QList<CompletionItem>>();
    }

    nollex::test::TempDir dir;
    QString page;
    QStringList command;
    std::unique_ptr<ClangdClient> client;
};

TEST_F(Clangd, MembersParametersAndTheOldHeaders)
{
    EXPECT_FALSE(client->running());  // nothing until the first question
    const QStringList members = labels(complete(caretAfter(QStringLiteral("s."))));
    EXPECT_TRUE(members.contains("x") && members.contains("y")) << members.join(u'|').toStdString();
    EXPECT_EQ(members.size(), 2) << members.join(u'|').toStdString();

    client->setPage(page, pageTyping(QStringLiteral("get")), command);
    const QList<CompletionItem> names = complete(caretAfter(QStringLiteral("get")));
    const auto getch = std::find_if(names.begin(), names.end(), [](auto& i) { return i.label == u"getch()"; });
    ASSERT_NE(getch, names.end()) << labels(names).join(u'|').toStdString();
    EXPECT_EQ(getch->insertText, "getch()");

    QSignalSpy spy(client.get(), &ClangdClient::signatureHelpReady);
    client->setPage(page, pageTyping(QStringLiteral("printf(")), command);
    client->requestSignatureHelp(page, caretAfter(QStringLiteral("printf(")));
    ASSERT_TRUE(spy.wait(kWait));
    const SignatureHelp help = spy.first().at(1).value<SignatureHelp>();
    ASSERT_FALSE(help.signatures.isEmpty());
    const Signature& sig = help.signatures[help.active];
    EXPECT_TRUE(sig.label.contains(u"printf(const char *")) << sig.label.toStdString();
    EXPECT_EQ(sig.label.mid(sig.activeStart, sig.activeEnd - sig.activeStart), "const char *restrict format");
}

TEST_F(Clangd, AnAnswerForAnOlderTextIsDropped)
{
    QSignalSpy spy(client.get(), &ClangdClient::completionReady);
    client->requestCompletion(page, caretAfter(QStringLiteral("s.")));
    QString changed = kPage;
    changed.replace(QStringLiteral("int y;"), QStringLiteral("int y; int zz;"));
    client->setPage(page, changed, command);
    client->requestCompletion(page, caretAfter(QStringLiteral("s.")));
    ASSERT_TRUE(spy.wait(kWait));
    QTest::qWait(500);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_TRUE(labels(spy.first().at(1).value<QList<CompletionItem>>()).contains("zz"));
}

TEST_F(Clangd, AKilledServerIsStartedAgainWithThePages)
{
    ASSERT_FALSE(complete(caretAfter(QStringLiteral("s."))).isEmpty());
    QSignalSpy status(client.get(), &ClangdClient::statusMessage);
    QSignalSpy answers(client.get(), &ClangdClient::completionReady);
    const qint64 first = client->processId();
    // Asked just before the end: the new clangd is asked instead.
    client->requestCompletion(page, caretAfter(QStringLiteral("s.")));
    ::kill(pid_t(first), SIGKILL);
    ASSERT_TRUE(answers.wait(kWait));
    EXPECT_EQ(status.size(), 1);
    EXPECT_EQ(client->restarts(), 1);
    EXPECT_TRUE(labels(answers.first().at(1).value<QList<CompletionItem>>()).contains("x"));
    EXPECT_NE(client->processId(), first);
    const qint64 second = client->processId();
    client.reset();  // ended with the window
    EXPECT_TRUE(nollex::test::processGone(second));
}

TEST_F(Clangd, ABusyServerIsNotTakenForAHungOne)
{
    // Reading the whole library takes clangd far longer than this timeout; its main
    // loop answers at once all the while.
    client = std::make_unique<ClangdClient>(ClangdOptions{QStringLiteral("clangd"), dir.path(), 200});
    const QString cpp = dir.file(QStringLiteral("e02.cpp"));
    client->setPage(cpp, QStringLiteral("#include <bits/stdc++.h>\nint main() { std::vector<int> v; v.pu"),
                    ClangdCompileCommand({cpp, {}, {}, {}}));
    QSignalSpy spy(client.get(), &ClangdClient::completionReady);
    QElapsedTimer took;
    took.start();
    client->requestCompletion(cpp, toLsp(1, 37));
    ASSERT_TRUE(spy.wait(kWait));
    EXPECT_GT(took.elapsed(), 600);  // else this shows nothing
    EXPECT_EQ(client->restarts(), 0);
    EXPECT_TRUE(labels(spy.first().at(1).value<QList<CompletionItem>>()).join(u'|').contains(u"push_back("));
}

// A "clangd" that never answers, or that ends at once.
void givesUpAfterThreeRestarts(const QByteArray& script)
{
    nollex::test::TempDir dir;
    const QString program = dir.write(QStringLiteral("fake-clangd"), script);
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ClangdClient client(ClangdOptions{program, dir.path(), 300});
    QSignalSpy status(&client, &ClangdClient::statusMessage);
    client.setPage(dir.file("a.c"), QStringLiteral("int x;"), {QStringLiteral("gcc"), dir.file("a.c")});
    client.requestCompletion(dir.file("a.c"), {0, 3});
    for (int i = 0; i < 8 && !client.gaveUp(); ++i)
        status.wait(3000);
    EXPECT_TRUE(client.gaveUp());
    EXPECT_EQ(client.restarts(), 3);
    ASSERT_EQ(status.size(), 4);  // three restarts, then the end
    EXPECT_TRUE(status.last().at(0).toString().contains(u"補完を止めます"));
    EXPECT_FALSE(client.running());
    client.requestCompletion(dir.file("a.c"), {0, 3});
    EXPECT_FALSE(client.running());
    QTest::qWait(400);
    EXPECT_EQ(status.size(), 4);
}

TEST(ClangdRestarts, AHangingOrEndingServerIsGivenUpAfterThreeRestarts)
{
    givesUpAfterThreeRestarts("#!/bin/sh\nexec sleep 60\n");
    givesUpAfterThreeRestarts("#!/bin/sh\nexit 3\n");
    givesUpAfterThreeRestarts("#!/bin/sh\nprintf 'Content-Length: x\\r\\n\\r\\n'; exec sleep 60\n");
}

TEST(ClangdRestarts, AMissingServerIsSaidOnce)
{
    ClangdClient client(ClangdOptions{QStringLiteral("/nonexistent/clangd"), QStringLiteral("/tmp")});
    QSignalSpy status(&client, &ClangdClient::statusMessage);
    client.setPage(QStringLiteral("/tmp/a.c"), QStringLiteral("int x;"), {});
    client.requestCompletion(QStringLiteral("/tmp/a.c"), {0, 3});
    client.requestCompletion(QStringLiteral("/tmp/a.c"), {0, 3});
    QTest::qWait(200);
    EXPECT_TRUE(client.gaveUp());
    ASSERT_EQ(status.size(), 1);
    EXPECT_TRUE(status.first().at(0).toString().contains(u"apt install clangd"));
}

}  // namespace
