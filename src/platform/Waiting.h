#pragma once
// Waiting on something that may take long (a compile, another window's build)
// without freezing the window: the window layer keeps painting, shows a small
// window with a stop button after a while, and takes no other command meanwhile.

#include <QString>
#include <functional>

namespace nollex {

class Waiting {
public:
    virtual ~Waiting() = default;
    // Polls finished until it is true (then true) or the user stops the wait
    // (then false). text is what the small window says.
    virtual bool waitFor(const std::function<bool()>& finished, const QString& text) = 0;
};

// What the small window says while a compile runs or waits for another one.
inline const QString kCompilingText = QStringLiteral("コンパイル中…");

}  // namespace nollex
