// SPDX-License-Identifier: GPL-3.0-or-later
// The study window's controls as a project's study setup, and back: the axes
// as --vary takes them, the search as --find and --until take it.

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "results/input_names.h"
#include "results/limit_find.h"
#include "ui/study_window/study_window.h"

namespace {

bool SameStudy(const StudySetup& a, const StudySetup& b) {
  return a.Axes == b.Axes && a.Find == b.Find && a.Until == b.Until && a.Smallest == b.Smallest &&
         a.Tolerance == b.Tolerance && a.Bound == b.Bound;
}

// The input an axis or a search names before its '=', or -1.
int NamedInput(const std::string& argument) {
  const std::string name = argument.substr(0, argument.find('='));
  if (name == "Material") return MaterialAxisInput;
  return FindInputByName(name).value_or(-1);
}

std::string ValuesOf(const std::string& argument) {
  const std::size_t equals = argument.find('=');
  return equals == std::string::npos ? std::string() : argument.substr(equals + 1);
}

}  // namespace

bool TStudyForm::FillAxis(AxisControls& axis, const std::string& argument) {
  const int at = axis.Input->findData(NamedInput(argument));
  if (NamedInput(argument) < 0 || at < 0) return false;
  axis.Input->setCurrentIndex(at);
  const QString values = QString::fromStdString(ValuesOf(argument));
  const QStringList range = values.split(QLatin1Char(':'));
  const bool isRange = range.size() == 3;
  axis.From->setText(isRange ? range[0] : QString());
  axis.To->setText(isRange ? range[1] : QString());
  axis.Step->setText(isRange ? range[2] : QString());
  axis.List->setText(isRange ? QString() : values);
  return true;
}

void TStudyForm::ApplyStudySetup(const StudySetup& setup) {
  // die-reached is offered only while the stage's die inputs are good.
  ReadStageInputs();
  QStringList left;  // what this window can not show
  std::size_t axis = 0;
  const bool finding = !setup.Find.empty();
  Mode->button(finding ? 1 : 0)->setChecked(true);
  if (finding) {
    const int at = First.Input->findData(NamedInput(setup.Find));
    const QStringList bounds = QString::fromStdString(ValuesOf(setup.Find)).split(QLatin1Char(':'));
    if (NamedInput(setup.Find) >= 0 && at >= 0 && bounds.size() == 2) {
      First.Input->setCurrentIndex(at);
      First.From->setText(bounds[0]);
      First.To->setText(bounds[1]);
    } else {
      left << QString::fromStdString(setup.Find);
    }
    const std::optional<LimitCondition> condition = ParseLimitCondition(setup.Until);
    const int conditionAt = condition ? Condition->findData(static_cast<int>(*condition)) : -1;
    if (conditionAt >= 0) Condition->setCurrentIndex(conditionAt);
    Smallest->setChecked(setup.Smallest);
    const LimitBound bound = ParseLimitBound(setup.Bound).value_or(LimitBound::Both);
    Bound->setCurrentIndex(Bound->findData(static_cast<int>(bound)));
  } else if (!setup.Axes.empty()) {
    if (!FillAxis(First, setup.Axes[0])) left << QString::fromStdString(setup.Axes[0]);
    axis = 1;
  }
  Second.Input->setCurrentIndex(0);  // none
  if (axis < setup.Axes.size() && !FillAxis(Second, setup.Axes[axis])) left << QString::fromStdString(setup.Axes[axis]);
  for (std::size_t k = axis + 1; k < setup.Axes.size(); ++k) left << QString::fromStdString(setup.Axes[k]);
  ModeChanged();
  if (!left.isEmpty()) {
    Status->setText(QStringLiteral("The project's study setup, but for what this window does not offer: %1.")
                        .arg(left.join(QStringLiteral(", "))));
  } else {
    Status->setText(setup.Axes.empty() && !finding ? QStringLiteral("The project holds no study setup.")
                                                   : QStringLiteral("The project's study setup."));
  }
  // Saved unchanged, the project keeps its setup whole, what is left out too.
  Filled = {setup, WindowStudySetup(setup.Tolerance)};
}

StudySetup TStudyForm::WindowStudySetup(const std::string& tolerance) const {
  StudySetup setup;
  setup.Tolerance = tolerance;  // the window has no field for it
  const bool finding = Mode->checkedId() == 1;
  if (finding) {
    const int input = First.Input->currentData().toInt();
    const std::string name = input == MaterialAxisInput ? "Material" : InputNames[static_cast<std::size_t>(input)].Name;
    setup.Find = name + "=" + First.From->text().trimmed().toStdString() + ":" + First.To->text().trimmed().toStdString();
    setup.Until = LimitConditionName(static_cast<LimitCondition>(Condition->currentData().toInt()));
    setup.Smallest = Smallest->isChecked();
    // Both bounds, the window's default, is no --bound at all.
    const auto bound = static_cast<LimitBound>(Bound->currentData().toInt());
    if (Condition->currentData().toInt() == static_cast<int>(LimitCondition::DieReached) && bound != LimitBound::Both)
      setup.Bound = LimitBoundName(bound);
  } else {
    setup.Axes.push_back(AxisArgument(First));
  }
  if (Second.Input->currentData().toInt() >= 0) setup.Axes.push_back(AxisArgument(Second));
  return setup;
}

StudySetup TStudyForm::CurrentStudySetup(const std::string& tolerance) const {
  const StudySetup shown = WindowStudySetup(tolerance);
  if (Filled && SameStudy(Filled->second, shown)) return Filled->first;
  return shown;
}
