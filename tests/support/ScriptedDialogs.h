#pragma once
// A Dialogs implementation for tests: it records every request and answers from
// a script queued by the test. A request with no scripted answer fails the test
// and is answered as a cancel.

#include "platform/Dialogs.h"

#include <QList>
#include <deque>
#include <variant>

namespace nollex::test {

struct Asked {
    enum Kind { Message, OpenFiles, SaveFile, Color, Font, Input, SampleCase } kind;
    QString caption;
    QString text;  // message text, input prompt
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    QString filter;
    QString preset;  // save preset name, input preset
    QString directory;
    bool multiple = false;
};

struct Cancel {};
struct FontAnswer {
    std::optional<FontChoice> result;  // nothing = cancelled
    QList<FontChoice> applied;         // presses of Apply before closing
};
using Answer = std::variant<MsgAnswer, QStringList, QString, QColor, FontAnswer, Cancel, SampleCaseText>;

class ScriptedDialogs : public Dialogs {
public:
    ~ScriptedDialogs() override;

    template <class T>
    void answer(T&& a)
    {
        script_.emplace_back(std::in_place_type<std::decay_t<T>>, std::forward<T>(a));
    }
    QList<Asked> asked;
    // Called with every request as it is made, before it is answered: what the
    // window showed while it asked.
    std::function<void(const Asked&)> whenAsked;
    bool allAnswersUsed() const { return script_.empty(); }
    // Forget what was asked so far (the script stays).
    void clearAsked() { asked.clear(); }

    MsgAnswer message(const QString& caption, const QString& text, MsgButtons buttons,
                      MsgIcon icon) override;
    QStringList openFiles(const OpenFileRequest& request) override;
    std::optional<QString> saveFile(const SaveFileRequest& request) override;
    std::optional<QColor> color(const QColor& initial) override;
    // Records the initial font in text and its colour's name in preset.
    std::optional<FontChoice> font(const FontChoice& initial,
                                   const std::function<void(const FontChoice&)>& apply) override;
    std::optional<QString> input(const InputRequest& request) override;
    // Records the input preset in preset.
    std::optional<SampleCaseText> sampleCase(const QString& inputPreset) override;

private:
    std::optional<Answer> next(const Asked& a);
    std::deque<Answer> script_;
};

}  // namespace nollex::test
