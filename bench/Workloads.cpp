#include "Workloads.h"

#include "settings/FormatVersion.h"

#include <QFile>
#include <QStringEncoder>

#include <stdexcept>

namespace nollex::bench {

QByteArray sourceText(int lines, qint64 bytes, const QString& marker, int markerEvery)
{
    // A small program's lines, a third of them Japanese comments.
    static const char* const pattern[] = {
        "static int table_%1[4] = {1, 2, 3, 4};",
        "// 配列の値を順に足して合計を求める (%1)",
        "int sum_%1(const int* p, int n)",
        "{",
        "    int s = 0;  /* 合計：ここで初期化する */",
        "    for (int i = 0; i < n; ++i) s += p[i];",
        "    return s;  // 結果を返す",
        "}",
    };
    const int kinds = int(std::size(pattern));
    QByteArray out;
    out.reserve(bytes + lines * 8);
    for (int i = 0; i < lines; ++i) {
        QString line = QString::fromUtf8(pattern[i % kinds]);
        if (line.contains(QLatin1String("%1")))
            line = line.arg(i);
        if (markerEvery > 0 && i % markerEvery == markerEvery / 2)
            line += QStringLiteral("  // ") + marker;
        QByteArray utf8 = line.toUtf8();
        // Pad in a comment so the file grows evenly to its size.
        const qint64 due = bytes * (i + 1) / lines - 1;
        if (out.size() + utf8.size() < due) {
            utf8 += utf8.contains("//") || utf8.contains("/*") ? " " : " //";
            while (out.size() + utf8.size() < due)
                utf8 += 'x';
        }
        out += utf8;
        out += '\n';
    }
    return out;
}

QString messageText(int lines, int chars, const QString& file, int pageLines)
{
    QString out;
    out.reserve(qsizetype(lines) * (chars + 1));
    for (int i = 0; i < lines; ++i) {
        const int place = i % pageLines + 1;
        QString line;
        switch (i % 5) {
        case 0:
            line = QStringLiteral("from");
            break;
        case 1:
            line = QStringLiteral("%1:%2:%3: %4: ").arg(file).arg(place).arg(i % 70 + 1)
                       .arg(i % 2 ? QStringLiteral("error") : QStringLiteral("warning"));
            break;
        case 2:
            line = QStringLiteral("%1 | int x = 0; // 合計 ").arg(place, 5);
            break;
        case 3:
            line = QStringLiteral("Error E2451 a b.cpp");
            break;
        default:
            line = QStringLiteral("a:1:");
            break;
        }
        // Filled with what keeps each reader going to the end: blanks after "from" and
        // a colon last, digits and colons that never make a place.
        static const QString fills[] = {QStringLiteral(" "), QStringLiteral("表x "), QStringLiteral("表x "),
                                        QStringLiteral(" 12:x"), QStringLiteral("1:")};
        while (line.size() < chars - 1)
            line += fills[i % 5];
        line.truncate(chars - 1);
        out += line;
        out += i % 5 == 0 ? u':' : u'x';
        out += u'\n';
    }
    return out;
}

QByteArray toShiftJis(const QByteArray& utf8)
{
    QStringEncoder encoder("windows-31j");
    if (!encoder.isValid())
        throw std::runtime_error("no Shift-JIS encoder");
    QByteArray bytes = encoder.encode(QString::fromUtf8(utf8));
    if (encoder.hasError())
        throw std::runtime_error("text not representable in Shift-JIS");
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray settingsText(const QStringList& files)
{
    QByteArray ini = "[Information]\r\nVersion=" + QByteArray::number(FormatVersion) + "\r\n";
    ini += "[System]\r\nIndex=" + QByteArray::number(files.size() - 1) + "\r\n";
    for (int i = 0; i < files.size(); ++i)
        ini += "FileName" + QByteArray::number(i) + '=' + files[i].toUtf8() + "\r\n";
    ini += "ActiveIndex=0\r\n";
    return ini;
}

}  // namespace nollex::bench
