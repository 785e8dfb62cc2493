#pragma once
// Explanations for learners under the compiler's messages: the output of a build
// in, a short Japanese explanation out for each message of a known kind, naming
// the page's own file and line. Pure: the table and the catalogs are given once,
// every build's output is read by `explain`.

#include "KindTable.h"
#include "compile/MessagePlace.h"

#include <QHash>
#include <QList>
#include <QString>

namespace nollex {

struct Explanation {
    int messageLine = 0;  // the line of the output (from 0) it belongs under
    QString kind;         // the kind's stable name
    MessagePlace place;   // as the compiler wrote it (line 0: a link message naming no line)
    QString text;

    bool operator==(const Explanation&) const = default;
};

// The build the output came from.
struct BuiltPage {
    QString source;  // the file the compiler was given (".../__out.c"), as its messages name it
    QString name;    // the page's own file name, which the explanations name ("hello.c")
    QString text;    // the page's text as built: finds an unclosed '{'; may be empty
};

// Whether a message or a report's frame names the built page: the scratch copy (the
// linker names it), or the page's own file, which the scratch copy's first line tells
// the compiler its lines are.
bool namesBuiltPage(const QString& file, const BuiltPage& page);

// Where the compiler's Japanese catalogs are installed.
QString defaultCatalogFolder();

class Explainer {
public:
    // Each kind of the table matched in English and in its translation in every catalog.
    Explainer(const KindTable& table, const QList<QHash<QString, QString>>& catalogs);

    // The built-in table, with the compiler's catalogs (gcc-*.mo, cpplib-*.mo) found
    // in the folder; without them, English only.
    static Explainer installed(const QString& catalogFolder = defaultCatalogFolder());

    // One explanation per message of a known kind, in the output's order; the same
    // text twice (a warning and an error on one mistake) is given once. Lines longer
    // than 8,000 characters are no message of a known kind.
    QList<Explanation> explain(const QString& output, const BuiltPage& page) const;

    // Explanations of a run-time checker's report: at most one per fault (normally one:
    // the checkers stop at the first), its place the first stack frame or "FILE:LINE:COL:
    // runtime error" in page.source (line 0 when none), its text naming page.name.
    // A report that is cut off, garbled or of no known kind gives nothing: never guess.
    QList<Explanation> explainReport(const QString& report, const BuiltPage& page) const;

    // The name and a one-line Japanese explanation of a signal that ended a program
    // ("SIGSEGV（セグメンテーション違反）: …"); empty for a number it does not know.
    QString signalText(int signal) const;

    int patternCount() const;

    // The first text of a kind (its holes unfilled); empty for a kind the table lacks.
    QString kindText(const QString& kind) const;

    struct Kind {
        QString name;
        QList<MessagePattern> patterns;
        QStringList texts;
        HoleLimit source{};    // empty: any line
        HoleLimit previous{};  // empty: any line above
        bool sure = false;
        bool leads = false;
        QString unless{};
    };

private:
    QList<Kind> kinds_;
    QList<Kind> reportKinds_;  // the run-time checkers': they speak English only
    QList<SignalText> signals_;
    QHash<char32_t, FullWidthChar> chars_;
    QStringList severities_;  // "error: " and its translations
    QStringList followOn_;    // a message that may follow from the first mistake
};

}  // namespace nollex
