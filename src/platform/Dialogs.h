#pragma once
// Every modal interaction of the program goes through this interface, so that a
// test can script the answers and read back exactly what was asked.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace nollex {

enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgIcon { None, Error, Information };
enum class MsgAnswer { Ok, Yes, No, Cancel };

struct OpenFileRequest {
    QString filter;     // Windows form: "Text|*.txt|Others|*.*"
    QString directory;  // where the dialog starts; empty = wherever it likes
    bool multiple = false;
};

struct SaveFileRequest {
    QString filter;
    QString presetName;  // file name (or full path) the dialog proposes
    QString directory;
};

// A font together with its colour, as the font dialog chooses them.
struct FontChoice {
    QFont font;
    QColor color;
};

struct InputRequest {
    QString caption;
    QString prompt;
    QString preset;
    int maxBytes = 255;
};

// A sample case the user typed: its input and the output it should give.
struct SampleCaseText {
    QString input;
    QString expected;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message box; the first button is the default one.
    virtual MsgAnswer message(const QString& caption, const QString& text, MsgButtons buttons,
                              MsgIcon icon) = 0;
    // The chosen files in the dialog's order; empty when cancelled.
    virtual QStringList openFiles(const OpenFileRequest& request) = 0;
    virtual std::optional<QString> saveFile(const SaveFileRequest& request) = 0;
    virtual std::optional<QColor> color(const QColor& initial) = 0;
    // apply is called for every press of the dialog's Apply button.
    virtual std::optional<FontChoice> font(const FontChoice& initial,
                                           const std::function<void(const FontChoice&)>& apply) = 0;
    // The edited text on OK, nothing when cancelled.
    virtual std::optional<QString> input(const InputRequest& request) = 0;
    // Two boxes, the input (starting as inputPreset) and the expected output;
    // nothing when cancelled.
    virtual std::optional<SampleCaseText> sampleCase(const QString& inputPreset) = 0;
};

// "Desc|*.c;*.h|Others|*.*" -> "Desc (*.c *.h);;Others (*.*)" for Qt's file dialogs.
QString qtFilterFromWindows(const QString& windowsFilter);

}  // namespace nollex
