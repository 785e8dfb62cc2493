#pragma once
// The sample cases beside a page: test/NAME.in with test/NAME.out, the layout the
// learners' download tools use, so that downloaded cases and added ones are one set.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace nollex {

struct CaseFiles {
    QString name;        // "sample-1"
    QString inputPath;   // ".../test/sample-1.in"
    QString outputPath;  // ".../test/sample-1.out"; empty when there is none
};

// The cases of the test/ folder in natural order (numbers in names compare as
// numbers: sample-2 before sample-10); regular files only, a link taken as what it
// points to. Empty when the folder has none or is missing.
QList<CaseFiles> findCases(const QString& testFolder);

// The next free "sample-N" (N from 1: the first N with neither file present).
QString nextSampleName(const QString& testFolder);

// Writes NAME.in and NAME.out (UTF-8, LF line ends: CR LF and CR become LF) as the
// next sample pair, making the folder (0755) when it is missing; never replaces an
// existing file. The pair's name, or the error in Japanese naming the file.
struct AddedSample {
    QString name;
    QString error;
};
AddedSample addSample(const QString& testFolder, const QString& input, const QString& expected);

// A case file's bytes, at most limit of them: a regular file only (a FIFO or a
// device is never waited on), nothing when it cannot be read. With whole, a file
// larger than limit is not read at all and tooLarge says so.
struct CaseFileBytes {
    std::optional<QByteArray> bytes;
    bool tooLarge = false;
};
CaseFileBytes readCaseFile(const QString& path, qint64 limit, bool whole);

// Whether a's name comes before b's with the numbers in them compared as numbers.
bool naturalLess(const QString& a, const QString& b);

}  // namespace nollex
