// chung-screenshot [--set FIELD=TEXT]... [--run] [--profile-form [--second-tab] [--smallest]] OUTPUT.png [DIRECTORY]
// chung-screenshot [--set FIELD=TEXT]... --study-form [--study-set CONTROL=TEXT]... OUTPUT.png [DIRECTORY]
// chung-screenshot [--set FIELD=TEXT]... [--melt NAME=TEXT]... --pressure-tab OUTPUT.png [DIRECTORY]
// chung-screenshot --finish-form OUTPUT.png
// Renders the main window (or the completion dialog, or the results window)
// without a display into a PNG. The file widgets show DIRECTORY (default: the
// current directory). --set puts TEXT into the field named FIELD (Edit1 ...);
// --run presses GO first, which writes the report into DIRECTORY, and the
// window is drawn as the run leaves it; --profile-form draws the results
// window of that run instead, on its second tab with --second-tab and at its
// minimum size with --smallest; --pressure-tab draws it on the page "Pressure
// and temperature", with the stage's inputs (DieMode, DieDiameter ...) set by
// --melt first and the operating point found.
// --study-form opens the study window, sets its controls (a line edit's
// text, the combo box item that contains TEXT, a radio button or check box by
// its name with TEXT 1), runs the study and draws the window once it is over.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QThread>
#include <QPixmap>
#include <QStringList>
#include <QTabWidget>
#include <cstdio>
#include <cstring>
#include <vector>

#include "ui/common/dialogs.h"
#include "ui/main_window/finish_form.h"
#include "ui/main_window/main_window.h"
#include "ui/materials_dialog/material_editor.h"
#include "ui/materials_dialog/materials_form.h"
#include "ui/materials_dialog/viscosity_fit_panel.h"
#include "ui/results_window/pressure_tab.h"
#include "results/input_names.h"
#include "ui/study_window/study_window.h"

namespace {

// Nobody is there to answer: messages go to stderr, the completion dialog is
// not shown, and every question is cancelled.
class UnattendedDialogs : public Dialogs {
 public:
  void ShowMessage(const QString& text) override { std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData()); }
  void ShowFinishForm() override {}
  QStringList ChooseDataFiles(const QString&, const QString&) override { return {}; }
  QString ChooseSaveFileName(const QString&, const QString&, const QString&) override { return {}; }
  bool OpenDocument(const QString&) override { return false; }
  bool Ask(const QString&) override { return false; }
};

int Usage() {
  std::fprintf(stderr, "usage: chung-screenshot [--material KEY] [--set FIELD=TEXT]... [--run] [--profile-form [--second-tab] [--smallest]] OUTPUT.png [DIRECTORY]\n"
                       "       chung-screenshot [--set FIELD=TEXT]... --study-form [--study-set CONTROL=TEXT]... OUTPUT.png [DIRECTORY]\n"
                       "       chung-screenshot [--set FIELD=TEXT]... [--melt NAME=TEXT]... --pressure-tab OUTPUT.png [DIRECTORY]\n"
                       "       chung-screenshot [--material KEY] --material-editor OUTPUT.png\n"
                       "       chung-screenshot --finish-form OUTPUT.png\n");
  return 2;
}

bool Save(QWidget& widget, const QString& output) {
  widget.show();
  QApplication::processEvents();
  if (widget.grab().save(output, "PNG")) return true;
  std::fprintf(stderr, "chung-screenshot: can not write %s\n", output.toLocal8Bit().constData());
  return false;
}

// Sets the study window's controls, runs the study and draws the window.
int ShowStudy(TMF_Tad& window, const std::vector<std::pair<QString, QString>>& settings, const QString& output) {
  window.StudyClick();
  auto* form = window.findChild<TStudyForm*>(QStringLiteral("StudyForm"));
  if (!form) return 1;
  for (const auto& [name, text] : settings) {
    if (auto* edit = form->findChild<QLineEdit*>(name)) {
      edit->setText(text);
    } else if (auto* box = form->findChild<QComboBox*>(name); box && box->findText(text, Qt::MatchContains) >= 0) {
      box->setCurrentIndex(box->findText(text, Qt::MatchContains));
    } else if (auto* button = form->findChild<QAbstractButton*>(name)) {
      button->setChecked(text == QLatin1String("1"));
    } else {
      std::fprintf(stderr, "chung-screenshot: no study control %s or no item %s\n", name.toLocal8Bit().constData(),
                   text.toLocal8Bit().constData());
      return 2;
    }
  }
  form->show();
  form->RunClick();
  while (form->Running()) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
  return Save(*form, output) ? 0 : 1;
}

// The editor of a duplicate of the chosen material on its page "Viscosity
// fit", fitted from the record's source law.
int ShowMaterialEditor(TMF_Tad& window, const QString& output) {
  window.MaterialsClick();
  auto* form = window.findChild<TMaterialsForm*>(QStringLiteral("MaterialsForm"));
  if (!form) return 1;
  TMaterialEditor* editor = form->DuplicateClick();
  if (!editor) return 1;
  auto* panel = editor->findChild<TViscosityFitPanel*>();
  auto* tabs = editor->findChild<QTabWidget*>();
  if (!panel || !tabs) return 1;
  tabs->setCurrentWidget(panel);
  editor->resize(980, 620);
  if (!panel->FitClick()) return 1;
  for (int pass = 0; pass < 4; ++pass) QApplication::processEvents();
  return Save(*editor, output) ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  bool finishForm = false;
  bool run = false;
  bool profileForm = false;
  bool pressureTab = false;
  MeltTexts dieTexts = InitialMeltTexts();
  bool secondTab = false;
  bool smallest = false;
  bool studyForm = false;
  bool materialEditor = false;
  std::string material;
  std::vector<std::pair<QString, QString>> settings, studySettings;
  QStringList positional;
  for (int i = 1; i < argc; ++i) {
    const QString argument = QString::fromLocal8Bit(argv[i]);
    if (argument == QLatin1String("--finish-form")) {
      finishForm = true;
    } else if (argument == QLatin1String("--run")) {
      run = true;
    } else if (argument == QLatin1String("--second-tab")) {
      secondTab = true;
    } else if (argument == QLatin1String("--smallest")) {
      smallest = true;
    } else if (argument == QLatin1String("--profile-form")) {
      run = profileForm = true;
    } else if (argument == QLatin1String("--pressure-tab")) {
      run = profileForm = pressureTab = true;
    } else if (argument == QLatin1String("--melt") && i + 1 < argc && std::strchr(argv[i + 1], '=')) {
      const std::string setting = argv[++i];
      const std::optional<int> input = FindInputByName(setting.substr(0, setting.find('=')));
      if (!input || !IsMeltInput(*input)) return Usage();
      dieTexts[static_cast<std::size_t>(*input - InputCount)] = setting.substr(setting.find('=') + 1);
    } else if (argument == QLatin1String("--material") && i + 1 < argc) {
      material = argv[++i];
    } else if (argument == QLatin1String("--material-editor")) {
      materialEditor = true;
    } else if (argument == QLatin1String("--study-form")) {
      studyForm = true;
    } else if ((argument == QLatin1String("--set") || argument == QLatin1String("--study-set")) && i + 1 < argc &&
               std::strchr(argv[i + 1], '=')) {
      const QString setting = QString::fromLocal8Bit(argv[++i]);
      (argument == QLatin1String("--set") ? settings : studySettings)
          .emplace_back(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
    } else if (argument.startsWith(QLatin1Char('-'))) {
      return Usage();
    } else {
      positional << argument;
    }
  }
  if (positional.isEmpty() || positional.size() > (finishForm ? 1 : 2)) return Usage();
  if (finishForm && (run || !settings.empty())) return Usage();

  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (finishForm) {
    TFinishForm form;
    return Save(form, positional[0]) ? 0 : 1;
  }
  const QString output = QDir::current().absoluteFilePath(positional[0]);
  if (positional.size() == 2 && !QDir::setCurrent(positional[1])) {
    std::fprintf(stderr, "chung-screenshot: can not enter %s\n", positional[1].toLocal8Bit().constData());
    return 1;
  }
  UnattendedDialogs dialogs;
  TMF_Tad window(dialogs);
  if (!material.empty() && !window.ChooseMaterialByKey(material)) {
    std::fprintf(stderr, "chung-screenshot: no material %s\n", material.c_str());
    return 2;
  }
  for (const auto& [field, text] : settings) {
    auto* edit = window.findChild<QLineEdit*>(field);
    if (!edit) {
      std::fprintf(stderr, "chung-screenshot: no field %s\n", field.toLocal8Bit().constData());
      return 2;
    }
    edit->setText(text);
  }
  window.show();
  QApplication::processEvents();
  if (run) {
    window.BitBtn1Click();
    if (!window.LastRun()) return 1;  // the message went to stderr
  }
  if (studyForm) return ShowStudy(window, studySettings, output);
  if (materialEditor) return ShowMaterialEditor(window, output);
  if (profileForm) {
    window.Image1Click();
    auto* form = window.findChild<QWidget*>(QStringLiteral("ProfileForm"));
    if (!form) return 1;
    if (auto* tabs = form->findChild<QTabWidget*>(QStringLiteral("ProfileCharts")); tabs && secondTab)
      tabs->setCurrentIndex(1);
    if (smallest) form->resize(form->minimumSize());
    if (pressureTab) {
      auto* pages = form->findChild<QTabWidget*>(QStringLiteral("ResultPages"));
      auto* tab = form->findChild<TPressureTab*>();
      if (!pages || !tab) return 1;
      tab->SetTexts(dieTexts);
      pages->setCurrentWidget(tab);
      // The picture shows the operating point found, as a user would see it.
      QEventLoop wait;
      QObject::connect(tab, &TPressureTab::SearchEnded, &wait, &QEventLoop::quit);
      tab->FindOperatingPointClick();
      if (tab->Searching()) wait.exec();
      // Each level of nested layouts settles in its own pass.
      for (int pass = 0; pass < 4; ++pass) QApplication::processEvents();
    }
    return Save(*form, output) ? 0 : 1;
  }
  return Save(window, output) ? 0 : 1;
}
