#include "ui/main_window/finish_form.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "ui/common/bevel_panel.h"
#include "ui/common/channel_picture.h"
#include "ui/common/window_font.h"

TFinishForm::TFinishForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("FinishForm"));
  setWindowTitle(QStringLiteral("FinishForm"));
  setWindowIcon(ChannelIcon());
  setFont(WindowFont());
  setFixedSize(367, 230);
  setModal(true);

  Panel1 = new TBevelPanel(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->SetBevels(TBevel::Raised, TBevel::Lowered, 1);
  Panel1->setGeometry(0, 0, 367, 230);

  Panel2 = new TBevelPanel(Panel1);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->SetBevels(TBevel::Raised, TBevel::None, 1);
  Panel2->SetCaption(QStringLiteral("Calculation is successfully finished !"), Qt::AlignCenter);
  Panel2->SetCaptionColor(Qt::blue);
  Panel2->setFont(WindowFont(19));
  Panel2->setGeometry(17, 23, 334, 55);

  Label3 = new QLabel(QStringLiteral("Vresion 1.2 "), Panel1);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->setFont(WindowFont(16));
  Label3->setGeometry(133, 89, 79, 16);

  Label1 = new QLabel(QStringLiteral("2008.8.3"), Panel1);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(WindowFont(15));
  Label1->setGeometry(145, 147, 54, 15);
  // Labels size themselves to their text, so a wider substitute font does
  // not cut them off; the stated size is the least they take.
  for (QLabel* label : {Label3, Label1})
    label->resize(label->size().expandedTo(label->sizeHint()));

  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), Panel1);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setFont(WindowFont(13));
  SetTextColor(BitBtn1, Qt::black);
  BitBtn1->setGeometry(126, 178, 100, 29);
  BitBtn1->setDefault(true);
  BitBtn1->setAutoDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TFinishForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The only control; with the focus it takes Space as well as Enter.
  BitBtn1->setFocus(Qt::ActiveWindowFocusReason);
  if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
  }
}
