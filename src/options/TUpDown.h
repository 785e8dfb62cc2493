#pragma once
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace nollex {

// Up and down arrows attached to a line edit. The edit may hold any text: a step
// starts from the number in the edit when there is one, else from the last
// position, stays within Min..Max without wrapping, and writes the result back.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(QLineEdit* associate, QWidget* parent = nullptr);

    int Min = 0;
    int Max = 100;
    int Position() const { return position_; }
    void setPosition(int position);
    void stepBy(int delta);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* associate_;
    QToolButton* up_;
    QToolButton* down_;
    int position_ = 0;
};

}  // namespace nollex
