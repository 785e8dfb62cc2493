#pragma once
#include "Dialogs.h"

class QWidget;

namespace nollex {

// The real, modal Qt dialogs.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    MsgAnswer message(const QString& caption, const QString& text, MsgButtons buttons,
                      MsgIcon icon) override;
    QStringList openFiles(const OpenFileRequest& request) override;
    std::optional<QString> saveFile(const SaveFileRequest& request) override;
    std::optional<QColor> color(const QColor& initial) override;
    std::optional<FontChoice> font(const FontChoice& initial,
                                   const std::function<void(const FontChoice&)>& apply) override;
    std::optional<QString> input(const InputRequest& request) override;
    std::optional<SampleCaseText> sampleCase(const QString& inputPreset) override;

private:
    QWidget* parent_;
};

// Width of a text in the system's code page bytes: a character outside ASCII and
// the half-width katakana takes two (as in Shift-JIS).
int codePageWidth(QStringView text);

}  // namespace nollex
