#pragma once
// The table of kinds of compiler messages and their explanations, and the
// patterns its formats become. The table is data (kinds.txt, compiled in); its
// line format is described at the top of that file.

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <optional>

namespace nollex {


struct ExplainedKind {
    QString name;        // stable, e.g. "missing-semicolon"
    QStringList formats; // the compiler's English formats, gcc's holes, {…} limits after a hole
    QStringList texts;   // explanations, tried in order: the first whose holes all have values
    bool report = false; // the formats are of a run-time checker's report, not the compiler's
    QString source{};    // when set: the message's source line (trimmed) must be of this limit
    QString previous{};  // when set: so must the nearest non-blank line above it
    bool sure = false;   // explained even after an earlier error (its cause is not a follow-on)
    bool leads = false;  // gcc's later messages may follow from this one, as from an error
    QString unless{};    // a kind: left out for a name that an earlier message of that kind named
};

// A signal that can end a learner's program: SIGSEGV, セグメンテーション違反, what it means.
struct SignalText {
    QString name;
    QString title;
    QString text;
};

// A character that an input method types in place of one the language knows.
struct FullWidthChar {
    char32_t code = 0;
    QString name;  // 全角スペース
    QString fix;   // what to type instead: 半角の空白
};

struct KindTable {
    QList<ExplainedKind> kinds;  // in the order they are tried
    QList<FullWidthChar> chars;
    QList<SignalText> signalTexts;
    QStringList followOnTexts;  // for a message after the first mistake whose kind is not sure
};

// The table's text → the table; nothing, and `error` says the line and why, when a
// line is not understood, a kind lacks a format or a text, a format has a bad hole
// or a text names a hole that does not exist.
std::optional<KindTable> parseKindTable(const QString& text, QString* error = nullptr);

// The table that ships with the program.
QString builtInKindTableText();

// What a full-width character typed in code is and what to type instead: the
// full-width kind's text that names nothing but the character, for the page to
// show before any build. Empty for a character the table does not list.
QString fullWidthCharNote(const KindTable& table, char32_t code);

// What one hole of a format may capture: alternatives, each with `*` for any run
// of characters and `\*` for a star itself.
using HoleLimit = QList<QRegularExpression>;

// A limit's text ("for*);|while*);") as its alternatives.
HoleLimit compileLimit(const QString& limit);

// A kind's condition on a line: the limit notation, or after "~" a regular
// expression, for what that notation cannot say (a for whose body is only ";").
HoleLimit lineLimit(const QString& text);

// Whether the text is one of the limit's alternatives (an empty limit allows all).
bool withinLimit(const HoleLimit& limit, const QString& text);

// A format turned into an anchored pattern over a message's text (without the
// place, the word "error:" and a trailing "[-W…]").
struct MessagePattern {
    QRegularExpression regex;
    QList<int> holeOfGroup;  // capture group g (from 1) → hole of the English format (from 1), 0 for none
    QHash<int, HoleLimit> limits;  // by hole of the English format
    QString literal;         // the longest fixed piece: a message without it cannot match
};

// The English format's pattern, and that of its translation when one is given: the
// translation's holes are tied to the English holes by the arguments they print
// (gcc's "%2$qs" as well as plain order), its limits taken from the English format.
std::optional<MessagePattern> compileFormat(const QString& english, const QString* translation = nullptr);

// The holes a message caught (by hole of the English format, from 1), or nothing
// when the message is not of the pattern's format or a hole breaks its limit.
std::optional<QHash<int, QString>> matchPattern(const MessagePattern& pattern, const QString& message);

// The English format with its limits taken out: what a catalog lists it under.
QString catalogKey(const QString& english);

// An untitled page has no name: an empty {file} hole takes the ": " or " " after it
// (at) along, so that "{file} {line} 行目: …" reads "{line} 行目: …". The number of
// characters to pass.
qsizetype separatorOfEmptyName(QStringView text, qsizetype at);

}  // namespace nollex
