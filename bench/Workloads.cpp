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
