#pragma once
#include <QApplication>

namespace nollex {

// The application object: titled "Nollex"; an error that escapes a window event is
// shown and the program goes on.
class NollexApplication : public QApplication {
public:
    NollexApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace nollex
