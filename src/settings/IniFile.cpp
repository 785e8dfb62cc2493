#include "IniFile.h"

#include "platform/Errors.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <atomic>
#include <utility>
#include <cerrno>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nollex {

namespace {

// A value is read into a buffer of 2048 bytes, terminator included.
constexpr qsizetype MaxValueBytes = 2047;

const QByteArray CrLf = QByteArrayLiteral("\r\n");
const QByteArray Utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

QString trimBlanks(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b].unicode()))
        ++b;
    while (e > b && isBlank(s[e - 1].unicode()))
        --e;
    return s.mid(b, e - b);
}

QString trimTrailingBlanks(const QString& s)
{
    qsizetype e = s.size();
    while (e > 0 && isBlank(s[e - 1].unicode()))
        --e;
    return s.left(e);
}

QByteArray trimBlanks(const QByteArray& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && isBlank(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.mid(b, e - b);
}

bool isShiftJisLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The longest prefix of at most max bytes that ends on a character boundary.
QByteArray capBytes(const QByteArray& s, bool shiftJis, qsizetype max = MaxValueBytes)
{
    if (s.size() <= max)
        return s;
    qsizetype cut = 0;
    if (shiftJis) {
        while (cut < s.size()) {
            const qsizetype len = isShiftJisLead(static_cast<unsigned char>(s[cut])) ? 2 : 1;
            if (cut + len > max)
                break;
            cut += len;
        }
    } else {
        cut = max;
        while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80)
            --cut;
    }
    return s.left(cut);
}

// A name or value as one line of UTF-8: a line break would split the entry.
QByteArray asOneLine(const QString& s)
{
    QString t = s;
    t.replace(u'\r', u' ').replace(u'\n', u' ');
    return t.toUtf8();
}

QString normalisedName(const QString& name)
{
    return trimBlanks(QString::fromUtf8(asOneLine(name)));
}

NollexError refused(const QString& path)
{
    return NollexError(QStringLiteral("%1 に書き込めません").arg(path));
}

struct Stamp {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = -1;
    timespec mtime{};
    timespec ctime{};

    static Stamp of(const struct stat& st)
    {
        return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    }
    bool operator==(const Stamp& o) const
    {
        return dev == o.dev && ino == o.ino && size == o.size &&
               mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
               ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

// File times advance in coarse steps, so a file changed within the last moments
// may change again without its stamp changing: such a file is re-read (and
// compared) on every access until it has aged.
bool changedRecently(const struct stat& st)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return st.st_mtim.tv_sec >= now.tv_sec - 2;
}

enum class FileState { NotRead, Missing, Loaded, Unusable };

// Reads a regular file without ever blocking on a pipe or device.
FileState readRegularFile(const QString& path, QByteArray& bytes, struct stat& st)
{
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &st) != 0)
        return (errno == ENOENT || errno == ENOTDIR) ? FileState::Missing : FileState::Unusable;
    if (!S_ISREG(st.st_mode))
        return FileState::Unusable;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT ? FileState::Missing : FileState::Unusable;
    FileState state = FileState::Unusable;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        bytes.clear();
        bytes.reserve(static_cast<qsizetype>(st.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                bytes.append(buffer, n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            state = n == 0 ? FileState::Loaded : FileState::Unusable;
            break;
        }
    }
    ::close(fd);
    return state;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Replaces the file with bytes as one step: a new file is written and synced
// beside it and renamed over it, so a crash or a full disk leaves either the old
// file or the new one, never a part. A symbolic link is followed to its file.
bool replaceFile(const QString& path, const QByteArray& bytes)
{
    QString target = path;
    for (int depth = 0; depth < 40 && QFileInfo(target).isSymLink(); ++depth)
        target = QFileInfo(target).symLinkTarget();
    const QFileInfo info(target);
    const QByteArray finalName = QFile::encodeName(target);
    const QByteArray folder = QFile::encodeName(info.absolutePath());

    struct stat old{};
    const bool existed = ::stat(finalName.constData(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode))
        return false;
    // The rename needs only the folder's permission: keep a read-only file as it
    // is, also for root, whom permissions do not stop.
    if (existed && (::access(finalName.constData(), W_OK) != 0 || (old.st_mode & 0222) == 0))
        return false;

    static std::atomic<unsigned> counter{0};
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = QFile::encodeName(info.absolutePath() + u'/' + u'.' + info.fileName()) + '.' +
               QByteArray::number(qint64(::getpid())) + '.' +
               QByteArray::number(counter.fetch_add(1)) + ".tmp";
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    if (existed) {
        (void)::fchown(fd, old.st_uid, old.st_gid);  // only root can, and then should
        (void)::fchmod(fd, old.st_mode & 07777);
    }
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = ::rename(temp.constData(), finalName.constData()) == 0;
    if (!ok) {
        ::unlink(temp.constData());
        return false;
    }
    // The rename reaches the disk only with its folder.
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

enum class Kind { Other, Section, Key };

struct Line {
    QByteArray raw;  // the line's bytes without its line end
    QByteArray end;  // "\r\n", "\n", or empty for a last line without one
    Kind kind = Kind::Other;
    QString name;            // section or key name, trimmed
    qsizetype valueAt = -1;  // keys: where the value starts in raw
};

// A line this layer writes; it is parsed again with the whole file.
Line writtenLine(const QByteArray& raw)
{
    Line line;
    line.raw = raw;
    line.end = CrLf;
    return line;
}

struct Section {
    int lastKey = 0;  // the header itself while the section has no key
    QHash<QString, int> keys;  // case-folded name -> first line with it
};

}  // namespace

struct IniFile::Cache {
    FileState state = FileState::NotRead;
    Stamp stamp;
    bool recent = false;
    bool batch = false;    // writes wait for commitBatch
    bool pending = false;  // the batch has changed the copy
    QByteArray bytes;
    bool bom = false;
    bool shiftJis = false;
    std::vector<Line> lines;
    std::vector<Section> sections;
    QHash<QString, int> sectionIndex;  // case-folded name -> first section with it
    QStringDecoder sjis{"windows-31j", QStringDecoder::Flag::Stateless};

    QString decode(const QByteArray& raw)
    {
        if (!shiftJis)
            return QString::fromUtf8(raw);
        if (!sjis.isValid())
            return QString::fromLatin1(raw);
        // The line break makes the decoder give out a lead byte left at the end
        // as a replacement character instead of keeping it back.
        QString text = sjis.decode(raw + '\n');
        if (text.endsWith(u'\n'))
            text.chop(1);
        return text;
    }

    void clear()
    {
        bytes.clear();
        bom = shiftJis = false;
        lines.clear();
        sections.clear();
        sectionIndex.clear();
    }

    void parse(const QByteArray& data)
    {
        clear();
        bytes = data;
        bom = data.startsWith(Utf8Bom);
        const QByteArray body = bom ? data.mid(Utf8Bom.size()) : data;
        shiftJis = !QByteArrayView(body).isValidUtf8();

        qsizetype at = 0;
        while (at < body.size()) {
            Line line;
            const qsizetype nl = body.indexOf('\n', at);
            if (nl < 0) {
                line.raw = body.mid(at);
                at = body.size();
            } else {
                line.raw = body.mid(at, nl - at);
                line.end = QByteArrayLiteral("\n");
                if (line.raw.endsWith('\r')) {
                    line.raw.chop(1);
                    line.end = CrLf;
                }
                at = nl + 1;
            }
            classify(line);
            lines.push_back(std::move(line));
        }

        int current = -1;
        for (int i = 0; i < int(lines.size()); ++i) {
            const Line& line = lines[i];
            if (line.kind == Kind::Section) {
                const QString folded = line.name.toCaseFolded();
                if (sectionIndex.contains(folded)) {
                    current = -1;  // a repeated section is never read or written
                } else {
                    current = int(sections.size());
                    sections.push_back(Section{i, {}});
                    sectionIndex.insert(folded, current);
                }
            } else if (line.kind == Kind::Key && current >= 0) {
                Section& s = sections[current];
                s.lastKey = i;
                const QString folded = line.name.toCaseFolded();
                if (!s.keys.contains(folded))
                    s.keys.insert(folded, i);
            }
        }
    }

    void classify(Line& line)
    {
        const QString text = trimBlanks(decode(line.raw));
        if (text.isEmpty() || text.front() == u';')
            return;
        if (text.front() == u'[') {
            const qsizetype close = text.lastIndexOf(u']');
            if (close > 0) {
                line.kind = Kind::Section;
                line.name = trimBlanks(text.mid(1, close - 1));
            }
            return;
        }
        // '=' is never the second byte of a Shift-JIS character.
        const qsizetype eq = line.raw.indexOf('=');
        if (eq < 0)
            return;
        line.kind = Kind::Key;
        line.name = trimBlanks(decode(line.raw.left(eq)));
        line.valueAt = eq + 1;
    }

    void refresh(const QString& path)
    {
        // Within a batch the copy is ahead of the file.
        if (batch && state != FileState::NotRead)
            return;
        struct stat st{};
        if (state == FileState::Loaded && !recent) {
            if (::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) &&
                Stamp::of(st) == stamp)
                return;
        }
        QByteArray data;
        const FileState now = readRegularFile(path, data, st);
        if (now != FileState::Loaded) {
            clear();
            state = now;
            return;
        }
        stamp = Stamp::of(st);
        recent = changedRecently(st);
        if (state == FileState::Loaded && data == bytes)
            return;
        parse(data);
        state = FileState::Loaded;
    }

    const Line* find(const QString& section, const QString& key) const
    {
        const auto s = sectionIndex.constFind(normalisedName(section).toCaseFolded());
        if (s == sectionIndex.cend())
            return nullptr;
        const Section& sec = sections[*s];
        const auto k = sec.keys.constFind(normalisedName(key).toCaseFolded());
        return k == sec.keys.cend() ? nullptr : &lines[*k];
    }

    QString valueOf(const Line& line)
    {
        QByteArray v = trimBlanks(line.raw.mid(line.valueAt));
        // Quote bytes are never part of a multi-byte character in either encoding.
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.mid(1, v.size() - 2);
        return decode(capBytes(v, shiftJis));
    }

    // The file's content with one entry written, in UTF-8; nothing when the
    // entry already holds exactly that value.
    std::optional<QByteArray> withEntry(const QString& sectionName, const QString& keyName,
                                        const QString& value)
    {
        const QString section = normalisedName(sectionName);
        const QString key = normalisedName(keyName);
        const QByteArray text = asOneLine(value);
        const Section* sec = nullptr;
        int keyLine = -1;
        if (const auto s = sectionIndex.constFind(section.toCaseFolded()); s != sectionIndex.cend()) {
            sec = &sections[*s];
            keyLine = sec->keys.value(key.toCaseFolded(), -1);
        }
        if (keyLine >= 0) {
            const Line& was = lines[keyLine];
            if (decode(was.raw.mid(was.valueAt)).toUtf8() == text)
                return std::nullopt;
        }

        std::vector<Line> out = lines;
        if (shiftJis) {
            for (Line& line : out)
                line.raw = decode(line.raw).toUtf8();
        }
        if (keyLine >= 0) {
            // The key keeps its spelling in the file.
            out[keyLine] = writtenLine(lines[keyLine].name.toUtf8() + '=' + text);
        } else if (sec) {
            if (out[sec->lastKey].end.isEmpty())
                out[sec->lastKey].end = CrLf;
            out.insert(out.begin() + sec->lastKey + 1, writtenLine(key.toUtf8() + '=' + text));
        } else {
            if (!out.empty()) {
                if (out.back().end.isEmpty())
                    out.back().end = CrLf;
                if (!trimBlanks(out.back().raw).isEmpty())
                    out.push_back(writtenLine({}));
            }
            out.push_back(writtenLine('[' + section.toUtf8() + ']'));
            out.push_back(writtenLine(key.toUtf8() + '=' + text));
        }

        QByteArray result = bom && !shiftJis ? Utf8Bom : QByteArray();
        for (const Line& line : out)
            result += line.raw + line.end;
        return result;
    }
};

IniFile::IniFile(const QString& path) : path_(path), cache_(std::make_unique<Cache>()) {}

IniFile::~IniFile() = default;

void IniFile::release()
{
    cache_ = std::make_unique<Cache>();
}

bool IniFile::hasKey(const QString& section, const QString& key) const
{
    cache_->refresh(path_);
    return cache_->find(section, key) != nullptr;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const
{
    cache_->refresh(path_);
    if (const Line* line = cache_->find(section, key))
        return cache_->valueOf(*line);
    const QString d = trimTrailingBlanks(def);
    const QByteArray bytes = d.toUtf8();
    return bytes.size() <= MaxValueBytes ? d : QString::fromUtf8(capBytes(bytes, false));
}

qint32 IniFile::readInteger(const QString& section, const QString& key, qint32 def) const
{
    return parseIniInteger(readString(section, key, QString())).value_or(def);
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    Cache& c = *cache_;
    c.refresh(path_);
    // A file that exists but cannot be read would lose its keys if replaced.
    if (c.state == FileState::Unusable)
        throw refused(path_);
    const std::optional<QByteArray> out = c.withEntry(section, key, value);
    if (!out)
        return;
    if (c.batch) {
        c.parse(*out);
        c.state = FileState::Loaded;
        c.pending = true;
        return;
    }
    if (!replaceFile(path_, *out))
        throw refused(path_);
    c.parse(*out);
    written();
}

// The copy is now the file's content: take the new file's stamp.
void IniFile::written()
{
    Cache& c = *cache_;
    c.state = FileState::Loaded;
    c.recent = true;
    struct stat st{};
    if (::stat(QFile::encodeName(path_).constData(), &st) == 0)
        c.stamp = Stamp::of(st);
}

void IniFile::beginBatch()
{
    cache_->refresh(path_);
    cache_->batch = true;
    cache_->pending = false;
}

void IniFile::commitBatch()
{
    Cache& c = *cache_;
    if (!c.batch)
        return;
    c.batch = false;
    if (!std::exchange(c.pending, false))
        return;
    if (!replaceFile(path_, c.bytes)) {
        // The copy holds writes the file never got: read the file again next time.
        release();
        throw refused(path_);
    }
    written();
}

bool IniFile::inBatch() const
{
    return cache_->batch;
}

void IniFile::writeInteger(const QString& section, const QString& key, qint32 value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

namespace {

std::optional<quint32> parseHex(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    quint64 v = 0;
    for (QChar ch : digits) {
        const char16_t c = ch.unicode();
        int d;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        else
            return std::nullopt;
        v = v * 16 + d;
        if (v > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return quint32(v);
}

}  // namespace

std::optional<qint32> parseIniInteger(const QString& text)
{
    // Hexadecimal takes all 32 bits: $FFFFFFFF is -1.
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        if (const auto v = parseHex(QStringView(text).mid(2)))
            return qint32(*v);
        return std::nullopt;
    }
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    if (i < text.size() && text[i] == u'$') {
        const auto v = parseHex(QStringView(text).mid(i + 1));
        if (!v)
            return std::nullopt;
        return qint32(negative ? 0u - *v : *v);
    }
    if (i == text.size())
        return std::nullopt;
    qint64 v = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        v = v * 10 + (c - u'0');
        if (v > qint64(1) << 31)
            return std::nullopt;
    }
    if (negative)
        v = -v;
    if (v > 0x7FFFFFFF)
        return std::nullopt;
    return qint32(v);
}

}  // namespace nollex
