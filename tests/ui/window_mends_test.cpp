// The main window's small mends: the cursor goes to the field a refusal is
// about, shrinking never hides a control, and the fixed fields stay readable.

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <cmath>
#include <vector>

#include "ui_test_support.h"

namespace {

class MendsTest : public WindowTest {};

struct RefusalCase {
  std::vector<std::pair<const char*, const char*>> Texts;
  const char* Focused;
};

class RefusalFocusTest : public MendsTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalFocusTest, TheFieldTheMessageIsAboutGetsTheCursorWithItsTextSelected) {
  ShowAndActivate();
  for (const auto& [edit, text] : GetParam().Texts) Control<QLineEdit>(edit)->setText(QString::fromLatin1(text));
  ClickGo();
  ASSERT_EQ(Recorder.Messages.size(), 1u);
  auto* expected = Control<QLineEdit>(GetParam().Focused);
  EXPECT_EQ(QApplication::focusWidget(), expected) << Recorder.Messages[0].Text.toStdString();
  EXPECT_EQ(expected->selectedText(), expected->text());
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusalFocusTest,
    ::testing::Values(
        // The first text that does not convert, though a later one does not either
        // and an earlier one fails its check.
        RefusalCase{{{"Edit1", "0"}, {"Edit3", "abc"}, {"Edit19", "x"}}, "Edit3"},
        RefusalCase{{{"Edit1", "-1"}, {"Edit2", "0"}}, "Edit1"},
        RefusalCase{{{"Edit19", "1.0001"}}, "Edit19"},
        RefusalCase{{{"Edit29", ""}}, "Edit29"},
        // Melting would start behind the feed zone: the delay.
        RefusalCase{{{"Edit5", "10.2"}}, "Edit5"},
        // Too many grid points: the zone that needs the most.
        RefusalCase{{{"Edit4", "100"}}, "Edit4"},
        RefusalCase{{{"Edit3", "40"}}, "Edit3"}));

TEST_F(MendsTest, ShrinkingNeverHidesAControl) {
  Window->show();
  Window->resize(100, 100);
  QApplication::processEvents();
  for (QWidget* control : Window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (control->isWindow()) continue;
    EXPECT_TRUE(Window->rect().contains(control->geometry())) << control->objectName().toStdString();
  }
  EXPECT_TRUE(Window->rect().contains(Control<QWidget>("BitBtn2")->geometry()));
}

double Luminance(const QColor& color) {
  auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) + 0.0722 * channel(color.blueF());
}

TEST_F(MendsTest, FixedFieldsTextReachesFourAndAHalfToOneAgainstItsBackground) {
  Window->show();
  for (const char* name : {"Edit15", "Edit16", "Edit17", "Edit18", "Edit21", "Edit22", "Edit23", "Edit24", "Edit25",
                           "Edit26", "Edit27"}) {
    SCOPED_TRACE(name);
    auto* edit = Control<QLineEdit>(name);
    ASSERT_FALSE(edit->isEnabled());
    // As drawn: the darkest pixel is the text, the corner inside the frame the background.
    const QImage drawn = edit->grab().toImage();
    QColor darkest = Qt::white;
    for (int y = 0; y < drawn.height(); ++y)
      for (int x = 0; x < drawn.width(); ++x)
        if (Luminance(drawn.pixelColor(x, y)) < Luminance(darkest) && x > 2 && y > 2 && x < drawn.width() - 3 &&
            y < drawn.height() - 3)
          darkest = drawn.pixelColor(x, y);
    const QColor background = drawn.pixelColor(drawn.width() - 5, drawn.height() / 2);
    const double ratio = (Luminance(background) + 0.05) / (Luminance(darkest) + 0.05);
    EXPECT_GE(ratio, 4.5) << darkest.name().toStdString() << " on " << background.name().toStdString();
  }
}

}  // namespace
