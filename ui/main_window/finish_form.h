#pragma once
// The completion dialog a successful run shows: it says only that the
// calculation has finished.

#include <QDialog>

class QLabel;
class QPushButton;
class TBevelPanel;

class TFinishForm : public QDialog {
  Q_OBJECT
 public:
  explicit TFinishForm(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TBevelPanel* Panel1;
  TBevelPanel* Panel2;
  QLabel* Label3;
  QLabel* Label1;
  QPushButton* BitBtn1;
};
