#include "options/CompileOptionSet.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

using namespace nollex;

namespace {

OptionControls defaults()
{
    OptionControls c;
    ResetDialogToDefaults(c);
    return c;
}

// A set with every switch on and every text filled, far from the defaults.
CompileOptionSet everythingOn()
{
    CompileOptionSet s;
    s.Instructions = "-6 ";
    s.B = "-B ", s.C = "-C ", s.K = "-K ", s.N = "-N ", s.P = "-P ", s.S = "-S ";
    s.smallb = "-b ", s.smallc = "-c ", s.smallp = "-p ", s.O = "-O2 ", s.smallw = "-w ";
    s.smallg = "-g3 ", s.smallj = "-j4 ", s.H = "-Hh ", s.I = "-Ii ", s.L = "-Ll ", s.T = "-Tt ";
    s.smalln = "-nn ", s.Manual = "true";
    s.insideH = "h", s.insideI = "i", s.insideL = "l", s.insideT = "t", s.insiden = "n";
    s.insideManual = "-v";
    s.n_of_g = 3, s.n_of_j = 4;
    return s;
}

}  // namespace

// The build runner pastes this text: creation defaults must give exactly it.
TEST(CompileOptionSet, CreationDefaultsJoinToTheBasicSwitches)
{
    EXPECT_EQ(joinedOptionText(CompileOptionSet{}), QStringLiteral("-3 -b -O1 -w "));
}

// Reset then apply must land on the creation defaults from any earlier state,
// the argument texts included.
TEST(CompileOptionSet, AppliedDialogDefaultsGiveTheCreationDefaults)
{
    CompileOptionSet set = everythingOn();
    ApplyOptions(defaults(), set);
    EXPECT_EQ(set, CompileOptionSet{});
}

// -gN: an empty N edit still gives the switch (with no number) and count 0.
TEST(CompileOptionSet, CountSwitchWithEmptyAndFilledEdit)
{
    OptionControls c = defaults();
    c.checked[10] = true;  // CheckBox11, -gN
    CompileOptionSet set;
    ApplyOptions(c, set);
    EXPECT_EQ(set.smallg, QStringLiteral("-g "));
    EXPECT_EQ(set.n_of_g, 0);

    c.countG = "5";
    ApplyOptions(c, set);
    EXPECT_EQ(set.smallg, QStringLiteral("-g5 "));
    EXPECT_EQ(set.n_of_g, 5);
    EXPECT_EQ(joinedOptionText(set), QStringLiteral("-3 -b -O1 -w -g5 "));

    // Unchecked, the typed count is still kept but the switch is off.
    c.checked[10] = false;
    ApplyOptions(c, set);
    EXPECT_EQ(set.smallg, QString());
    EXPECT_EQ(set.n_of_g, 5);
}

// A count of 0 means "no number": the load must not write "0" over what the
// user left in the N edit, whether empty, "0" or anything else.
TEST(CompileOptionSet, ZeroCountNeverOverwritesTheCountEdit)
{
    for (const QString& typed : {QString(), QStringLiteral("0"), QStringLiteral("00")}) {
        OptionControls c = defaults();
        c.countG = typed;
        c.countJ = typed;
        CompileOptionSet set;
        set.n_of_g = 7;
        ApplyOptions(c, set);
        EXPECT_EQ(set.n_of_g, 0);
        OptionControls reopened = c;
        LoadOptionsIntoDialog(set, reopened);
        EXPECT_EQ(reopened.countG, typed);
        EXPECT_EQ(reopened.countJ, typed);
    }
    // A non-zero count does refill the edit in plain decimal.
    OptionControls c = defaults();
    c.countJ = "+012";
    CompileOptionSet set;
    ApplyOptions(c, set);
    LoadOptionsIntoDialog(set, c);
    EXPECT_EQ(c.countJ, QStringLiteral("12"));
}

// Unchecking -I keeps its folder for later; the build then gets no -I.
TEST(CompileOptionSet, UncheckedValueSwitchKeepsItsArgument)
{
    OptionControls c = defaults();
    c.checked[13] = true;  // CheckBox14, -I
    c.values[1] = "/usr/my include";
    CompileOptionSet set;
    ApplyOptions(c, set);
    EXPECT_EQ(set.I, QStringLiteral("-I/usr/my include "));

    c.checked[13] = false;
    ApplyOptions(c, set);
    EXPECT_EQ(set.I, QString());
    EXPECT_EQ(set.insideI, QStringLiteral("/usr/my include"));
    EXPECT_FALSE(joinedOptionText(set).contains(QStringLiteral("-I")));

    OptionControls reopened = defaults();
    LoadOptionsIntoDialog(set, reopened);
    EXPECT_FALSE(reopened.checked[13]);
    EXPECT_EQ(reopened.values[1], QStringLiteral("/usr/my include"));
}

// Every control state survives apply and load unchanged, so closing the
// dialog after OK shows what the user set.
TEST(CompileOptionSet, EveryControlRoundTrips)
{
    OptionControls c;
    c.instructions = 2;
    c.priority = 1;
    for (size_t k = 0; k < c.checked.size(); ++k)
        c.checked[k] = k % 3 != 0;
    c.values = {"h.csm", "inc", "lib", "-q", "out dir"};
    c.manual = "-v -x";
    c.countG = "9";
    c.countJ = "-2";
    CompileOptionSet set;
    ApplyOptions(c, set);
    EXPECT_EQ(set.Instructions, QStringLiteral("-5 "));
    EXPECT_EQ(set.O, QStringLiteral("-O2 "));
    EXPECT_EQ(set.smallj, QStringLiteral("-j-2 "));
    EXPECT_EQ(set.smalln, QStringLiteral("-nout dir "));
    EXPECT_EQ(set.Manual, QStringLiteral("true"));

    OptionControls back = defaults();
    LoadOptionsIntoDialog(set, back);
    EXPECT_EQ(back, c);
}

// The load's rules for texts that name no item (a restored "_Instructions" that
// was empty, an odd "_O") and for the manual text read back as "true ".
TEST(CompileOptionSet, LoadKeepsOrGuessesRadioItems)
{
    CompileOptionSet set;
    set.Instructions = " ";
    set.O = "-o1 ";
    set.Manual = "true ";
    OptionControls c = defaults();
    c.instructions = 3;
    LoadOptionsIntoDialog(set, c);
    EXPECT_EQ(c.instructions, 3);
    EXPECT_EQ(c.priority, 1);
    EXPECT_TRUE(c.checked[17]);

    // No selected item leaves texts 1 and 11 as they were.
    c.instructions = -1;
    c.priority = -1;
    ApplyOptions(c, set);
    EXPECT_EQ(set.Instructions, QStringLiteral(" "));
    EXPECT_EQ(set.O, QStringLiteral("-o1 "));
}

// A bad N stops the apply: a bad Edit9 changes nothing, a bad Edit10 keeps only
// the new n_of_g.
TEST(CompileOptionSet, BadCountStopsTheApplyPartWay)
{
    const CompileOptionSet before = everythingOn();
    OptionControls c = defaults();
    c.countG = "x";
    c.countJ = "8";
    CompileOptionSet set = before;
    try {
        ApplyOptions(c, set);
        FAIL() << "no error";
    } catch (const NollexError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("'x' は整数ではありません"));
    }
    EXPECT_EQ(set, before);

    c.countG = "6";
    c.countJ = "1 ";
    EXPECT_THROW(ApplyOptions(c, set), NollexError);
    CompileOptionSet expected = before;
    expected.n_of_g = 6;
    EXPECT_EQ(set, expected);
}

// The decimal conversion: sign and digits within int, nothing else.
TEST(CompileOptionSet, DecimalConversion)
{
    const struct {
        const char* name;
        QString text;
        std::optional<int> value;
    } rows[] = {
        {"plain", "8", 8},
        {"plus", "+8", 8},
        {"minus", "-8", -8},
        {"leading-zeros", "0008", 8},
        {"int-max", "2147483647", 2147483647},
        {"int-min", "-2147483648", std::numeric_limits<int>::min()},
        {"over-max", "2147483648", std::nullopt},
        {"under-min", "-2147483649", std::nullopt},
        {"huge", "99999999999999999999999", std::nullopt},
        {"empty", "", std::nullopt},
        {"sign-only", "-", std::nullopt},
        {"leading-blank", " 8", std::nullopt},
        {"trailing-blank", "8 ", std::nullopt},
        {"letter", "8a", std::nullopt},
        {"hex", "0x10", std::nullopt},
        {"full-width", QStringLiteral("８"), std::nullopt},
        {"decimal-point", "8.0", std::nullopt},
        {"double-sign", "+-8", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.value) {
            EXPECT_EQ(StrToInt(row.text), *row.value);
        } else {
            try {
                StrToInt(row.text);
                ADD_FAILURE() << "accepted";
            } catch (const NollexError& e) {
                EXPECT_EQ(e.text(), u'\'' + row.text + QStringLiteral("' は整数ではありません"));
            }
        }
    }
}

// Which texts would break the compile line: quoted redirection and pipe characters
// are the user's own and pass; only the texts of switches in use are looked at.
TEST(CompileOptionSet, CommandLineBreakers)
{
    const struct {
        const char* name;
        QString text;
        QChar breaker;
    } rows[] = {
        {"empty", "", QChar()},
        {"quoted folder", "-I\"/my dir\"", QChar()},
        {"quoted characters", "-DX=\"a>b<c|d\"", QChar()},
        {"open quote", "-DX=\"a b", u'"'},
        {"open quote after a pair", "\"a\" \"b", u'"'},
        {"redirection", "-DX=a>b", u'>'},
        {"input", "<in", u'<'},
        {"pipe after quotes", "\"a\"|b", u'|'},
        {"first one counts", "a|b>c", u'|'},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(commandLineBreaker(row.text), row.breaker);
    }
    OptionControls d = defaults();
    d.values = {"h>", "i", "l", "t", "n"};
    d.manual = "-v|";
    d.checked[13] = true;  // -I
    EXPECT_EQ(commandLineTexts(d), QStringList{"i"});
    d.checked[17] = true;  // the free options
    EXPECT_EQ(commandLineTexts(d), (QStringList{"i", "-v|"}));
}
