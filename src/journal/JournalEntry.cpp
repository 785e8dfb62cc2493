#include "JournalEntry.h"

#include <cstring>
#include <QFile>
#include <QList>

namespace nollex {

namespace {

// The first line names the layout; every header line is "key value…"; an empty
// line ends the header and the text follows, checked by its length and digest.
const QByteArray kMagic("Nollex journal ");

// A check against damage on disk, not against an attacker (the folder is the
// user's own): eight bytes a step, so a 10 MB page costs a few milliseconds
// where a cryptographic digest costs tens.
QByteArray digest(const QByteArray& text)
{
    quint64 h = 0xcbf29ce484222325ULL ^ quint64(text.size());
    const char* p = text.constData();
    qsizetype n = text.size();
    for (; n >= 8; p += 8, n -= 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        h = (h ^ word) * 0x100000001b3ULL;
        h ^= h >> 29;
    }
    for (; n > 0; ++p, --n)
        h = (h ^ quint8(*p)) * 0x100000001b3ULL;
    return QByteArray::number(h, 16);
}

QByteArray encodingName(const TextFormat& f)
{
    return f.encoding == TextEncoding::ShiftJis ? "sjis" : "utf8";
}

QByteArray lineEndName(LineEnd e)
{
    switch (e) {
    case LineEnd::CrLf: return "crlf";
    case LineEnd::Cr: return "cr";
    case LineEnd::Lf: break;
    }
    return "lf";
}

bool parseFormat(const QList<QByteArray>& words, TextFormat& f)
{
    if (words.size() != 4)
        return false;
    if (words[1] == "sjis")
        f.encoding = TextEncoding::ShiftJis;
    else if (words[1] != "utf8")
        return false;
    if (words[2] != "bom" && words[2] != "-")
        return false;
    f.bom = words[2] == "bom";
    const QByteArray& e = words[3];
    if (e != "lf" && e != "crlf" && e != "cr")
        return false;
    f.lineEnd = e == "crlf" ? LineEnd::CrLf : e == "cr" ? LineEnd::Cr : LineEnd::Lf;
    return true;
}

qint64 number(const QByteArray& word, bool& ok)
{
    bool good = false;
    const qint64 n = word.toLongLong(&good);
    ok = ok && good;
    return n;
}

struct Header {
    JournalEntry entry;
    qint64 length = -1;
    QByteArray digest;
};

// One "key value…" line into the header; false when it does not parse.
bool parseLine(const QByteArray& line, Header& h)
{
    const QList<QByteArray> w = line.split(' ');
    bool ok = true;
    if (w[0] == "file" && w.size() == 2)
        h.entry.fileName = QFile::decodeName(QByteArray::fromPercentEncoding(w[1]));
    else if (w[0] == "format")
        ok = parseFormat(w, h.entry.format);
    else if (w[0] == "stamp" && w.size() == 4)
        h.entry.stamp = {number(w[1], ok), number(w[2], ok), quint64(number(w[3], ok))};
    else if (w[0] == "caret" && w.size() == 2)
        h.entry.caret = number(w[1], ok);
    else if (w[0] == "page" && w.size() == 2)
        h.entry.pageIndex = int(number(w[1], ok));
    else if (w[0] == "text" && w.size() == 3) {
        h.length = number(w[1], ok);
        h.digest = w[2];
    } else
        ok = false;
    return ok;
}

}  // namespace

QByteArray encodeJournalEntry(const JournalEntry& e)
{
    QByteArray out;
    out.reserve(e.text.size() + 512);
    out += kMagic + QByteArray::number(JournalVersion) + '\n';
    // Percent-encoded, so that a blank or a line break in a name stays in its line.
    out += "file " + QFile::encodeName(e.fileName).toPercentEncoding() + '\n';
    out += "format " + encodingName(e.format) + ' ' + (e.format.bom ? "bom" : "-") + ' ' +
           lineEndName(e.format.lineEnd) + '\n';
    out += "stamp " + QByteArray::number(e.stamp.modifiedNs) + ' ' + QByteArray::number(e.stamp.size) + ' ' +
           QByteArray::number(e.stamp.inode) + '\n';
    out += "caret " + QByteArray::number(e.caret) + '\n';
    out += "page " + QByteArray::number(e.pageIndex) + '\n';
    out += "text " + QByteArray::number(e.text.size()) + ' ' +
           digest(e.text) + "\n\n";
    out += e.text;
    return out;
}

std::variant<JournalEntry, JournalProblem> decodeJournalEntry(const QByteArray& bytes)
{
    const qsizetype end = bytes.indexOf("\n\n");
    if (!bytes.startsWith(kMagic))
        return bytes.size() < kMagic.size() && kMagic.startsWith(bytes) ? JournalProblem::Cut : JournalProblem::Damaged;
    const QList<QByteArray> lines = bytes.left(end < 0 ? bytes.size() : end).split('\n');
    bool ok = true;
    const qint64 version = number(lines[0].mid(kMagic.size()), ok);
    if (!ok)
        return end < 0 ? JournalProblem::Cut : JournalProblem::Damaged;
    if (version > JournalVersion)
        return JournalProblem::Newer;
    if (end < 0)
        return JournalProblem::Cut;
    Header h;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!parseLine(lines[i], h))
            return JournalProblem::Damaged;
    }
    const qint64 available = bytes.size() - (end + 2);
    if (h.length < 0 || h.digest.isEmpty() || version < 1)
        return JournalProblem::Damaged;
    if (available < h.length)
        return JournalProblem::Cut;
    h.entry.text = bytes.mid(end + 2, h.length);
    if (available != h.length || digest(h.entry.text) != h.digest)
        return JournalProblem::Damaged;
    return h.entry;
}

QString journalProblemText(JournalProblem problem)
{
    switch (problem) {
    case JournalProblem::Cut: return QStringLiteral("書き込みの途中で切れています");
    case JournalProblem::Damaged: return QStringLiteral("壊れています");
    case JournalProblem::Newer: return QStringLiteral("新しい版の Nollex が書いたものです");
    }
    return {};
}

}  // namespace nollex
