#pragma once
#include <QGroupBox>

namespace nollex {

// A group box in the classic look: the caption sits on the frame line, so the
// controls placed just below the caption stay inside the frame.
class TGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TGroupBox(const QString& caption, QWidget* parent = nullptr)
        : QGroupBox(caption, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace nollex
