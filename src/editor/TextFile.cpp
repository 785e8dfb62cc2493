#include "TextFile.h"

#include "platform/Errors.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <sys/stat.h>

namespace nollex {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// windows-31j is the Windows form of Shift-JIS (backslash at 0x5C, NEC and IBM
// extensions); plain Shift_JIS is the fallback for a Qt without that name.
const char* shiftJisName()
{
    static const char* name = QStringDecoder("windows-31j").isValid() ? "windows-31j" : "Shift_JIS";
    return name;
}

// A BOM after the one we strip is a character of the text, not a marker.
// Stateless: a sequence cut off at the end is an error, not a byte kept back
// (and lost) for a next call that never comes.
std::optional<QString> decodeUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<QString> decodeShiftJis(const QByteArray& bytes)
{
    QStringDecoder decoder(shiftJisName(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// The other codes of characters that Shift-JIS holds more than once (the NEC and
// IBM extensions): each reads back as the same character. IBM extension codes
// (lead byte 0xFA..0xFC) come first, since those bytes never occur in UTF-8.
const QHash<char16_t, QList<QByteArray>>& otherShiftJisCodes()
{
    static const QHash<char16_t, QList<QByteArray>> codes = [] {
        // A converter per code: an error stays with a converter. Some 11,000
        // codes, once, in a few milliseconds.
        QHash<char16_t, QList<QByteArray>> out;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead > 0x9F && lead < 0xE0)
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char pair[] = {char(lead), char(trail)};
                const QByteArray code(pair, 2);
                const std::optional<QString> c = decodeShiftJis(code);
                if (!c || c->size() != 1)
                    continue;
                QStringEncoder encoder(shiftJisName(), QStringEncoder::Flag::Stateless);
                const QByteArray usual = encoder.encode(*c);
                if (!encoder.hasError() && usual != code)
                    out[c->front().unicode()].append(code);
            }
        }
        for (QList<QByteArray>& list : out)
            std::stable_partition(list.begin(), list.end(),
                                  [](const QByteArray& code) { return uchar(code[0]) >= 0xFA; });
        return out;
    }();
    return codes;
}

// Shift-JIS bytes that happen to be valid UTF-8 would be read back as UTF-8, as
// other text (a half-width katakana before a Roman numeral is enough). Writing one
// character that Shift-JIS holds twice in its other code keeps them invalid UTF-8:
// an IBM extension code always does, another code is tried in place. A file read
// as Shift-JIS and saved unedited always has such a character, since its own
// bytes were not UTF-8.
QByteArray keepShiftJisDetectable(QStringView text, QByteArray bytes)
{
    const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(), [](char b) { return uchar(b) < 0x80; });
    if (ascii || !QByteArrayView(bytes).isValidUtf8())
        return bytes;
    const auto& others = otherShiftJisCodes();
    auto withCode = [&](qsizetype i, const QByteArray& code) {
        QStringEncoder encoder(shiftJisName(), QStringEncoder::Flag::Stateless);
        return QByteArray(encoder.encode(text.left(i))) + code + QByteArray(encoder.encode(text.mid(i + 1)));
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto found = others.constFind(text[i].unicode());
        if (found != others.cend() && uchar(found->front()[0]) >= 0xFA)
            return withCode(i, found->front());
    }
    int tries = 0;  // each try encodes the whole text again
    for (qsizetype i = 0; i < text.size() && tries < 64; ++i) {
        const auto found = others.constFind(text[i].unicode());
        if (found == others.cend())
            continue;
        for (const QByteArray& code : *found) {
            QByteArray candidate = withCode(i, code);
            if (!QByteArrayView(candidate).isValidUtf8())
                return candidate;
            ++tries;
        }
    }
    return bytes;
}

// Encodes without any BOM; nothing when a character does not come back as itself
// (unmappable, or mapped to a look-alike such as the yen sign onto 0x5C).
std::optional<QByteArray> encodeExact(QStringView text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8) {
        if (!text.isValidUtf16())
            return std::nullopt;  // a lone surrogate has no UTF-8 form
        QStringEncoder encoder(QStringEncoder::Utf8);
        return QByteArray(encoder.encode(text));
    }
    QStringEncoder encoder(shiftJisName(), QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    if (decodeShiftJis(bytes) != text)
        return std::nullopt;
    return keepShiftJisDetectable(text, bytes);
}

// Position of the first character that encodeExact refuses; looked for line by
// line so a long file is not converted one character at a time.
qsizetype firstUnencodable(const QString& text, TextEncoding encoding)
{
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QStringView line = QStringView(text).mid(lineStart, lineEnd - lineStart);
        if (!encodeExact(line, encoding)) {
            for (qsizetype i = 0; i < line.size();) {
                const qsizetype n =
                    (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate())
                        ? 2 : 1;
                if (!encodeExact(line.mid(i, n), encoding))
                    return lineStart + i;
                i += n;
            }
            return lineStart;  // only the whole line fails; name its start
        }
        lineStart = lineEnd + 1;
    }
    return 0;
}

NollexError tooLarge(const QString& path, qint64 size)
{
    return NollexError(QStringLiteral("ファイル \"%1\" は大きすぎるため開けません "
                                      "(%2 MB、開けるのは %3 MB まで)")
                           .arg(path, QString::number(size / (qint64{1024} * 1024)),
                                QString::number(MaxTextFileBytes / (qint64{1024} * 1024))));
}

QString encodingName(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Shift-JIS");
}

// Whether a file's bytes, less a UTF-8 byte order mark, are already the page's
// text: valid UTF-8 with no NUL and no line break other than LF, so that
// decoding them would change nothing.
bool takenAsItStands(const QByteArray& bytes)
{
    QByteArrayView body(bytes);
    if (body.startsWith(QByteArrayView(kUtf8Bom)))
        body = body.sliced(kUtf8Bom.size());
    return !body.contains('\0') && !body.contains('\r') && body.isValidUtf8();
}

// The kind of the text's first line break; LF when it has none, as a new page.
LineEnd firstLineEnd(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            return LineEnd::Lf;
        if (text[i] == u'\r')
            return (i + 1 < text.size() && text[i + 1] == u'\n') ? LineEnd::CrLf : LineEnd::Cr;
    }
    return LineEnd::Lf;
}

// The page's LF breaks as the file's kind. Neither encoding has 0x0A inside a
// character (a Shift-JIS second byte is 0x40 or above), so bytes are replaced.
void writeLineEnds(QByteArray& bytes, LineEnd lineEnd)
{
    if (lineEnd == LineEnd::CrLf)
        bytes.replace('\n', QByteArrayView("\r\n"));
    else if (lineEnd == LineEnd::Cr)
        bytes.replace('\n', '\r');
}

}  // namespace

QString textFromUtf8(QByteArrayView utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(utf8);
}

QString normalizeLineBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

std::optional<DecodedText> decodeText(const QByteArray& bytes, DecodeProblem* problem)
{
    auto fail = [problem](DecodeProblem p) -> std::optional<DecodedText> {
        if (problem)
            *problem = p;
        return std::nullopt;
    };
    if (bytes.contains('\0'))
        return fail(DecodeProblem::NulByte);

    DecodedText result;
    const bool bom = bytes.startsWith(kUtf8Bom);
    std::optional<QString> text = decodeUtf8(bom ? bytes.mid(kUtf8Bom.size()) : bytes);
    if (text) {
        result.format = {TextEncoding::Utf8, bom, LineEnd::Lf};
    } else {
        text = decodeShiftJis(bytes);
        if (!text)
            return fail(DecodeProblem::NotText);
        result.format = {TextEncoding::ShiftJis, false, LineEnd::Lf};
    }
    result.format.lineEnd = firstLineEnd(*text);
    result.text = normalizeLineBreaks(*text);
    if (problem)
        *problem = DecodeProblem::None;
    return result;
}

std::optional<QByteArray> encodeText(const QString& text, const TextFormat& format,
                                     qsizetype* badIndex)
{
    std::optional<QByteArray> bytes = encodeExact(text, format.encoding);
    if (!bytes) {
        if (badIndex)
            *badIndex = firstUnencodable(text, format.encoding);
        return std::nullopt;
    }
    writeLineEnds(*bytes, format.lineEnd);
    if (format.encoding == TextEncoding::Utf8 && format.bom)
        bytes->prepend(kUtf8Bom);
    return bytes;
}

DecodedText readTextFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw NollexError(QStringLiteral("ファイル \"%1\" が見つかりません").arg(path));
    // Folders, pipes and devices: reading them would fail, block or never end.
    if (!info.isFile())
        throw NollexError(QStringLiteral("\"%1\" は通常のファイルではないため開けません").arg(path));
    const FileStamp stamp = fileStamp(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw NollexError(
            QStringLiteral("ファイル \"%1\" を開けません: %2").arg(path, file.errorString()));
    // Checked before reading: a file of gigabytes would exhaust memory.
    if (file.size() > MaxTextFileBytes)
        throw tooLarge(path, file.size());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw NollexError(
            QStringLiteral("ファイル \"%1\" を読み込めません: %2").arg(path, file.errorString()));
    if (takenAsItStands(bytes)) {
        DecodedText asItStands;
        // No CR: its breaks, if any, are LF.
        asItStands.format = {TextEncoding::Utf8, bytes.startsWith(kUtf8Bom), LineEnd::Lf};
        if (asItStands.format.bom)
            bytes.remove(0, kUtf8Bom.size());
        asItStands.utf8 = std::move(bytes);
        asItStands.stamp = stamp;
        return asItStands;
    }

    DecodeProblem problem = DecodeProblem::None;
    std::optional<DecodedText> decoded = decodeText(bytes, &problem);
    if (!decoded) {
        if (problem == DecodeProblem::NulByte)
            throw NollexError(QStringLiteral(
                "ファイル \"%1\" は NUL 文字を含むテキストでないファイルのため開けません").arg(path));
        throw NollexError(QStringLiteral(
            "ファイル \"%1\" は UTF-8 でも Shift-JIS でもないため開けません").arg(path));
    }
    decoded->stamp = stamp;
    return *decoded;
}

void writeTextFile(const QString& path, const QString& text, const TextFormat& format)
{
    qsizetype bad = 0;
    const std::optional<QByteArray> bytes = encodeText(text, format, &bad);
    if (!bytes) {
        const qsizetype line = QStringView(text).left(bad).count(u'\n') + 1;
        char32_t code = text[bad].unicode();
        if (QChar::isHighSurrogate(code) && bad + 1 < text.size() && text[bad + 1].isLowSurrogate())
            code = QChar::surrogateToUcs4(text[bad], text[bad + 1]);
        const QString shown = QChar::isSurrogate(code) ? QString() : QString::fromUcs4(&code, 1);
        // One multi-argument arg(), so a "%" in the path is not taken as a marker.
        throw NollexError(
            QStringLiteral("ファイル \"%1\" を保存できません: %2 行目の文字 \"%3\" (U+%4) は %5 "
                           "で表せません。その文字を消すか置き換えてから保存してください")
                .arg(path, QString::number(line), shown,
                     QString::number(code, 16).toUpper().rightJustified(4, u'0'),
                     encodingName(format.encoding)));
    }
    writeFileAtomically(path, *bytes);
}

void writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    // QSaveFile writes a temporary file beside the target (the link's target for a
    // symbolic link), gives it the old file's permissions and renames it over.
    // Unbuffered: a buffered QSaveFile loses the error of its final flush (a full
    // disk) and commits a cut-off file; written directly, a short write shows.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw NollexError(
            QStringLiteral("ファイル \"%1\" に書き込めません: %2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw NollexError(
            QStringLiteral("ファイル \"%1\" に書き込めません: %2").arg(path, file.errorString()));
}

FileStamp fileStamp(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, qint64(st.st_size), quint64(st.st_ino)};
}

}  // namespace nollex
