#include "SampleCases.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nollex {

namespace {

QString withSlash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// Something is there, a dangling link included: a new file must not take its place.
bool present(const QString& path)
{
    struct stat st {};
    return lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QByteArray fileBytes(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    // A text file ends with a line end, as a downloaded case does.
    if (!t.isEmpty() && !t.endsWith(u'\n'))
        t += u'\n';
    return t.toUtf8();
}

QString failure(const QString& path, int error)
{
    return QStringLiteral("ファイル \"%1\" に書き込めません（%2）").arg(path, qt_error_string(error));
}

// Creates the file, which must not exist yet, with bytes in it: 0, or the errno.
int writeNew(const QString& path, const QByteArray& bytes)
{
    const int fd = open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    int error = 0;
    for (qsizetype done = 0; done < bytes.size() && error == 0;) {
        const ssize_t n = write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (errno != EINTR)
            error = errno;
    }
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        unlink(QFile::encodeName(path).constData());
    return error;
}

}  // namespace

CaseFileBytes readCaseFile(const QString& path, qint64 limit, bool whole)
{
    CaseFileBytes result;
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return result;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return result;
    }
    result.tooLarge = whole && st.st_size > limit;
    QByteArray bytes;
    bool failed = false;
    if (!result.tooLarge) {
        // The size may change while it is read: never more than limit all the same.
        bytes.resize(qsizetype(std::min<qint64>(st.st_size, limit)));
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = read(fd, bytes.data() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
            } else if (n == 0 || errno != EINTR) {
                failed = n < 0;  // a shorter file is read as it now is
                break;
            }
        }
        bytes.truncate(done);
    }
    close(fd);
    if (!failed)
        result.bytes = std::move(bytes);
    return result;
}

bool naturalLess(const QString& a, const QString& b)
{
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && digit(a[ei]))
                ++ei;
            while (ej < b.size() && digit(b[ej]))
                ++ej;
            // Leading zeros aside, the longer run of digits is the larger number.
            QStringView x = QStringView(a).sliced(i, ei - i), y = QStringView(b).sliced(j, ej - j);
            while (x.size() > 1 && x[0] == u'0')
                x = x.sliced(1);
            while (y.size() > 1 && y[0] == u'0')
                y = y.sliced(1);
            if (x.size() != y.size())
                return x.size() < y.size();
            if (const int c = x.compare(y); c != 0)
                return c < 0;
            i = ei, j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i, ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;  // "sample-01" and "sample-1": one order all the same
}

QList<CaseFiles> findCases(const QString& testFolder)
{
    const QString folder = withSlash(testFolder);
    QList<CaseFiles> cases;
    const QStringList inputs = QDir(folder).entryList({QStringLiteral("*.in")}, QDir::Files | QDir::Hidden);
    for (const QString& file : inputs) {
        const QString name = file.chopped(3);
        if (name.isEmpty() || !QFileInfo(folder + file).isFile())
            continue;
        const QString output = folder + name + QStringLiteral(".out");
        cases.append({name, folder + file, QFileInfo(output).isFile() ? output : QString()});
    }
    std::sort(cases.begin(), cases.end(),
              [](const CaseFiles& x, const CaseFiles& y) { return naturalLess(x.name, y.name); });
    return cases;
}

QString nextSampleName(const QString& testFolder)
{
    const QString folder = withSlash(testFolder);
    for (int n = 1;; ++n) {
        QString name = QStringLiteral("sample-%1").arg(n);
        if (!present(folder + name + QStringLiteral(".in")) && !present(folder + name + QStringLiteral(".out")))
            return name;
    }
}

AddedSample addSample(const QString& testFolder, const QString& input, const QString& expected)
{
    const QString folder = withSlash(testFolder);
    const QByteArray folderName = QFile::encodeName(folder);
    if (mkdir(folderName.constData(), 0755) != 0 && errno != EEXIST)
        return {{}, QStringLiteral("フォルダー \"%1\" を作れません（%2）").arg(folder, qt_error_string(errno))};
    // Another writer may take a name between the look and the write: then the next.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = nextSampleName(folder);
        const QString in = folder + name + QStringLiteral(".in");
        const QString out = folder + name + QStringLiteral(".out");
        int error = writeNew(in, fileBytes(input));
        if (error == EEXIST)
            continue;
        if (error != 0)
            return {{}, failure(in, error)};
        error = writeNew(out, fileBytes(expected));
        if (error == 0)
            return {name, {}};
        unlink(QFile::encodeName(in).constData());
        if (error != EEXIST)
            return {{}, failure(out, error)};
    }
    return {{}, QStringLiteral("フォルダー \"%1\" に新しいサンプルを書き込めません").arg(folder)};
}

}  // namespace nollex
