#pragma once
// A captioned group of radio buttons laid out in columns, with one selected
// index; the group as a whole is one Tab stop, reached on its selected item.

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>
#include <vector>

class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent = nullptr);

  // -1 when no item is selected.
  int ItemIndex() const;
  // Selects the item as a click would; -1 clears the selection.
  void SetItemIndex(int index);
  QRadioButton* Item(int index) const { return Buttons.at(static_cast<size_t>(index)); }
  int ItemCount() const { return static_cast<int>(Buttons.size()); }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceItems();
  void UpdateTabStop();

  QButtonGroup* Group;
  std::vector<QRadioButton*> Buttons;
  int Columns;
};
