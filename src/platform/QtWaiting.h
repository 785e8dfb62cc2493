#pragma once
#include "Waiting.h"

class QWidget;

namespace nollex {

// The wait of the window: for the first two seconds the window keeps painting
// and takes no input; after that a small modal window with the text and a 中止
// button shows until the wait ends or the button is pressed.
class QtWaiting : public Waiting {
public:
    explicit QtWaiting(QWidget* parent = nullptr, int quietMs = 2000) : parent_(parent), quietMs_(quietMs) {}
    bool waitFor(const std::function<bool()>& finished, const QString& text) override;

private:
    QWidget* parent_;
    int quietMs_;
};

// The caption of the small window's stop button.
inline const QString kStopCaption = QStringLiteral("中止");

}  // namespace nollex
