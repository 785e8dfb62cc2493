#pragma once
#include "TGroupBox.h"

#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace nollex {

// A group box of radio buttons with one selected item index (-1 = none). The
// buttons fill the box evenly, column by column, as the classic radio group does.
class TRadioGroup : public TGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns,
                QWidget* parent = nullptr);

    int ItemIndex() const;
    // An index below -1 means none, one past the last item means the last.
    void setItemIndex(int index);
    int count() const { return int(Buttons.size()); }

    QList<QRadioButton*> Buttons;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void arrangeButtons();

    QButtonGroup* group_;
    int columns_;
};

}  // namespace nollex
