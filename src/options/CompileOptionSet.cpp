#include "CompileOptionSet.h"

#include "platform/Errors.h"

#include <limits>

namespace nollex {

namespace {

using Text = QString CompileOptionSet::*;

// The texts behind CheckBox1 to CheckBox18, in check box order.
constexpr std::array<Text, 18> kBoxTexts = {
    &CompileOptionSet::B,      &CompileOptionSet::C,      &CompileOptionSet::K,
    &CompileOptionSet::N,      &CompileOptionSet::P,      &CompileOptionSet::S,
    &CompileOptionSet::smallb, &CompileOptionSet::smallc, &CompileOptionSet::smallp,
    &CompileOptionSet::smallw, &CompileOptionSet::smallg, &CompileOptionSet::smallj,
    &CompileOptionSet::H,      &CompileOptionSet::I,      &CompileOptionSet::L,
    &CompileOptionSet::T,      &CompileOptionSet::smalln, &CompileOptionSet::Manual,
};

// Switch texts of CheckBox1 to CheckBox10; the boxes after them carry a value.
constexpr std::array<const char*, 10> kPlainSwitches = {"-B ", "-C ", "-K ", "-N ", "-P ",
                                                        "-S ", "-b ", "-c ", "-p ", "-w "};
// Prefixes of CheckBox11 to CheckBox17.
constexpr std::array<const char*, 7> kValuePrefixes = {"-g", "-j", "-H", "-I", "-L", "-T", "-n"};
constexpr std::array<const char*, 4> kInstructions = {"-3 ", "-4 ", "-5 ", "-6 "};
constexpr std::array<const char*, 2> kPriorities = {"-O1 ", "-O2 "};

constexpr std::array<Text, 5> kInsideTexts = {&CompileOptionSet::insideH, &CompileOptionSet::insideI,
                                              &CompileOptionSet::insideL, &CompileOptionSet::insideT,
                                              &CompileOptionSet::insiden};

int countFromEdit(const QString& text)
{
    return text.isEmpty() ? 0 : StrToInt(text);
}

}  // namespace

int StrToInt(const QString& text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    const qsizetype firstDigit = i;
    qint64 value = 0;
    // The bound is one more for a negative number: INT_MIN has no positive twin.
    const qint64 limit = qint64(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
        if (value > limit)
            break;
    }
    if (i == firstDigit || i != text.size())
        throw NollexError(u'\'' + text + QStringLiteral("' は整数ではありません"));
    return int(negative ? -value : value);
}

void ApplyOptions(const OptionControls& d, CompileOptionSet& set)
{
    // The counts go first and one at a time: a failure in Edit10 keeps n_of_g.
    set.n_of_g = countFromEdit(d.countG);
    set.n_of_j = countFromEdit(d.countJ);

    for (size_t k = 0; k < kInsideTexts.size(); ++k)
        set.*kInsideTexts[k] = d.values[k];
    set.insideManual = d.manual;

    if (d.instructions >= 0 && d.instructions < int(kInstructions.size()))
        set.Instructions = QString::fromLatin1(kInstructions[d.instructions]);

    for (size_t k = 0; k < kPlainSwitches.size(); ++k)
        set.*kBoxTexts[k] = d.checked[k] ? QString::fromLatin1(kPlainSwitches[k]) : QString();

    const std::array<const QString*, 7> arguments = {&d.countG,   &d.countJ,   &d.values[0],
                                                     &d.values[1], &d.values[2], &d.values[3],
                                                     &d.values[4]};
    for (size_t k = 0; k < kValuePrefixes.size(); ++k) {
        const size_t box = 10 + k;
        set.*kBoxTexts[box] = d.checked[box]
                                  ? QString::fromLatin1(kValuePrefixes[k]) + *arguments[k] + u' '
                                  : QString();
    }

    set.Manual = d.checked[17] ? QStringLiteral("true") : QString();

    if (d.priority >= 0 && d.priority < int(kPriorities.size()))
        set.O = QString::fromLatin1(kPriorities[d.priority]);
}

QStringList commandLineTexts(const OptionControls& d)
{
    QStringList texts;
    for (size_t k = 0; k < d.values.size(); ++k) {
        if (d.checked[12 + k])
            texts << d.values[k];
    }
    if (d.checked[17])
        texts << d.manual;
    return texts;
}

QChar commandLineBreaker(const QString& text)
{
    // The interpreter toggles quoting at every '"', a backslash before it or not.
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'>' || c == u'<' || c == u'|'))
            return c;
    }
    return quoted ? QChar(u'"') : QChar();
}

void LoadOptionsIntoDialog(const CompileOptionSet& set, OptionControls& d)
{
    // A count of 0 means no number was given, so whatever the edit holds stays.
    if (set.n_of_g != 0)
        d.countG = QString::number(set.n_of_g);
    if (set.n_of_j != 0)
        d.countJ = QString::number(set.n_of_j);

    for (size_t k = 0; k < kInsideTexts.size(); ++k)
        d.values[k] = set.*kInsideTexts[k];
    d.manual = set.insideManual;

    for (size_t k = 0; k < kInstructions.size(); ++k) {
        if (set.Instructions == QLatin1String(kInstructions[k]))
            d.instructions = int(k);
    }

    for (size_t k = 0; k < kBoxTexts.size(); ++k)
        d.checked[k] = !(set.*kBoxTexts[k]).isEmpty();

    d.priority = set.O == QLatin1String(kPriorities[0]) ? 0 : 1;
}

void ResetDialogToDefaults(OptionControls& d)
{
    d.instructions = 0;
    d.priority = 0;
    d.checked.fill(false);
    d.checked[6] = true;  // CheckBox7, -b
    d.checked[9] = true;  // CheckBox10, -w
    for (QString& v : d.values)
        v.clear();
    d.manual.clear();
    d.countG.clear();
    d.countJ.clear();
}

}  // namespace nollex
