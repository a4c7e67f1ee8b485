#include "ui/common/radio_group.h"

#include <QFontMetrics>

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(caption, parent), Group(new QButtonGroup(this)), Columns(columns < 1 ? 1 : columns) {
  Group->setExclusive(true);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    Group->addButton(button, i);
    Buttons.push_back(button);
  }
  connect(Group, &QButtonGroup::idToggled, this, [this](int, bool) { UpdateTabStop(); });
  UpdateTabStop();
  PlaceItems();
}

int TRadioGroup::ItemIndex() const { return Group->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
  if (index >= 0 && index < ItemCount()) {
    Buttons[static_cast<size_t>(index)]->setChecked(true);
    return;
  }
  // An exclusive group refuses to uncheck its last button.
  Group->setExclusive(false);
  for (auto* button : Buttons) button->setChecked(false);
  Group->setExclusive(true);
  UpdateTabStop();
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  PlaceItems();
}

// Items fill the area below the caption, column by column, in equal cells.
void TRadioGroup::PlaceItems() {
  if (Buttons.empty()) return;
  const int captionHeight = QFontMetrics(font()).height();
  const int left = 8;
  const int top = captionHeight;
  const int width = this->width() - 2 * left;
  const int height = this->height() - top - 3;
  const int rows = (ItemCount() + Columns - 1) / Columns;
  const int cellWidth = width / Columns;
  const int cellHeight = rows > 0 ? height / rows : height;
  for (int i = 0; i < ItemCount(); ++i) {
    const int column = i / rows;
    const int row = i % rows;
    Buttons[static_cast<size_t>(i)]->setGeometry(left + column * cellWidth, top + row * cellHeight, cellWidth,
                                                 cellHeight);
  }
}

// Only the selected item (or the first, when none is) takes Tab focus, so
// Tab enters and leaves the group in one step; the mouse reaches every item.
void TRadioGroup::UpdateTabStop() {
  const int selected = ItemIndex() < 0 ? 0 : ItemIndex();
  for (int i = 0; i < ItemCount(); ++i)
    Buttons[static_cast<size_t>(i)]->setFocusPolicy(i == selected ? Qt::StrongFocus : Qt::ClickFocus);
}
