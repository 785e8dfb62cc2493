#pragma once
#include <QString>
#include <QStringList>
#include <array>

namespace nollex {

// The compiler switches the user has chosen. A switch that is on is its
// command-line text with one trailing blank; off is the empty text, so joining
// is plain concatenation.
struct CompileOptionSet {
    QString Instructions = QStringLiteral("-3 ");
    QString B, C, K, N, P, S;
    QString smallb = QStringLiteral("-b ");
    QString smallc, smallp;
    QString O = QStringLiteral("-O1 ");
    QString smallw = QStringLiteral("-w ");
    QString smallg, smallj, H, I, L, T, smalln, Manual;
    QString insideH, insideI, insideL, insideT, insiden, insideManual;
    int n_of_g = 0;
    int n_of_j = 0;

    bool operator==(const CompileOptionSet&) const = default;
};

// The compiler's option text shared by Execute and Make: every switch but "-c" and
// "-n" in record order, then the free options when they are switched on.
inline QString joinedOptionText(const CompileOptionSet& s)
{
    QString text = s.Instructions + s.B + s.C + s.K + s.N + s.P + s.S + s.smallb + s.smallp + s.O +
                   s.smallw + s.smallg + s.smallj + s.H + s.I + s.L + s.T;
    if (!s.Manual.isEmpty())
        text += s.insideManual + u' ';
    return text;
}

// What the "Compile Option" tab of the configuration dialog shows, as plain values,
// so that the transfers between the tab and the set work without a window.
struct OptionControls {
    int instructions = 0;              // RadioGroup1's item, -1 = none selected
    int priority = 0;                  // RadioGroup2's item, -1 = none selected
    std::array<bool, 18> checked{};    // [n - 1] is CheckBoxn
    std::array<QString, 5> values;     // Edit1 to Edit5: the -H, -I, -L, -T, -n arguments
    QString manual;                    // Edit: the free options
    QString countG;                    // Edit9: N of -gN
    QString countJ;                    // Edit10: N of -jN

    bool operator==(const OptionControls&) const = default;
};

// Dialog -> set (OK). Throws NollexError when a non-empty N edit is no integer;
// n_of_g is then already stored if only Edit10 was wrong, and nothing else changed.
void ApplyOptions(const OptionControls& dialog, CompileOptionSet& set);

// Set -> dialog, on every closing of the dialog. A count of 0 leaves its N edit as
// it is, and a text 1 that names no item leaves RadioGroup1's selection.
void LoadOptionsIntoDialog(const CompileOptionSet& set, OptionControls& dialog);

// The tab's controls in the state whose apply gives the creation defaults.
void ResetDialogToDefaults(OptionControls& dialog);

inline OptionControls defaultOptionControls()
{
    OptionControls c;
    ResetDialogToDefaults(c);
    return c;
}

// The texts of the tab that reach the compiler's command line as they are typed:
// the arguments of the checked -H, -I, -L, -T and -n, and the free options when
// CheckBox18 is on.
QStringList commandLineTexts(const OptionControls& dialog);

// The first character that changes what a command line means once text stands in
// it: a '"' left open (the rest of the line, its redirection into message.txt
// included, would be quoted) or a '>', '<' or '|' outside quotes (a redirection or
// a pipe of its own). Null when there is none.
QChar commandLineBreaker(const QString& text);

// The decimal conversion of the dialog's number edits: an optional sign and one or
// more ASCII digits, in the range of int, nothing else (no blanks). Anything else
// throws NollexError "'<text>' は整数ではありません".
int StrToInt(const QString& text);

}  // namespace nollex
