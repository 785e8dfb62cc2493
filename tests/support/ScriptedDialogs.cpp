#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace nollex::test {

ScriptedDialogs::~ScriptedDialogs() = default;

std::optional<Answer> ScriptedDialogs::next(const Asked& a)
{
    asked.append(a);
    if (whenAsked)
        whenAsked(a);
    if (script_.empty()) {
        ADD_FAILURE() << "unscripted dialog: caption \"" << a.caption.toStdString()
                      << "\" text \"" << a.text.toStdString() << "\"";
        return std::nullopt;
    }
    Answer ans = std::move(script_.front());
    script_.pop_front();
    return ans;
}

MsgAnswer ScriptedDialogs::message(const QString& caption, const QString& text,
                                   MsgButtons buttons, MsgIcon icon)
{
    Asked a{Asked::Message, caption, text, buttons, icon, {}, {}, {}, false};
    auto ans = next(a);
    if (ans && std::holds_alternative<MsgAnswer>(*ans))
        return std::get<MsgAnswer>(*ans);
    if (ans)
        ADD_FAILURE() << "message box answered with a non-button answer";
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok
           : buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
}

QStringList ScriptedDialogs::openFiles(const OpenFileRequest& r)
{
    Asked a{Asked::OpenFiles, {}, {}, MsgButtons::Ok, MsgIcon::None, r.filter, {}, r.directory,
            r.multiple};
    auto ans = next(a);
    if (ans && std::holds_alternative<QStringList>(*ans))
        return std::get<QStringList>(*ans);
    if (ans && std::holds_alternative<QString>(*ans))
        return {std::get<QString>(*ans)};
    return {};
}

std::optional<QString> ScriptedDialogs::saveFile(const SaveFileRequest& r)
{
    Asked a{Asked::SaveFile, {}, {}, MsgButtons::Ok, MsgIcon::None, r.filter, r.presetName,
            r.directory, false};
    auto ans = next(a);
    if (ans && std::holds_alternative<QString>(*ans))
        return std::get<QString>(*ans);
    return std::nullopt;
}

std::optional<QColor> ScriptedDialogs::color(const QColor& initial)
{
    Asked a{Asked::Color, {}, initial.name(), MsgButtons::Ok, MsgIcon::None, {}, {}, {}, false};
    auto ans = next(a);
    if (ans && std::holds_alternative<QColor>(*ans))
        return std::get<QColor>(*ans);
    return std::nullopt;
}

std::optional<FontChoice> ScriptedDialogs::font(
    const FontChoice& initial, const std::function<void(const FontChoice&)>& apply)
{
    Asked a{Asked::Font, {}, initial.font.toString(), MsgButtons::Ok, MsgIcon::None, {},
            initial.color.name(), {}, false};
    auto ans = next(a);
    if (ans && std::holds_alternative<FontAnswer>(*ans)) {
        const FontAnswer& f = std::get<FontAnswer>(*ans);
        for (const FontChoice& applied : f.applied)
            if (apply)
                apply(applied);
        return f.result;
    }
    return std::nullopt;
}

std::optional<QString> ScriptedDialogs::input(const InputRequest& r)
{
    Asked a{Asked::Input, r.caption, r.prompt, MsgButtons::Ok, MsgIcon::None, {}, r.preset, {},
            false};
    auto ans = next(a);
    if (ans && std::holds_alternative<QString>(*ans))
        return std::get<QString>(*ans);
    return std::nullopt;
}

std::optional<SampleCaseText> ScriptedDialogs::sampleCase(const QString& inputPreset)
{
    Asked a{Asked::SampleCase, {}, {}, MsgButtons::Ok, MsgIcon::None, {}, inputPreset, {}, false};
    auto ans = next(a);
    if (ans && std::holds_alternative<SampleCaseText>(*ans))
        return std::get<SampleCaseText>(*ans);
    return std::nullopt;
}

}  // namespace nollex::test
