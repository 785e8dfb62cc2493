#include "TRadioGroup.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFontMetrics>
#include <QRadioButton>

namespace nollex {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : TGroupBox(caption, parent), group_(new QButtonGroup(this)), columns_(std::max(columns, 1))
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
    TGroupBox::resizeEvent(event);
    arrangeButtons();
}

void TRadioGroup::changeEvent(QEvent* event)
{
    TGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        arrangeButtons();
}

void TRadioGroup::arrangeButtons()
{
    if (Buttons.isEmpty())
        return;
    // The rows share the room between the caption's glyphs and the bottom edge.
    // Each button is at least a text line tall, centred on its row, so a font
    // whose lines are taller than its glyphs is not clipped.
    const QFontMetrics fm(font());
    const int glyphs = std::min(fm.height(), std::max(font().pixelSize(), fm.capHeight()));
    const int perColumn = (count() + columns_ - 1) / columns_;
    const int buttonWidth = std::max((width() - 10) / columns_, 1);
    const int top = (fm.height() + glyphs) / 2;
    const int room = std::max(height() - 3 - top, perColumn);
    const int buttonHeight = std::max(fm.height(), room / perColumn);
    for (int i = 0; i < count(); ++i) {
        const int row = i % perColumn;
        const int centre = top + (2 * row + 1) * room / (2 * perColumn);
        Buttons[i]->setGeometry(8 + (i / perColumn) * buttonWidth, centre - buttonHeight / 2,
                                buttonWidth, buttonHeight);
    }
}

}  // namespace nollex
