#pragma once
#include <QString>
#include <stdexcept>

namespace nollex {

// The one error type that command handlers let escape; the main window shows its
// text through ShowError and goes on.
class NollexError : public std::runtime_error {
public:
    explicit NollexError(const QString& text)
        : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

}  // namespace nollex
