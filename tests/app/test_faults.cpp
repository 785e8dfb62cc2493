// Faults around files, through the main window's own commands: a disk that runs
// full, folders that refuse writes, files that vanish or change kind between open
// and save, binary and huge files. Each time the error names the file, the page
// keeps every character, the file on disk is whole, and the window goes on.

#include "app/TForm1.h"
#include "editor/TextFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace nollex;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// A folder whose file system runs full. Where this process may mount (root), it is
// a tmpfs of 64 KB, full for real (ENOSPC); elsewhere a file-size limit on this
// process makes every write past 16 KB fail the same way while the disk is "full".
class SmallDisk {
public:
    explicit SmallDisk(const QString& folder) : folder_(folder)
    {
        QDir().mkpath(folder);
        mounted_ = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk()
    {
        free();
        if (mounted_)
            ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
    }
    bool realDisk() const { return mounted_; }

    void fill()
    {
        if (mounted_) {
            remount("size=64k");
            return;
        }
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit small = old_;
        small.rlim_cur = 16 * 1024;
        limited_ = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    void free()
    {
        if (mounted_)
            remount("size=8m");
        else if (limited_)
            ::setrlimit(RLIMIT_FSIZE, &old_);
        limited_ = false;
    }

private:
    void remount(const char* size)
    {
        ::mount("tmpfs", QFile::encodeName(folder_).constData(), "tmpfs", MS_REMOUNT, size);
    }
    QString folder_;
    bool mounted_ = false;
    bool limited_ = false;
    rlimit old_{};
};

// A read-only view of a folder (a read-only bind mount; root only).
class ReadOnlyView {
public:
    ReadOnlyView(const QString& source, const QString& view) : view_(QFile::encodeName(view))
    {
        QDir().mkpath(view);
        const QByteArray from = QFile::encodeName(source);
        ok_ = ::mount(from.constData(), view_.constData(), nullptr, MS_BIND, nullptr) == 0;
        if (ok_ && ::mount(nullptr, view_.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                           nullptr) != 0) {
            ::umount2(view_.constData(), MNT_DETACH);
            ok_ = false;
        }
    }
    ~ReadOnlyView()
    {
        if (ok_)
            ::umount2(view_.constData(), MNT_DETACH);
    }
    bool ok() const { return ok_; }

private:
    QByteArray view_;
    bool ok_ = false;
};

struct FileFaults : ::testing::Test {
    test::TempDir root;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;

    void SetUp() override
    {
        QDir().mkpath(root.file(QStringLiteral("prog")));
        form = std::make_unique<TForm1>(TForm1Deps{dialogs, root.file(QStringLiteral("prog/"))});
        // Shown, as a user has it: the first showing restores the (empty) settings,
        // and closing it is a real close.
        form->show();
    }
    void TearDown() override { form.reset(); }

    TCustomizedMemo* page() const { return form->Memos->ActiveMemo(); }
    QString text() const { return page()->toPlainText(); }

    void open(const QString& path, bool refused = false)
    {
        dialogs.answer(QStringList{path});
        if (refused)
            dialogs.answer(MsgAnswer::Ok);  // the error box
        form->Open1->trigger();
    }
    // A file dropped on the window from a file manager, onto the window itself or
    // onto one of its parts (a page, the message pane).
    void drop(const QString& path, QWidget* target = nullptr)
    {
        if (!target)
            target = form.get();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        // The application delivers a drop to the widget that accepted the drag.
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
    }
    // Replaces the page's text the way typing does: the page becomes modified.
    void type(const QString& text)
    {
        page()->selectAll();
        page()->insertPlainText(text);
        ASSERT_TRUE(page()->Modified());
    }
    // The error box of a failed command: it names the file.
    void expectErrorNaming(const QString& path)
    {
        ASSERT_FALSE(dialogs.asked.isEmpty());
        const test::Asked& a = dialogs.asked.last();
        EXPECT_EQ(a.caption, QStringLiteral("Nollex"));
        EXPECT_EQ(a.icon, MsgIcon::Error);
        EXPECT_TRUE(a.text.contains(path)) << a.text.toStdString();
    }
    bool windowCloses() { return form->close(); }
};

// Some 200 KB of text with Japanese in it: far more than the small disk holds.
QString bigText()
{
    QString t;
    for (int i = 0; i < 4000; ++i)
        t += QStringLiteral("int value%1 = %1; // 値 %1 を保存する\n").arg(i);
    return t;
}

}  // namespace

// Save, and the save at the exit question, on a disk that is full: the old file
// stays whole, no temporary file is left, the page keeps its text and stays
// modified, the window does not close; once there is room, Save writes it all.
TEST_F(FileFaults, SaveOnAFullDiskLosesNothing)
{
    const QString folder = root.file(QStringLiteral("disk/"));
    SmallDisk disk(folder);
    std::printf("full disk: %s\n", disk.realDisk() ? "a 64 KB tmpfs" : "a 16 KB file-size limit");
    const QString path = folder + QStringLiteral("a.cpp");
    writeFile(path, "int old;\n");
    open(path);
    ASSERT_EQ(form->Memos->fileName(0), path);
    const QString big = bigText();
    type(big);

    disk.fill();
    dialogs.answer(MsgAnswer::Ok);
    form->Save1->trigger();
    disk.free();
    expectErrorNaming(path);
    EXPECT_EQ(readAll(path), QByteArray("int old;\n"));
    EXPECT_EQ(entries(folder), QStringList{QStringLiteral("a.cpp")});
    EXPECT_EQ(text(), big);
    EXPECT_TRUE(page()->Modified());
    EXPECT_EQ(form->Memos->fileName(0), path);

    // Closing asks about the page; the save fails again and the window stays.
    disk.fill();
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(MsgAnswer::Ok);
    EXPECT_FALSE(windowCloses());
    disk.free();
    expectErrorNaming(path);
    EXPECT_EQ(readAll(path), QByteArray("int old;\n"));
    EXPECT_EQ(text(), big);

    dialogs.clearAsked();
    form->Save1->trigger();
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_EQ(readAll(path), big.toUtf8());
    EXPECT_FALSE(page()->Modified());
    EXPECT_EQ(entries(folder), QStringList{QStringLiteral("a.cpp")});
}

// Save As into a folder that cannot take files: the page keeps its text, its
// name (none) and its modified state, and Save As elsewhere then works. Root
// writes through permissions, so the refusing folders are a path below a plain
// file and (where mounting is allowed) a read-only mount.
TEST_F(FileFaults, SaveIntoAnUnwritableFolderLosesNothing)
{
    type(QStringLiteral("int draft;\n"));
    writeFile(root.file(QStringLiteral("plain")), "x");
    const QString belowFile = root.file(QStringLiteral("plain/a.cpp"));
    dialogs.answer(belowFile);
    dialogs.answer(MsgAnswer::Ok);
    form->Saveas1->trigger();
    expectErrorNaming(belowFile);
    EXPECT_TRUE(form->Memos->fileName(0).isEmpty());
    EXPECT_TRUE(page()->Modified());
    EXPECT_EQ(text(), QStringLiteral("int draft;\n"));

    QDir().mkpath(root.file(QStringLiteral("src")));
    writeFile(root.file(QStringLiteral("src/b.cpp")), "int b;\n");
    const ReadOnlyView view(root.file(QStringLiteral("src")), root.file(QStringLiteral("ro")));
    if (view.ok()) {
        const QString readOnly = root.file(QStringLiteral("ro/b.cpp"));
        open(readOnly);
        ASSERT_EQ(form->Memos->fileName(1), readOnly);
        type(QStringLiteral("int b2;\n"));
        dialogs.answer(MsgAnswer::Ok);
        form->Save1->trigger();
        expectErrorNaming(readOnly);
        EXPECT_EQ(readAll(readOnly), QByteArray("int b;\n"));
        EXPECT_TRUE(page()->Modified());
        EXPECT_EQ(text(), QStringLiteral("int b2;\n"));
    } else {
        std::printf("no read-only mount here: that part is skipped\n");
    }

    const QString elsewhere = root.file(QStringLiteral("ok.cpp"));
    dialogs.answer(elsewhere);
    form->Saveas1->trigger();
    EXPECT_EQ(readAll(elsewhere), text().toUtf8());
    EXPECT_EQ(form->Memos->fileName(form->Memos->ActiveIndex()), elsewhere);
    EXPECT_FALSE(page()->Modified());
}

// The page's file changes under it between open and save. Deleted or made
// unreadable: Save writes the page's text anew (or, where permissions bind,
// refuses with the name). Its folder gone, or a folder in
// its place: the save is refused with the name, nothing on disk is touched, and
// Save As elsewhere keeps the text.
TEST_F(FileFaults, FileChangedBetweenOpenAndSave)
{
    const QString deleted = root.write(QStringLiteral("deleted.cpp"), "int a;\n");
    open(deleted);
    type(QStringLiteral("int a2;\n"));
    QFile::remove(deleted);
    form->Save1->trigger();
    EXPECT_EQ(readAll(deleted), QByteArray("int a2;\n"));
    EXPECT_FALSE(page()->Modified());

    const QString locked = root.write(QStringLiteral("locked.cpp"), "int l;\n");
    open(locked);
    type(QStringLiteral("int l2;\n"));
    QFile::setPermissions(locked, {});
    // Root writes it; anyone else is refused with the file's name and keeps the page.
    const bool asRoot = ::geteuid() == 0;
    if (!asRoot)
        dialogs.answer(MsgAnswer::Ok);
    form->Save1->trigger();
    if (!asRoot)
        expectErrorNaming(locked);
    EXPECT_EQ(page()->Modified(), !asRoot);
    EXPECT_EQ(text(), QStringLiteral("int l2;\n"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readAll(locked), asRoot ? QByteArray("int l2;\n") : QByteArray("int l;\n"));

    QDir().mkpath(root.file(QStringLiteral("gone")));
    const QString inGone = root.write(QStringLiteral("gone/b.cpp"), "int b;\n");
    open(inGone);
    type(QStringLiteral("int b2;\n"));
    QDir(root.file(QStringLiteral("gone"))).removeRecursively();
    dialogs.answer(MsgAnswer::Ok);
    form->Save1->trigger();
    expectErrorNaming(inGone);
    EXPECT_FALSE(QFileInfo::exists(root.file(QStringLiteral("gone"))));
    EXPECT_TRUE(page()->Modified());
    EXPECT_EQ(text(), QStringLiteral("int b2;\n"));

    const QString becameFolder = root.write(QStringLiteral("c.cpp"), "int c;\n");
    open(becameFolder);
    type(QStringLiteral("int c2;\n"));
    QFile::remove(becameFolder);
    QDir().mkpath(becameFolder);
    root.write(QStringLiteral("c.cpp/inside"), "kept");
    dialogs.answer(MsgAnswer::Ok);
    form->Save1->trigger();
    expectErrorNaming(becameFolder);
    EXPECT_EQ(root.read(QStringLiteral("c.cpp/inside")), QByteArray("kept"));
    EXPECT_EQ(text(), QStringLiteral("int c2;\n"));
    EXPECT_TRUE(page()->Modified());

    const QString rescue = root.file(QStringLiteral("rescued.cpp"));
    dialogs.answer(rescue);
    form->Saveas1->trigger();
    EXPECT_EQ(readAll(rescue), QByteArray("int c2;\n"));
}

// Binary files and files too large for a page are refused by Open and by a drop
// with a message naming the file: no page is added or changed, nothing is read
// into memory first, and the next file opens.
TEST_F(FileFaults, BinaryAndHugeFilesAreRefused)
{
    std::mt19937 rng(7);
    QByteArray binary(4096, '\0');
    for (char& c : binary)
        c = char(rng() % 256);
    binary[100] = '\0';
    const QString bin = root.write(QStringLiteral("page.bin"), binary);
    const QString program = root.write(QStringLiteral("program.exe"),
                                       readAll(QCoreApplication::applicationFilePath()));

    // A sparse file: 2 GB long, no disk space taken.
    const QString huge = root.file(QStringLiteral("huge.c"));
    writeFile(huge, "int x;\n");
    ASSERT_TRUE(QFile::resize(huge, qint64(2) * 1024 * 1024 * 1024));
    // Just over the limit.
    const QString over = root.file(QStringLiteral("over.c"));
    writeFile(over, {});
    ASSERT_TRUE(QFile::resize(over, MaxTextFileBytes + 1));

    type(QStringLiteral("int kept;\n"));
    // Dropped on a page or the message pane, a file takes the window's drop path
    // too: the page must not get its address typed in.
    QWidget* const targets[] = {form.get(), page()->viewport(), form->Memo2->viewport(), page()->viewport()};
    int t = 0;
    for (const QString& path : {bin, program, huge, over}) {
        SCOPED_TRACE(path.toStdString());
        dialogs.clearAsked();
        open(path, true);
        expectErrorNaming(path);
        dialogs.answer(MsgAnswer::Ok);
        drop(path, targets[t++]);
        expectErrorNaming(path);
    }
    EXPECT_EQ(form->Memos->LastIndex(), 0);
    EXPECT_EQ(text(), QStringLiteral("int kept;\n"));

    dialogs.clearAsked();
    open(huge, true);
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked[1].text,
              QStringLiteral("ファイル \"%1\" は大きすぎるため開けません (2048 MB、開けるのは 256 MB まで)")
                  .arg(huge));

    const QString fine = root.write(QStringLiteral("fine.c"), "int fine;\n");
    open(fine);
    EXPECT_EQ(form->Memos->fileName(form->Memos->ActiveIndex()), fine);
}
