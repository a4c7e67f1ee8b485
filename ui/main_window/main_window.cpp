#include "ui/main_window/main_window.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QWindow>
#include <exception>

#include "app/run_command.h"
#include "model/input_fields.h"
#include "results/melt_run.h"
#include "ui/common/bevel_panel.h"
#include "ui/common/channel_picture.h"
#include "ui/common/dialogs.h"
#include "ui/main_window/file_widgets.h"
#include "ui/common/input_rows.h"
#include "ui/common/radio_group.h"
#include "ui/main_window/refused_field.h"
#include "ui/common/window_font.h"

namespace {

const QColor Maroon(0x80, 0x00, 0x00);
// Greyed, yet 6:1 against the light background of a disabled field: those
// fields hold the material data that drive every result.
const QColor DisabledFieldText(0x59, 0x59, 0x59);

// What a report writer says during a run becomes a message box at once.
class WindowMessages : public UserMessages {
 public:
  explicit WindowMessages(Dialogs& dialogs) : TheDialogs(dialogs) {}
  void ShowMessage(const std::string& text) override {
    ++Shown;
    TheDialogs.ShowMessage(QString::fromLocal8Bit(text));
  }
  int Shown = 0;

 private:
  Dialogs& TheDialogs;
};

}  // namespace

TMF_Tad::TMF_Tad(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), TheDialogs(dialogs), Model(std::make_unique<ModelState>()) {
  setObjectName(QStringLiteral("MF_Tad"));
  setWindowTitle(QString::fromLatin1(ApplicationName));
  setWindowIcon(ChannelIcon());
  setFont(WindowFont());
  // The classic form background is the button face.
  QPalette background = palette();
  background.setColor(QPalette::Window, background.color(QPalette::Button));
  setPalette(background);
  setAutoFillBackground(true);
  resize(FramelessClientWidth, FramelessClientHeight);

  Separator = ShownDecimalSeparator();

  BuildInputRows();
  BuildLowerControls();
  BuildMaterialControls();
  BuildProjectMenu();
  SetTabOrder();
  KeepMinimumToControls();

  auto* openResults = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
  connect(openResults, &QShortcut::activated, this, [this] { Image1Click(); });
  auto* openStudy = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this);
  connect(openStudy, &QShortcut::activated, this, [this] { StudyClick(); });
}

TMF_Tad::~TMF_Tad() = default;

void TMF_Tad::BuildInputRows() {
  GroupBox1 = new QGroupBox(QStringLiteral("  Input Data   "), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1->setFont(WindowFont(15));
  SetTextColor(GroupBox1, Qt::red);
  GroupBox1->setGeometry(12, 9, 660, 291);

  for (int i = 0; i < InputCount; ++i) {
    const InputRow& row = InputRows[static_cast<size_t>(i)];
    const InputField& field = InputFields[static_cast<size_t>(i)];

    auto* panel = new TBevelPanel(GroupBox1);
    panel->setObjectName(QString::fromLatin1(row.Panel));
    panel->setFont(WindowFont());
    panel->SetBevels(TBevel::Raised, TBevel::Lowered, 1);
    panel->SetCaption(QString::fromUtf8(row.Label), Qt::AlignLeft | Qt::AlignVCenter);
    panel->SetCaptionColor(Qt::blue);
    panel->setGeometry(row.Left, row.Top, row.Width, row.Height);

    auto* edit = new QLineEdit(QString::fromStdString(InitialInputText(i, Separator)), panel);
    edit->setObjectName(QString::fromLatin1(row.Edit));
    edit->setFont(WindowFont());
    SetTextColor(edit, Qt::black);
    edit->setGeometry(row.EditLeft, row.EditTop, EditWidth, EditHeight);
    // Fixed fields keep the material data of the initial texts for every run.
    edit->setEnabled(!field.Fixed);
    edit->setFocusPolicy(field.Fixed ? Qt::NoFocus : Qt::StrongFocus);
    if (field.Fixed) {
      QPalette readable = edit->palette();
      readable.setColor(QPalette::Disabled, QPalette::Text, DisabledFieldText);
      edit->setPalette(readable);
    }
    InputEdits[static_cast<size_t>(i)] = edit;
  }
}

void TMF_Tad::BuildLowerControls() {
  RadioGroup1 = new TRadioGroup(QStringLiteral("Viscosity Unit"),
                                {QStringLiteral("Pa.s"), QStringLiteral("gf.s/cm2")}, 2, this);
  RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
  RadioGroup1->setFont(WindowFont(13));
  SetTextColor(RadioGroup1, Qt::blue);
  RadioGroup1->setGeometry(12, 307, 263, 38);
  RadioGroup1->SetItemIndex(InitialUnitIndex);

  GroupBox2 = new QGroupBox(QStringLiteral(" Save File Name "), this);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  GroupBox2->setFont(WindowFont(13));
  SetTextColor(GroupBox2, Qt::red);
  GroupBox2->setGeometry(289, 309, 122, 53);

  Edit29 = new QLineEdit(QString::fromLatin1(InitialResultFileName), GroupBox2);
  Edit29->setObjectName(QStringLiteral("Edit29"));
  Edit29->setFont(WindowFont(15));
  SetTextColor(Edit29, Qt::black);
  Edit29->setGeometry(14, 18, 96, 23);
  Edit29->setFocusPolicy(Qt::ClickFocus);

  InputDataBtn = new QPushButton(QStringLiteral("Read Data File"), this);
  InputDataBtn->setObjectName(QStringLiteral("InputDataBtn"));
  SetTextColor(InputDataBtn, Maroon);
  InputDataBtn->setGeometry(297, 369, 101, 25);

  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("GO"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(298, 406, 100, 35);
  BitBtn1->setDefault(true);

  BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("&Close"), this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn2->setGeometry(299, 448, 100, 35);

  // The mouse reaches the buttons, Tab does not; a button that has the focus
  // takes Enter itself.
  for (QPushButton* button : {InputDataBtn, BitBtn1, BitBtn2}) {
    button->setFocusPolicy(Qt::ClickFocus);
    button->setAutoDefault(true);
  }
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(BitBtn2, &QPushButton::clicked, this, &QWidget::close);
  connect(InputDataBtn, &QPushButton::clicked, this, [this] { InputDataBtnClick(); });

  const QString startDirectory = QDir::currentPath();
  DriveComboBox1 = new TDriveComboBox(this);
  DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
  DriveComboBox1->setGeometry(422, 314, 128, 18);
  DriveComboBox1->ShowDriveOf(startDirectory);

  DirectoryListBox1 = new TDirectoryListBox(TheDialogs, startDirectory, this);
  DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
  DirectoryListBox1->setGeometry(421, 338, 126, 145);

  FileListBox1 = new TFileListBox(TheDialogs, startDirectory, this);
  FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
  FileListBox1->setGeometry(557, 315, 117, 167);

  connect(DriveComboBox1, &TDriveComboBox::DriveChosen, DirectoryListBox1, &TDirectoryListBox::ChangeDirectory);
  connect(DirectoryListBox1, &TDirectoryListBox::DirectoryChanged, DriveComboBox1, &TDriveComboBox::ShowDriveOf);

  Panel29 = new TBevelPanel(this);
  Panel29->setObjectName(QStringLiteral("Panel29"));
  Panel29->SetBevels(TBevel::Raised, TBevel::Lowered, 2);
  Panel29->setGeometry(13, 357, 264, 117);

  Image1 = new QLabel(Panel29);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(Panel29->InnerRect());
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Image1->setScaledContents(false);
  Image1->setPixmap(DrawChannelPicture(Panel29->InnerRect().size(), true));
  Image1->setToolTip(QStringLiteral("Click here or press Ctrl+R to open the results window (Melting Profile)."));
  Image1->installEventFilter(this);
}

// Shrinking the window must never hide a control, GO and Close above all.
void TMF_Tad::KeepMinimumToControls() {
  QRect extent;
  for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    if (!child->isWindow()) extent |= child->geometry();
  setMinimumSize(extent.right() + 1, extent.bottom() + 1);
}

void TMF_Tad::SetTabOrder() {
  QWidget* previous = nullptr;
  for (QLineEdit* edit : InputEdits) {
    if (!edit->isEnabled()) continue;
    if (previous) setTabOrder(previous, edit);
    previous = edit;
  }
  for (int i = 0; i < RadioGroup1->ItemCount(); ++i) {
    setTabOrder(previous, RadioGroup1->Item(i));
    previous = RadioGroup1->Item(i);
  }
}

void TMF_Tad::BitBtn1Click() {
  setCursor(Qt::WaitCursor);
  BitBtn1->setCursor(Qt::WaitCursor);
  // Let the window system show the busy cursor before the run holds the thread.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

  // The run's whole setup, as a project would keep it; the pressure tab runs
  // the stage on the completed run, so GO runs the melting run alone.
  RunSetup setup = FieldsSetup();
  setup.MeltStage = false;
  const RunTexts& texts = setup.Texts;
  WindowMessages messages(TheDialogs);
  RunOutcome outcome;
  try {
    outcome = RunWithMelt(*Model, setup, messages, ReportWriting::Write).Outcomes.Run;
  } catch (const std::exception& error) {
    // The run command returns its errors; anything else still must not end the program.
    outcome = RunOutcome{RunResult::Failed, error.what(), {}};
  }

  switch (outcome.Result) {
    case RunResult::Completed:
      KeepCompletedRun(setup, messages.Shown == 0);
      // The writers' messages have said the report was not written; a
      // "successfully finished" after them would say the opposite.
      if (messages.Shown == 0) TheDialogs.ShowFinishForm();
      break;
    case RunResult::Rejected:
    case RunResult::Failed:
      MarkResultsStale(outcome);
      TheDialogs.ShowMessage(QString::fromLocal8Bit(OutcomeMessage(outcome)));
      break;
  }
  unsetCursor();
  BitBtn1->unsetCursor();
  if (outcome.Result == RunResult::Completed) FileListBox1->Update();
  if (outcome.Result == RunResult::Rejected) FocusRefusedField(texts);
}

RunTexts TMF_Tad::FieldTexts() const {
  RunTexts texts;
  for (int i = 0; i < InputCount; ++i) texts[static_cast<size_t>(i)] = InputEdits[static_cast<size_t>(i)]->text().toStdString();
  // The file name becomes a path: keep it in the file system's encoding.
  texts[InputCount] = QFile::encodeName(Edit29->text()).toStdString();
  return texts;
}

int32_t TMF_Tad::UnitIndex() const { return RadioGroup1->ItemIndex(); }

std::vector<int> TMF_Tad::SetFieldTexts(const RunTexts& texts) {
  std::vector<int> fixed;
  for (int i = 0; i < InputCount; ++i) {
    QLineEdit* edit = InputEdits[static_cast<size_t>(i)];
    const QString text = QString::fromStdString(texts[static_cast<size_t>(i)]);
    if (edit->isEnabled()) {
      edit->setText(text);
    } else if (edit->text() != text) {
      fixed.push_back(i);
    }
  }
  return fixed;
}

// The field the refusal is about gets the cursor, its text selected to type over.
void TMF_Tad::FocusRefusedField(const RunTexts& texts) {
  const int index = RefusedFieldIndex(texts, Separator);
  if (index < 0) return;
  QLineEdit* edit = index == ResultFileNameIndex ? Edit29 : InputEdits[static_cast<size_t>(index)];
  if (!edit->isEnabled()) return;
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
}

void TMF_Tad::keyPressEvent(QKeyEvent* event) {
  // Fields and the unit choice pass Enter on; it runs GO as the default button.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    event->accept();
    BitBtn1->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TMF_Tad::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) {
    const char previous = Separator;
    Separator = ShownDecimalSeparator();
    // Initial texts follow the separator, the fixed ones above all, which
    // nobody can retype; a text the user changed stays as typed.
    for (int i = 0; i < InputCount && InputEdits[0] != nullptr; ++i) {
      QLineEdit* edit = InputEdits[static_cast<size_t>(i)];
      if (edit->text().toStdString() == InitialInputText(i, previous))
        edit->setText(QString::fromStdString(InitialInputText(i, Separator)));
    }
    if (MaterialBox) FillMaterialFields();
  }
  QWidget::changeEvent(event);
}

void TMF_Tad::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (Shown) return;
  Shown = true;
  FitToFrame();
  CentreOnScreen();
  InputEdits[0]->setFocus(Qt::OtherFocusReason);
  // The window manager frames the window some time after it is shown, and
  // not every one announces it with a move; look again a few times.
  for (int delay : {50, 200, 600, 1500}) {
    QTimer::singleShot(delay, this, [this] {
      if (FrameFitted) return;
      FitToFrame();
      if (FrameFitted) CentreOnScreen();
    });
  }
}

void TMF_Tad::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // The window manager adds its frame after the window is shown.
  if (Shown && !FrameFitted) {
    FitToFrame();
    if (FrameFitted) CentreOnScreen();
  }
}

// Makes the outer size 696 x 530 once the frame is known.
void TMF_Tad::FitToFrame() {
  // Asked of the window system each time: the widget's own frame cache is
  // not always told when a window manager reparents the window.
  const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
  const int width = frame.left() + frame.right();
  const int height = frame.top() + frame.bottom();
  if (width <= 0 && height <= 0) return;
  FrameFitted = true;
  resize(WindowOuterWidth - width, WindowOuterHeight - height);
}

void TMF_Tad::CentreOnScreen() {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
  const QSize outer = size().grownBy(frame);
  move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
}
