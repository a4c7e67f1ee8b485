// The results window's tab "Pressure and temperature": the stage of each new
// run, its die inputs, the operating point search off the GUI thread, and the
// die inputs in a saved data file.

#include <QAbstractSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "model/data_file.h"
#include "results/number_text.h"
#include "ui/results_window/pressure_tab.h"
#include "ui/results_window/profile_form.h"
#include "ui_test_support.h"

namespace {

class PressureTabTest : public WindowTest {
 protected:
  // GO with the fields as they open, then the results window on the tab.
  TPressureTab* RunAndOpenTab() {
    ClickGo();
    Window->Image1Click();
    auto* form = Control<TProfileForm>("ProfileForm");
    auto* tab = FindControl<TPressureTab>(form, "PressureTab");
    FindControl<QTabWidget>(form, "ResultPages")->setCurrentWidget(tab);
    return tab;
  }
  static QString Text(TPressureTab* tab, const char* label) {
    return FindControl<QLabel>(tab, QString::fromLatin1(label))->text();
  }
  static void ChooseCapillary(TPressureTab* tab) {
    FindControl<QLineEdit>(tab, "DieDiameterEdit")->setText("0.5");
    FindControl<QLineEdit>(tab, "DieLengthEdit")->setText("2");
    FindControl<QComboBox>(tab, "DieModeBox")->setCurrentIndex(2);  // Capillary: the stage reruns
  }
  static bool WaitForSearch(TPressureTab* tab) {
    QSignalSpy ended(tab, &TPressureTab::SearchEnded);
    return !tab->Searching() || ended.wait(60000);
  }
};

TEST_F(PressureTabTest, ShowsTheStageOfEachRunAndRerunsOnNewInputs) {
  TPressureTab* tab = RunAndOpenTab();
  ASSERT_NE(tab->Stage(), nullptr);
  // No die: the default file's tip pressures, the open discharge needs nothing.
  EXPECT_NEAR(tab->Stage()->Summary[0].TipPressure, -0.096847, 1e-6);
  EXPECT_TRUE(Text(tab, "MeltSummaryText").contains("-0.097"));
  EXPECT_TRUE(Text(tab, "MeltWarningText").contains("Note:"));  // the bounds far apart
  EXPECT_FALSE(FindControl<QLineEdit>(tab, "DieDiameterEdit")->isEnabled());

  ChooseCapillary(tab);
  EXPECT_TRUE(FindControl<QLineEdit>(tab, "DieDiameterEdit")->isEnabled());
  EXPECT_FALSE(FindControl<QLineEdit>(tab, "DieSlitWidthEdit")->isEnabled());
  ASSERT_NE(tab->Stage(), nullptr);
  EXPECT_NEAR(tab->Stage()->Summary[0].DiePressure, 5.895011, 1e-6);
  EXPECT_TRUE(Text(tab, "MeltSummaryText").contains("5.895"));
  QChart* chart = FindControl<QChartView>(tab, "PressureChart")->chart();
  QStringList names;
  int areas = 0;
  for (QAbstractSeries* series : chart->series()) {
    names << series->name();
    areas += series->type() == QAbstractSeries::SeriesTypeArea;
  }
  for (const char* name : {"pressure, adiabatic bound", "melt temperature, barrel bound", "die needs, barrel bound",
                           "pressure range"})
    EXPECT_TRUE(names.contains(QString::fromLatin1(name))) << name;
  // The legend names both line styles, each entry drawn in its line's style.
  QStringList legend;
  QHash<QString, Qt::PenStyle> styles;  // of the lines and of their legend entries
  for (QLegendMarker* marker : chart->legend()->markers()) {
    if (auto* line = qobject_cast<QLineSeries*>(marker->series())) styles[line->name()] = line->pen().style();
    if (marker->isVisible()) legend << marker->label();
  }
  EXPECT_EQ(styles.value("pressure"), styles.value("pressure, adiabatic bound"));
  EXPECT_EQ(styles.value("melt temperature"), styles.value("melt temperature, barrel bound"));
  EXPECT_NE(styles.value("pressure"), styles.value("melt temperature"));
  EXPECT_EQ(legend, (QStringList{"pressure", "melt temperature", "adiabatic", "barrel", "end of melting"}));
  EXPECT_EQ(chart->legend()->markerShape(), QLegend::MarkerShapeFromSeries);
  EXPECT_EQ(areas, 4);  // the three zones and the band between the bounds

  // A new run with the die kept: output 250 kg/hr builds far more pressure.
  Control<QLineEdit>("Edit11")->setText("250");
  ClickGo();
  ASSERT_NE(tab->Stage(), nullptr);
  EXPECT_NEAR(tab->Stage()->Summary[0].TipPressure, 24.681662, 1e-6);

  // An input the stage refuses leaves no stage and says why.
  auto* diameter = FindControl<QLineEdit>(tab, "DieDiameterEdit");
  diameter->setText("0");
  emit diameter->editingFinished();
  EXPECT_EQ(tab->Stage(), nullptr);
  EXPECT_TRUE(Text(tab, "MeltSummaryText").contains("Value of Die Diameter is not correct!"));
  EXPECT_FALSE(FindControl<QPushButton>(tab, "FindOperatingPointButton")->isEnabled());
}

TEST_F(PressureTabTest, FindsTheOperatingPointOffTheGuiThreadAndPutsItIntoOutput) {
  TPressureTab* tab = RunAndOpenTab();
  ChooseCapillary(tab);
  FindControl<QPushButton>(tab, "FindOperatingPointButton")->click();
  EXPECT_TRUE(tab->Searching());
  EXPECT_TRUE(FindControl<QProgressBar>(tab, "OperatingPointBusy")->isVisibleTo(tab));
  EXPECT_TRUE(FindControl<QPushButton>(tab, "CancelOperatingPointButton")->isEnabled());
  ASSERT_TRUE(WaitForSearch(tab));
  EXPECT_FALSE(FindControl<QProgressBar>(tab, "OperatingPointBusy")->isVisibleTo(tab));
  EXPECT_TRUE(Text(tab, "OperatingPointText").contains("<b>291.514</b>"));
  EXPECT_TRUE(Text(tab, "OperatingPointText").contains("<b>287.071</b>"));

  FindControl<QPushButton>(tab, "UseBarrelOutputButton")->click();
  EXPECT_NEAR(Control<QLineEdit>("Edit11")->text().toDouble(), 287.070954, 1e-6);

  // Cancelled right after it starts: nothing found, the button back.
  FindControl<QPushButton>(tab, "FindOperatingPointButton")->click();
  tab->CancelClick();
  ASSERT_TRUE(WaitForSearch(tab));
  EXPECT_TRUE(Text(tab, "OperatingPointText").contains("cancelled"));
  EXPECT_FALSE(FindControl<QPushButton>(tab, "UseAdiabaticOutputButton")->isEnabled());
  EXPECT_TRUE(FindControl<QPushButton>(tab, "FindOperatingPointButton")->isEnabled());

  // A new run while a search is under way: the search gives way.
  FindControl<QPushButton>(tab, "FindOperatingPointButton")->click();
  ClickGo();
  EXPECT_FALSE(tab->Searching());
  EXPECT_TRUE(Text(tab, "OperatingPointText").isEmpty());
}

// On this page the chart buttons save the pressure chart.
TEST_F(PressureTabTest, SavesThePressureChartFromItsPage) {
  RunAndOpenTab();
  const QString path = QDir(StartDir()).filePath("chart.svg");
  Recorder.SaveAnswers.push_back(path);
  QTest::mouseClick(FindControl<QPushButton>(Control<TProfileForm>("ProfileForm"), "SaveSvgButton"), Qt::LeftButton);
  ASSERT_FALSE(Recorder.SaveRequests.empty());
  EXPECT_TRUE(Recorder.SaveRequests.back().SuggestedPath.endsWith("-pressure.svg"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("Melt temperature"));
}

// Save Inputs As writes the die after line 29, where the loader stops
// reading; a run without a die keeps the 29-line file.
TEST_F(PressureTabTest, SavedDataFileKeepsTheDieBeyondWhatTheLoaderReads) {
  TPressureTab* tab = RunAndOpenTab();
  auto save = [&](const QString& name) {
    const QString path = QDir(StartDir()).filePath(name);
    Recorder.SaveAnswers.push_back(path);
    QTest::mouseClick(FindControl<QPushButton>(Control<TProfileForm>("ProfileForm"), "SaveInputsButton"), Qt::LeftButton);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return std::make_pair(path.toStdString(), file.readAll());
  };
  const auto [plainPath, plain] = save("plain.txt");
  EXPECT_EQ(plain.count("\r\n"), 29);

  ChooseCapillary(tab);
  const auto [diePath, withDie] = save("die.txt");
  EXPECT_EQ(withDie.count("\r\n"), 37);
  EXPECT_TRUE(withDie.startsWith(plain));
  EXPECT_TRUE(withDie.contains("Die Mode                        = Capillary"));
  EXPECT_TRUE(withDie.contains("Die Diameter                    = 0.5"));

  DataFileLineArray lines;
  ASSERT_TRUE(ReadDataFileLines(diePath, lines));
  const DataLineValues read = ParseDataLines(lines, diePath);
  ASSERT_TRUE(read.Accepted) << read.Message;
  ASSERT_TRUE(ReadDataFileLines(plainPath, lines));
  const DataLineValues readPlain = ParseDataLines(lines, plainPath);
  EXPECT_EQ(read.Values, readPlain.Values);
  EXPECT_EQ(read.UnitIndex, readPlain.UnitIndex);
}

}  // namespace
