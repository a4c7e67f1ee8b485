// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/materials_dialog/viscosity_fit_panel.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScatterSeries>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ui/common/shown_numbers.h"
#include "ui/common/dialogs.h"
#include "ui/main_window/main_window.h"
#include "ui/materials_dialog/number_field.h"

namespace {

const char* const WlfLabels[6] = {"n (-)", "tau* (Pa)", "D1 (Pa.s)", "D2 (K)", "A1 (-)", "A2 (K)"};
const char* const WlfNames[6] = {"WlfN", "WlfTauStar", "WlfD1", "WlfD2", "WlfA1", "WlfA2"};
const char* const ArrheniusLabels[4] = {"n (-)", "tau* (Pa)", "B (Pa.s)", "Tb (K)"};
const char* const ArrheniusNames[4] = {"ArrheniusN", "ArrheniusTauStar", "ArrheniusB", "ArrheniusTb"};
const char* const WindowLabels[5] = {"Lowest temperature (\u00B0C)", "Highest temperature (\u00B0C)",
                                     "Lowest shear rate (1/s)", "Highest shear rate (1/s)",
                                     "T0 (\u00B0C; empty: the highest temperature)"};
const char* const WindowNames[5] = {"FitTLow", "FitTHigh", "FitRateLow", "FitRateHigh", "FitT0"};

constexpr int ChartSamples = 41;

}  // namespace

TViscosityFitPanel::TViscosityFitPanel(Dialogs& dialogs, QWidget* parent) : QWidget(parent), TheDialogs(dialogs) {
  setObjectName(QStringLiteral("ViscosityFitPanel"));
  Separator = DecimalSeparatorOf(QLocale::system());

  SourceBox = new QComboBox;
  SourceBox->setObjectName(QStringLiteral("FitSourceBox"));
  SourceBox->addItems({QStringLiteral("Cross-WLF constants"), QStringLiteral("Cross law, Arrhenius zero-shear viscosity"),
                       QStringLiteral("Measured points")});
  SourcePages = new QStackedWidget;
  auto* wlfPage = new QWidget;
  auto* wlf = new QFormLayout(wlfPage);
  for (int i = 0; i < 6; ++i) WlfEdits[static_cast<size_t>(i)] = AddField(wlf, WlfNames[i], QString::fromLatin1(WlfLabels[i]));
  auto* arrheniusPage = new QWidget;
  auto* arrhenius = new QFormLayout(arrheniusPage);
  for (int i = 0; i < 4; ++i)
    ArrheniusEdits[static_cast<size_t>(i)] = AddField(arrhenius, ArrheniusNames[i], QString::fromLatin1(ArrheniusLabels[i]));
  PointsEdit = new QPlainTextEdit;
  PointsEdit->setObjectName(QStringLiteral("PointsEdit"));
  PointsEdit->setPlaceholderText(QStringLiteral("Paste from a spreadsheet: temperature (\u00B0C), shear rate (1/s), "
                                                "viscosity (Pa.s), one point a line"));
  SourcePages->addWidget(wlfPage);
  SourcePages->addWidget(arrheniusPage);
  SourcePages->addWidget(PointsEdit);
  connect(SourceBox, &QComboBox::currentIndexChanged, SourcePages, &QStackedWidget::setCurrentIndex);

  auto* window = new QFormLayout;
  for (int i = 0; i < 5; ++i) WindowEdits[static_cast<size_t>(i)] = AddField(window, WindowNames[i], QString::fromUtf8(WindowLabels[i]));
  UnitBox = new QComboBox;
  UnitBox->setObjectName(QStringLiteral("FitUnitBox"));
  UnitBox->addItems({QString::fromLatin1(MaterialValueNames[0].Unit), QString::fromLatin1(PascalM0Unit)});
  window->addRow(QStringLiteral("m0 shown in"), UnitBox);

  FitButton = new QPushButton(QStringLiteral("Fit"));
  FitButton->setObjectName(QStringLiteral("FitBtn"));
  UseButton = new QPushButton(QStringLiteral("Use this fit"));
  UseButton->setObjectName(QStringLiteral("UseFitBtn"));
  UseButton->setEnabled(false);
  connect(FitButton, &QPushButton::clicked, this, [this] { FitClick(); });
  connect(UseButton, &QPushButton::clicked, this, [this] {
    if (Fit.Fitted) emit FitAccepted(Fit, Grid);
  });
  connect(UnitBox, &QComboBox::currentIndexChanged, this, [this] {
    if (Fit.Fitted) FitClick();
  });
  ResultText = new QLabel;
  ResultText->setObjectName(QStringLiteral("FitResult"));
  ResultText->setWordWrap(true);
  ResultText->setTextInteractionFlags(Qt::TextSelectableByMouse);

  Chart = new QChartView;
  Chart->setObjectName(QStringLiteral("FitChart"));
  Chart->setRenderHint(QPainter::Antialiasing);
  Chart->setMinimumSize(380, 300);

  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel(QStringLiteral("Source")));
  left->addWidget(SourceBox);
  left->addWidget(SourcePages);
  left->addLayout(window);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(FitButton);
  buttons->addWidget(UseButton);
  left->addLayout(buttons);
  left->addWidget(ResultText);
  left->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 2);
  layout->addWidget(Chart, 3);
}

QLineEdit* TViscosityFitPanel::AddField(QFormLayout* form, const char* name, const QString& label) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  edit->setProperty("label", label);
  form->addRow(label, edit);
  return edit;
}

void TViscosityFitPanel::StartFrom(const Material& material) {
  const FitGrid grid = MaterialFitGrid(material);
  const double window[4] = {grid.Temperature.Low, grid.Temperature.High, grid.ShearRate.Low, grid.ShearRate.High};
  for (int i = 0; i < 4; ++i) WindowEdits[static_cast<size_t>(i)]->setText(NumberField(window[i], Separator));
  UnitBox->setCurrentIndex(material.M0Unit == ViscosityUnit::PaS ? 1 : 0);
  if (!material.SourceLaw) return;
  const SourceViscosityLaw& law = *material.SourceLaw;
  if (law.Kind == SourceLawKind::CrossWlf) {
    const double values[6] = {law.N, law.TauStar, law.D1, law.D2, law.A1, law.A2};
    for (int i = 0; i < 6; ++i) WlfEdits[static_cast<size_t>(i)]->setText(NumberField(values[i], Separator));
    SourceBox->setCurrentIndex(static_cast<int>(Source::CrossWlf));
  } else if (law.Kind == SourceLawKind::CrossArrhenius) {
    const double values[4] = {law.N, law.TauStar, law.B, law.Tb};
    for (int i = 0; i < 4; ++i) ArrheniusEdits[static_cast<size_t>(i)]->setText(NumberField(values[i], Separator));
    SourceBox->setCurrentIndex(static_cast<int>(Source::CrossArrhenius));
  }
}

std::optional<double> TViscosityFitPanel::FieldNumber(QLineEdit* edit, const QString& label) {
  const std::optional<double> value = ReadNumber(edit->text(), Separator);
  if (!value) {
    TheDialogs.ShowMessage(QStringLiteral("%1 is not a number: \"%2\"").arg(label, edit->text()));
    edit->setFocus(Qt::OtherFocusReason);
  }
  return value;
}

std::optional<SourceViscosityLaw> TViscosityFitPanel::SourceLaw() const { return FittedLaw; }

bool TViscosityFitPanel::FitClick() {
  const auto source = static_cast<Source>(SourceBox->currentIndex());
  FitGrid grid;
  double* window[4] = {&grid.Temperature.Low, &grid.Temperature.High, &grid.ShearRate.Low, &grid.ShearRate.High};
  for (int i = 0; i < 4; ++i) {
    const std::optional<double> value = FieldNumber(WindowEdits[static_cast<size_t>(i)], QString::fromUtf8(WindowLabels[i]));
    if (!value) return false;
    *window[i] = *value;
  }
  std::optional<double> t0;
  if (!WindowEdits[4]->text().trimmed().isEmpty()) {
    t0 = FieldNumber(WindowEdits[4], QStringLiteral("T0"));
    if (!t0) return false;
  }
  grid.T0 = t0.value_or(grid.Temperature.High);

  ViscosityFit fit;
  std::optional<SourceViscosityLaw> law;
  std::vector<ViscosityPoint> points;
  if (source == Source::Points) {
    std::string error;
    std::optional<std::vector<ViscosityPoint>> read = ParseViscosityPoints(PointsEdit->toPlainText().toStdString(), error);
    if (!read) {
      TheDialogs.ShowMessage(QStringLiteral("Measured points: %1").arg(QString::fromStdString(error)));
      return false;
    }
    points = std::move(*read);
    fit = FitViscosityPoints(points, t0);
    if (fit.Fitted && !points.empty()) {
      // The window the points cover is the window the law holds in.
      const auto [coldest, hottest] = std::minmax_element(points.begin(), points.end(), [](const auto& a, const auto& b) {
        return a.Temperature < b.Temperature;
      });
      const auto [slowest, fastest] = std::minmax_element(points.begin(), points.end(), [](const auto& a, const auto& b) {
        return a.ShearRate < b.ShearRate;
      });
      grid.Temperature = {coldest->Temperature, hottest->Temperature};
      grid.ShearRate = {slowest->ShearRate, fastest->ShearRate};
      grid.T0 = fit.T0;
    }
  } else {
    SourceViscosityLaw constants;
    if (source == Source::CrossWlf) {
      constants.Kind = SourceLawKind::CrossWlf;
      double* targets[6] = {&constants.N, &constants.TauStar, &constants.D1, &constants.D2, &constants.A1, &constants.A2};
      for (int i = 0; i < 6; ++i) {
        const std::optional<double> value = FieldNumber(WlfEdits[static_cast<size_t>(i)], QString::fromLatin1(WlfLabels[i]));
        if (!value) return false;
        *targets[i] = *value;
      }
    } else {
      constants.Kind = SourceLawKind::CrossArrhenius;
      double* targets[4] = {&constants.N, &constants.TauStar, &constants.B, &constants.Tb};
      for (int i = 0; i < 4; ++i) {
        const std::optional<double> value =
            FieldNumber(ArrheniusEdits[static_cast<size_t>(i)], QString::fromLatin1(ArrheniusLabels[i]));
        if (!value) return false;
        *targets[i] = *value;
      }
    }
    law = constants;
    fit = FitSourceLaw(constants, grid);
  }
  if (!fit.Fitted) {
    TheDialogs.ShowMessage(QStringLiteral("No fit: %1.").arg(QString::fromStdString(fit.Problem)));
    return false;
  }
  Fit = fit;
  Grid = grid;
  FittedLaw = law;
  Points = std::move(points);

  // As the record will store it: m0 to 3 significant digits in the unit chosen.
  Material stored;
  StoreFit(fit, UnitBox->currentIndex() == 1 ? ViscosityUnit::PaS : ViscosityUnit::GfSPerCm2, stored);
  const auto value = [&](MaterialValue which) { return ShownFullNumber(stored.Value(which)); };
  ResultText->setText(QStringLiteral("m0 = %1 %2\nb = %3 1/\u00B0C\nn = %4\nT0 = %5 \u00B0C\n"
                                     "rms error %6 %, largest error %7 %")
                          .arg(value(MaterialValue::ViscM0), UnitBox->currentText(), value(MaterialValue::ViscB),
                               value(MaterialValue::ViscN), value(MaterialValue::ViscT0),
                               ShownNumber(fit.RmsPercent, 2), ShownNumber(fit.MaxPercent, 2)));
  UseButton->setEnabled(true);
  DrawChart();
  return true;
}

double TViscosityFitPanel::FittedViscosity(double temperature, double shearRate) const {
  const long double mu = Fit.M0 * std::exp(-(long double)Fit.B * (temperature - (long double)Fit.T0)) *
                         std::pow((long double)shearRate, (long double)Fit.N - 1);
  return static_cast<double>(mu);
}

// Three temperatures: the window's ends and middle, or three of the
// temperatures measured; the fitted law as lines, the source as points.
void TViscosityFitPanel::DrawChart() {
  auto* chart = new QChart;
  chart->setTitle(QStringLiteral("Fitted law (lines) against the source (points)"));
  LocalizeChartNumbers(chart);
  auto* rateAxis = new QLogValueAxis;
  rateAxis->setTitleText(QStringLiteral("Shear rate (1/s)"));
  // A localized chart labels only formats that give their precision.
  rateAxis->setLabelFormat(QStringLiteral("%.6g"));
  auto* viscosityAxis = new QLogValueAxis;
  viscosityAxis->setTitleText(QStringLiteral("Viscosity (Pa.s)"));
  viscosityAxis->setLabelFormat(QStringLiteral("%.6g"));
  chart->addAxis(rateAxis, Qt::AlignBottom);
  chart->addAxis(viscosityAxis, Qt::AlignLeft);

  std::vector<double> temperatures;
  if (Points.empty()) {
    temperatures = {Grid.Temperature.Low, (Grid.Temperature.Low + Grid.Temperature.High) / 2, Grid.Temperature.High};
  } else {
    std::vector<double> measured;
    for (const ViscosityPoint& p : Points) measured.push_back(p.Temperature);
    std::sort(measured.begin(), measured.end());
    measured.erase(std::unique(measured.begin(), measured.end()), measured.end());
    temperatures = {measured.front(), measured[measured.size() / 2], measured.back()};
    temperatures.erase(std::unique(temperatures.begin(), temperatures.end()), temperatures.end());
  }
  const QColor colours[3] = {QColor(0x1f, 0x77, 0xb4), QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x27, 0x28)};
  double low = HUGE_VAL, high = 0;
  const auto keep = [&](double value) {
    if (!(value > 0) || !std::isfinite(value)) return false;
    low = std::min(low, value);
    high = std::max(high, value);
    return true;
  };
  for (size_t t = 0; t < temperatures.size(); ++t) {
    const double temperature = temperatures[t];
    const QString name = QStringLiteral("%1 \u00B0C").arg(ShownFullNumber(temperature));
    auto* fitted = new QLineSeries;
    fitted->setName(name);
    fitted->setColor(colours[t]);
    auto* source = new QScatterSeries;
    source->setColor(colours[t]);
    source->setMarkerSize(7);
    for (int j = 0; j < ChartSamples; ++j) {
      const double rate = Grid.ShearRate.Low * std::pow(Grid.ShearRate.High / Grid.ShearRate.Low, j / double(ChartSamples - 1));
      if (const double mu = FittedViscosity(temperature, rate); keep(mu)) fitted->append(rate, mu);
      if (FittedLaw && j % 5 == 0)
        if (const double mu = SourceViscosity(*FittedLaw, temperature, rate); keep(mu)) source->append(rate, mu);
    }
    for (const ViscosityPoint& p : Points)
      if (p.Temperature == temperature && keep(p.Viscosity)) source->append(p.ShearRate, p.Viscosity);
    for (QAbstractSeries* series : {static_cast<QAbstractSeries*>(fitted), static_cast<QAbstractSeries*>(source)}) {
      chart->addSeries(series);
      series->attachAxis(rateAxis);
      series->attachAxis(viscosityAxis);
    }
    chart->legend()->markers(source).front()->setVisible(false);
  }
  rateAxis->setRange(Grid.ShearRate.Low, Grid.ShearRate.High);
  // A log axis labels only the powers of ten: whole decades give the
  // viscosities labels on both sides, the minor lines the values between.
  if (high > 0) viscosityAxis->setRange(std::pow(10.0, std::floor(std::log10(low))), std::pow(10.0, std::ceil(std::log10(high))));
  for (QLogValueAxis* axis : {rateAxis, viscosityAxis}) axis->setMinorTickCount(8);
  QChart* old = Chart->chart();
  Chart->setChart(chart);
  delete old;
}
