#include "SettingsFile.h"

#include "editor/FileCommands.h"
#include "editor/PathParts.h"
#include "editor/TMemos.h"
#include "options/CompileOptionSet.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/ShowError.h"
#include "settings/FormatVersion.h"
#include "settings/IniFile.h"

namespace nollex {

namespace {

const QString Information = QStringLiteral("Information");
const QString System = QStringLiteral("System");
const QString Project = QStringLiteral("Project");
const QString Compiler = QStringLiteral("Compiler");
const QString Editor = QStringLiteral("Editor");
const QString Build = QStringLiteral("Build");
const QString Window = QStringLiteral("Window");

// The look of a page set that no settings have touched.
constexpr int DefaultBackground = 0x000000;
constexpr int DefaultFontColor = 0xFFFFFF;
constexpr int DefaultFontSize = 12;
const QString DefaultFontName = QStringLiteral("ＭＳ 明朝");
constexpr int DefaultTabWidth = 4;

// Sizes beyond these come only from a damaged file; the editor could not show them.
constexpr int MaxFontSize = 1000;

// The compile option keys, in the order they are read and written. A switch's
// text key is followed by the key of the dialog control that switches it on.
struct OptionKey {
    enum Kind {
        Instructions,  // the CPU text: one blank is always appended when read
        Switch,        // a switch's text: one blank appended when it is not empty
        Inside,        // an argument text: taken as read; its box shows it too
        Check,         // a check box (number in control)
        Item,          // RadioGroup1 or RadioGroup2 (control), items items
        Count,         // n_of_g or n_of_j
        CountText,     // the text of Edit9 or Edit10 (control)
    };
    Kind kind;
    const char* key;
    QString CompileOptionSet::*text = nullptr;
    int CompileOptionSet::*count = nullptr;
    int control = 0;
    int items = 0;
};

using S = CompileOptionSet;

constexpr OptionKey text(OptionKey::Kind kind, const char* key, QString S::*member, int control = 0)
{
    return {kind, key, member, nullptr, control, 0};
}
constexpr OptionKey check(const char* key, int box)
{
    return {OptionKey::Check, key, nullptr, nullptr, box, 0};
}
constexpr OptionKey item(const char* key, int group, int items)
{
    return {OptionKey::Item, key, nullptr, nullptr, group, items};
}

const OptionKey OptionKeys[] = {
    text(OptionKey::Instructions, "_Instructions", &S::Instructions),
    item("__Instructions", 1, 4),
    text(OptionKey::Switch, "_B", &S::B), check("__B", 1),
    text(OptionKey::Switch, "_C", &S::C), check("__C", 2),
    text(OptionKey::Switch, "_K", &S::K), check("__K", 3),
    text(OptionKey::Switch, "_N", &S::N), check("__N", 4),
    // -P is kept across runs as well; files of older versions lack the pair, and
    // their default (the state after start) is off.
    text(OptionKey::Switch, "_P", &S::P), check("__P", 5),
    text(OptionKey::Switch, "_S", &S::S), check("__S", 6),
    text(OptionKey::Switch, "_smallb", &S::smallb), check("__smallb", 7),
    text(OptionKey::Switch, "_smallc", &S::smallc), check("__smallc", 8),
    text(OptionKey::Switch, "_smallp", &S::smallp), check("__smallp", 9),
    text(OptionKey::Switch, "_smallw", &S::smallw), check("__smallw", 10),
    text(OptionKey::Switch, "_smallg", &S::smallg), check("__smallg", 11),
    {OptionKey::Count, "n_of_g", nullptr, &S::n_of_g},
    {OptionKey::CountText, "_n_of_g", nullptr, nullptr, 9},
    text(OptionKey::Switch, "_smallj", &S::smallj), check("__smallj", 12),
    {OptionKey::Count, "n_of_j", nullptr, &S::n_of_j},
    {OptionKey::CountText, "_n_of_j", nullptr, nullptr, 10},
    text(OptionKey::Switch, "_H", &S::H), check("__H", 13),
    text(OptionKey::Switch, "_I", &S::I), check("__I", 14),
    text(OptionKey::Switch, "_L", &S::L), check("__L", 15),
    text(OptionKey::Switch, "_T", &S::T), check("__T", 16),
    text(OptionKey::Switch, "_smalln", &S::smalln), check("__smalln", 17),
    text(OptionKey::Switch, "_Manual", &S::Manual), check("__Manual", 18),
    text(OptionKey::Inside, "_insideH", &S::insideH, 0),
    text(OptionKey::Inside, "_insideI", &S::insideI, 1),
    text(OptionKey::Inside, "_insideL", &S::insideL, 2),
    text(OptionKey::Inside, "_insideT", &S::insideT, 3),
    text(OptionKey::Inside, "_insiden", &S::insiden, 4),
    text(OptionKey::Inside, "_insideManual", &S::insideManual, 5),
    text(OptionKey::Switch, "_O", &S::O), item("__O", 2, 2),
};

int& itemOf(OptionControls& c, int group)
{
    return group == 1 ? c.instructions : c.priority;
}

QString& countTextOf(OptionControls& c, int edit)
{
    return edit == 9 ? c.countG : c.countJ;
}

// The box that shows an argument text: Edit1 to Edit5, then Edit.
QString& insideBoxOf(OptionControls& c, int k)
{
    return k < 5 ? c.values[size_t(k)] : c.manual;
}

// An integer key whose value outside lo..hi is as unusable as a missing one.
int readInRange(const IniFile& ini, const QString& section, const QString& key, int def, int lo,
                int hi)
{
    const int v = ini.readInteger(section, key, def);
    return v >= lo && v <= hi ? v : def;
}

// Whether a file or folder of exactly that name exists.
bool namesAnEntry(const FileSystem& files, const QString& path)
{
    if (path.contains(QChar(0)))  // only a damaged file holds such a name
        return false;
    return files.findFirst(path).has_value();
}

// Reading removes one pair of quotes that enclose a whole value: a text that is
// itself enclosed in quotes (a quoted folder, say) gets a pair around it to lose.
void writeText(IniFile& ini, const QString& section, const QString& key, const QString& value)
{
    // The blanks the reader trims before it looks for the quotes.
    const auto blank = [](QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    qsizetype from = 0, to = value.size();
    while (from < to && blank(value[from]))
        ++from;
    while (to > from && blank(value[to - 1]))
        --to;
    const QString t = value.mid(from, to - from);
    const bool enclosed = t.size() >= 2 && (t.front() == u'"' || t.front() == u'\'') && t.back() == t.front();
    ini.writeString(section, key, enclosed ? u'"' + t + u'"' : value);
}

// A path reads back exactly: blanks at either end are part of a Linux name, and
// the reader keeps them inside a pair of quotes.
void writePath(IniFile& ini, const QString& section, const QString& key, const QString& path)
{
    const bool blankEnd = !path.isEmpty() && (path.front().isSpace() || path.back().isSpace());
    if (blankEnd)
        ini.writeString(section, key, u'"' + path + u'"');
    else
        writeText(ini, section, key, path);
}

int fontPoints(const QFont& font, int dpi)
{
    if (font.pointSizeF() > 0)
        return qRound(font.pointSizeF());
    return qRound(font.pixelSize() * 72.0 / (dpi > 0 ? dpi : 96));
}

void restoreOptions(const IniFile& ini, WindowState& state)
{
    CompileOptionSet& set = state.OptionSet;
    OptionControls& c = state.OptionBoxes;
    for (const OptionKey& k : OptionKeys) {
        const QString key = QString::fromLatin1(k.key);
        switch (k.kind) {
        case OptionKey::Instructions:
        case OptionKey::Switch:
        case OptionKey::Inside: {
            QString& value = set.*k.text;
            value = ini.readString(Compiler, key, value);
            // Reading drops the blank every switch text ends in; it comes back here.
            if (k.kind == OptionKey::Instructions || (k.kind == OptionKey::Switch && !value.isEmpty()))
                value += u' ';
            if (k.kind == OptionKey::Inside)
                insideBoxOf(c, k.control) = value;
            break;
        }
        case OptionKey::Check: {
            bool& checked = c.checked[size_t(k.control - 1)];
            checked = ini.readBool(Compiler, key, checked);
            break;
        }
        case OptionKey::Item: {
            int& selected = itemOf(c, k.control);
            selected = readInRange(ini, Compiler, key, selected, -1, k.items - 1);
            break;
        }
        case OptionKey::Count:
            set.*k.count = ini.readInteger(Compiler, key, set.*k.count);
            break;
        case OptionKey::CountText: {
            QString& shown = countTextOf(c, k.control);
            shown = ini.readString(Compiler, key, shown);
            break;
        }
        }
    }
}

void saveOptions(IniFile& ini, const WindowState& state)
{
    const CompileOptionSet& set = state.OptionSet;
    OptionControls c = state.OptionBoxes;
    for (const OptionKey& k : OptionKeys) {
        const QString key = QString::fromLatin1(k.key);
        switch (k.kind) {
        case OptionKey::Instructions:
        case OptionKey::Switch:
        case OptionKey::Inside:
            writeText(ini, Compiler, key, set.*k.text);
            break;
        case OptionKey::Check:
            ini.writeBool(Compiler, key, c.checked[size_t(k.control - 1)]);
            break;
        case OptionKey::Item:
            ini.writeInteger(Compiler, key, itemOf(c, k.control));
            break;
        case OptionKey::Count:
            ini.writeInteger(Compiler, key, set.*k.count);
            break;
        case OptionKey::CountText:
            writeText(ini, Compiler, key, countTextOf(c, k.control));
            break;
        }
    }
}

// The pages of the last run, when no project was open then.
void restorePages(const IniFile& ini, TMemos& memos, const FileSystem& files, Dialogs& dialogs)
{
    int last = ini.readInteger(System, QStringLiteral("Index"), 0);
    last = std::clamp(last, 0, MaxRestoredPages - 1);
    // Every page the file lists comes back; a damaged Index beyond the last
    // FileName key lists nothing more, and must not create thousands of pages.
    while (last > 0 && !ini.hasKey(System, QStringLiteral("FileName%1").arg(last)))
        --last;
    while (memos.LastIndex() < last)
        memos.AddPage(QString());
    for (int i = 0; i <= last; ++i) {
        const QString name = ini.readString(System, QStringLiteral("FileName%1").arg(i), QString());
        if (!name.isEmpty() && namesAnEntry(files, name)) {
            // A failed load leaves the page untitled, so that no empty page is bound
            // to a file it could overwrite; the other pages and settings still come
            // back, or the next close would write defaults over them.
            try {
                loadPageFile(memos, i, name);
            } catch (...) {
                ShowError(dialogs, textOfCurrentException());
            }
        } else {
            memos.setFileName(i, QString());
            memos.setCaption(i, QString());
        }
    }
}

}  // namespace

QString settingsFilePath(const QString& programFolder)
{
    return programFolder + QStringLiteral("Nollex.ini");
}

QString versionNumberText(int version)
{
    const qint64 v = version;
    const qint64 whole = (v < 0 ? -v : v) / 100;
    qint64 cents = (v < 0 ? -v : v) % 100;
    QString text = (v < 0 ? QStringLiteral("-") : QString()) + QString::number(whole);
    if (cents != 0) {
        QString fraction = QStringLiteral("%1").arg(cents, 2, 10, QLatin1Char('0'));
        if (fraction.endsWith(u'0'))
            fraction.chop(1);
        text += u'.' + fraction;
    }
    return text;
}

QString olderSettingsQuestion(int storedVersion)
{
    return QStringLiteral("現存する設定ファイルは Version") + versionNumberText(storedVersion) +
           QStringLiteral(" のものです\n") + QStringLiteral("今の Nollex は Version") +
           versionNumberText(FormatVersion) +
           QStringLiteral(" ですので正常に解釈しない可能性があります\n") +
           QStringLiteral("設定の読み込みを行いますか？");
}

namespace {

void restoreLook(const IniFile& ini, TMemos& memos)
{
    const int background =
        readInRange(ini, System, QStringLiteral("BGColor"), DefaultBackground, 0, 0xFFFFFF);
    const int fontColor =
        readInRange(ini, System, QStringLiteral("FontColor"), DefaultFontColor, 0, 0xFFFFFF);
    const int fontSize =
        readInRange(ini, System, QStringLiteral("FontSize"), DefaultFontSize, 1, MaxFontSize);
    QString fontName = ini.readString(System, QStringLiteral("FontName"), DefaultFontName);
    if (fontName.isEmpty())
        fontName = DefaultFontName;
    memos.setColor(colorFromBgr(background));
    QFont font = memos.Font();
    font.setFamily(fontName);
    font.setPointSize(fontSize);
    memos.setFont(font);
    memos.setFontColor(colorFromBgr(fontColor));
    // Files from before these switches have both on.
    memos.setColouring(ini.readBool(Editor, QStringLiteral("Colouring"), true));
    memos.setLineNumbers(ini.readBool(Editor, QStringLiteral("LineNumbers"), true));
}

// The window's place: kept only when all four numbers are there and usable.
WindowPlace restorePlace(const IniFile& ini)
{
    constexpr int far = 1000000;  // beyond any desktop: a damaged file
    WindowPlace place;
    const int left = readInRange(ini, Window, QStringLiteral("Left"), far + 1, -far, far);
    const int top = readInRange(ini, Window, QStringLiteral("Top"), far + 1, -far, far);
    const int width = readInRange(ini, Window, QStringLiteral("Width"), 0, 100, far);
    const int height = readInRange(ini, Window, QStringLiteral("Height"), 0, 100, far);
    if (left <= far && top <= far && width > 0 && height > 0)
        place.geometry = QRect(left, top, width, height);
    place.maximized = ini.readBool(Window, QStringLiteral("Maximized"), false);
    place.messageHeight = readInRange(ini, Window, QStringLiteral("MessageHeight"), 0, 0, far);
    return place;
}

void savePlace(IniFile& ini, const WindowPlace& place)
{
    ini.writeInteger(Window, QStringLiteral("Left"), place.geometry.left());
    ini.writeInteger(Window, QStringLiteral("Top"), place.geometry.top());
    ini.writeInteger(Window, QStringLiteral("Width"), place.geometry.width());
    ini.writeInteger(Window, QStringLiteral("Height"), place.geometry.height());
    ini.writeBool(Window, QStringLiteral("Maximized"), place.maximized);
    ini.writeInteger(Window, QStringLiteral("MessageHeight"), place.messageHeight);
}

}  // namespace

bool restoreSettings(const QString& path, WindowState& state, WindowHost& window)
{
    const IniFile ini(path);
    TMemos& memos = window.pages();

    const int version = ini.readInteger(Information, QStringLiteral("Version"), 0);
    if (version > 0 && version < FormatVersion &&
        window.dialogs().message(OlderSettingsCaption, olderSettingsQuestion(version),
                                 MsgButtons::YesNo, MsgIcon::None) != MsgAnswer::Yes) {
        return false;
    }

    restoreLook(ini, memos);
    state.RunMode = AfterRun(readInRange(ini, System, QStringLiteral("close_or_not"),
                                         int(state.RunMode), 0, 1));
    state.GuardedRun = ini.readBool(Build, QStringLiteral("GuardedRun"), true);
    state.Completion = ini.readBool(Editor, QStringLiteral("Completion"), true);
    state.SampleTimeLimit = readInRange(ini, Build, QStringLiteral("SampleTimeLimit"), state.SampleTimeLimit, 100, 600000);
    state.SampleNumbersWithin = ini.readBool(Build, QStringLiteral("SampleNumbersWithin"), false);

    state.ProjectFile = ini.readString(Project, QStringLiteral("ProjectFile"), QString());
    if (!state.ProjectFile.isEmpty()) {
        // The project shows its own messages; an error escaping it still leaves
        // the rest of the settings worth restoring.
        try {
            window.OpenProject(state.ProjectFile);
        } catch (...) {
            ShowError(window.dialogs(), textOfCurrentException());
        }
    } else {
        restorePages(ini, memos, window.files(), window.dialogs());
    }

    memos.setTabWidth(
        readInRange(ini, System, QStringLiteral("Tab"), DefaultTabWidth, MinTabWidth, MaxTabWidth));
    // The page set brings an index above the last page down to it, and a negative
    // one (only a damaged file has it) up to the first page.
    memos.setActiveIndex(ini.readInteger(System, QStringLiteral("ActiveIndex"), 0));

    state.CompilerDirectory =
        ini.readString(Compiler, QStringLiteral("compiler_directory"), state.CompilerDirectory);
    state.CompilerName = ini.readString(Compiler, QStringLiteral("compiler_name"), state.CompilerName);

    restoreOptions(ini, state);
    state.Place = restorePlace(ini);

    window.setMainCaption(memos.fileName(memos.ActiveIndex()));
    return true;
}

void saveSettings(const QString& path, const WindowState& state, WindowHost& window)
{
    IniFile ini(path);
    TMemos& memos = window.pages();
    // A hundred pages mean a hundred keys: collected, and the file replaced once.
    ini.beginBatch();

    ini.writeInteger(Information, QStringLiteral("Version"), FormatVersion);

    ini.writeInteger(System, QStringLiteral("BGColor"), bgrFromColor(memos.Color()));
    ini.writeInteger(System, QStringLiteral("FontColor"), bgrFromColor(memos.FontColor()));
    const QFont font = memos.Font();
    ini.writeInteger(System, QStringLiteral("FontSize"),
                     fontPoints(font, memos.editor(0)->logicalDpiY()));
    writeText(ini, System, QStringLiteral("FontName"), font.family());
    ini.writeInteger(System, QStringLiteral("Tab"), memos.TabWidth());
    ini.writeInteger(System, QStringLiteral("close_or_not"), int(state.RunMode));
    ini.writeInteger(System, QStringLiteral("Index"), memos.LastIndex());
    for (int i = 0; i <= memos.LastIndex(); ++i)
        writePath(ini, System, QStringLiteral("FileName%1").arg(i), memos.fileName(i));
    ini.writeInteger(System, QStringLiteral("ActiveIndex"), memos.ActiveIndex());

    ini.writeBool(Editor, QStringLiteral("Colouring"), memos.Colouring());
    ini.writeBool(Editor, QStringLiteral("LineNumbers"), memos.LineNumbers());
    ini.writeBool(Editor, QStringLiteral("Completion"), state.Completion);
    ini.writeBool(Build, QStringLiteral("GuardedRun"), state.GuardedRun);
    ini.writeInteger(Build, QStringLiteral("SampleTimeLimit"), state.SampleTimeLimit);
    ini.writeBool(Build, QStringLiteral("SampleNumbersWithin"), state.SampleNumbersWithin);

    writePath(ini, Project, QStringLiteral("ProjectFile"),
              state.ProjectMainIndex != -1 ? state.ProjectFile : QString());

    writePath(ini, Compiler, QStringLiteral("compiler_directory"), state.CompilerDirectory);
    writeText(ini, Compiler, QStringLiteral("compiler_name"), state.CompilerName);
    saveOptions(ini, state);
    if (state.Place.geometry.isValid())
        savePlace(ini, state.Place);
    ini.commitBatch();
}

}  // namespace nollex
