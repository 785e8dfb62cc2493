#pragma once
#include <QDialog>

namespace nollex {

// The configuration dialog. Created hidden at start-up and shown modally.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
};

}  // namespace nollex
