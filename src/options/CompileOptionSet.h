#pragma once
#include <QString>

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

}  // namespace nollex
