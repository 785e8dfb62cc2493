#include "TRadioGroup.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFontMetrics>
#include <QRadioButton>

namespace nollex {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)), columns_(std::max(columns, 1))
{
    for (const QString& item : items) {
        auto* button = new QRadioButton(item, this);
        group_->addButton(button, int(Buttons.size()));
        Buttons.append(button);
    }
    arrangeButtons();
}

int TRadioGroup::ItemIndex() const
{
    return group_->checkedId();
}

void TRadioGroup::setItemIndex(int index)
{
    index = std::clamp(index, -1, count() - 1);
    if (index >= 0) {
        Buttons[index]->setChecked(true);
        return;
    }
    // An exclusive group never lets its last checked button go.
    group_->setExclusive(false);
    for (QRadioButton* b : Buttons)
        b->setChecked(false);
    group_->setExclusive(true);
}

void TRadioGroup::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    arrangeButtons();
}

void TRadioGroup::changeEvent(QEvent* event)
{
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        arrangeButtons();
}

void TRadioGroup::arrangeButtons()
{
    if (Buttons.isEmpty())
        return;
    const int perColumn = (count() + columns_ - 1) / columns_;
    const int textHeight = QFontMetrics(font()).height();
    const int buttonWidth = (width() - 10) / columns_;
    const int space = height() - textHeight - 5;
    const int buttonHeight = std::max(space / perColumn, 1);
    const int top = textHeight + 1 + (space % perColumn) / 2;
    for (int i = 0; i < count(); ++i) {
        Buttons[i]->setGeometry(8 + (i / perColumn) * buttonWidth,
                                top + (i % perColumn) * buttonHeight, std::max(buttonWidth, 1),
                                buttonHeight);
    }
}

}  // namespace nollex
