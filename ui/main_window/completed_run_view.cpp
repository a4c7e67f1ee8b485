// The part of the main window that shows what a completed run gave: the
// snapshot it keeps, the plot in Image1, the results window and the study
// window.

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTime>

#include "ui/common/bevel_panel.h"
#include "ui/main_window/main_window.h"
#include "ui/results_window/pressure_tab.h"
#include "ui/results_window/profile_form.h"
#include "ui/main_window/profile_picture.h"
#include "ui/common/radio_group.h"
#include "ui/common/run_snapshot.h"
#include "ui/common/shown_numbers.h"
#include "ui/study_window/study_window.h"

namespace {

constexpr int OutputRateIndex = 10;  // Edit11
static_assert(InputMembers[OutputRateIndex] == &ModelInputs::OutputRate);

}  // namespace

void TMF_Tad::KeepCompletedRun(const RunSetup& setup, bool reportWritten) {
  auto run = std::make_shared<RunSnapshot>();
  run->State = *Model;
  run->Summary = SummarizeRun(run->State);
  for (int i = 0; i < InputCount; ++i) run->FieldTexts[static_cast<size_t>(i)] = InputEdits[static_cast<size_t>(i)]->text();
  run->UnitIndex = setup.UnitIndex;
  run->MaterialName = MaterialName();
  if (setup.Material) run->Remarks = MaterialRemarksOf(*setup.Material, setup.Texts, setup.DecimalSeparator);
  run->DecimalSeparator = setup.DecimalSeparator;
  // The writers resolved the name against the current directory, which the
  // file list moves back to the start-up folder right after this run.
  run->ReportPath = QFileInfo(QDir::current(), Edit29->text()).absoluteFilePath();
  run->ReportWritten = reportWritten && QFileInfo(run->ReportPath).isFile();
  run->Time = QDateTime::currentDateTime();
  LastCompletedRun = run;

  Image1->setPixmap(DrawProfilePicture(*run, Panel29->InnerRect().size()));
  QString tip = QString::fromStdString(SummaryVerdict(run->Summary));
  if (!run->ReportWritten) tip = QStringLiteral("The report was not written: ") + tip;
  if (const std::size_t warnings = WarningCount(*run); warnings > 0)
    tip += QStringLiteral("\n\u26A0 %1 warning(s): see the results window.").arg(warnings);
  if (!run->Remarks.Note.empty()) tip += QStringLiteral("\nNote: ") + ShownText(run->Remarks.Note);
  Image1->setToolTip(tip + QStringLiteral("\nClick here or press Ctrl+R to open the results window (Melting Profile)."));
  StaleReason.clear();
  if (ProfileForm) {
    ProfileForm->ShowRun(LastCompletedRun);
    ProfileForm->SetStaleReason(StaleReason);
  }
}

void TMF_Tad::MarkResultsStale(const RunOutcome& outcome) {
  if (!LastCompletedRun) return;
  StaleReason = QStringLiteral("The run at %1 was %2: %3")
                    .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")),
                         outcome.Result == RunResult::Rejected ? QStringLiteral("refused") : QStringLiteral("stopped"),
                         QString::fromLocal8Bit(OutcomeMessage(outcome)));
  if (ProfileForm) ProfileForm->SetStaleReason(StaleReason);
}

TProfileForm* TMF_Tad::Results() {
  if (!ProfileForm) {
    ProfileForm = new TProfileForm(TheDialogs, this);
    connect(ProfileForm, &TProfileForm::StudyRequested, this, [this] { StudyClick(); });
    // The output an operating point search found, into the Output field.
    connect(ProfileForm->findChild<TPressureTab*>(), &TPressureTab::OutputChosen, this,
            [this](const QString& text) { InputEdits[OutputRateIndex]->setText(text); });
  }
  return ProfileForm;
}

MeltTexts TMF_Tad::StageTexts() const {
  return ProfileForm ? ProfileForm->findChild<TPressureTab*>()->Texts() : InitialMeltTexts(Separator);
}

void TMF_Tad::Image1Click() { ShowInResults(LastCompletedRun); }

void TMF_Tad::ShowInResults(std::shared_ptr<const RunSnapshot> run) {
  TProfileForm* form = Results();
  // A study's case is no run of the main window: nothing about it is stale.
  const bool last = run == LastCompletedRun;
  if (form->Run() != run.get()) form->ShowRun(std::move(run));
  form->SetStaleReason(last ? StaleReason : QString());
  form->show();
  form->raise();
  form->activateWindow();
}

void TMF_Tad::StudyClick() {
  if (!StudyForm) {
    StudyForm = new TStudyForm(*this, TheDialogs, this);
    // The setup of a project opened before the window was.
    if (!Project.Study.Axes.empty() || !Project.Study.Find.empty())
      StudyForm->ApplyStudySetup(SetupStudy(Project, Separator));
  }
  StudyForm->ReadStageInputs();
  StudyForm->show();
  StudyForm->raise();
  StudyForm->activateWindow();
}

bool TMF_Tad::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Image1 && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && Image1->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
    Image1Click();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}
