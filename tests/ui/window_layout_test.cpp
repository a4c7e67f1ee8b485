// The main window and the completion dialog as they open: places, sizes,
// captions, colours, fonts, initial texts, enabled states and the Tab order.

#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>

#include "ui/common/bevel_panel.h"
#include "ui/main_window/finish_form.h"
#include "ui/common/radio_group.h"
#include "ui_test_support.h"

namespace {

struct RowCase {
  const char* Panel;
  const char* Edit;
  int Left, Top, Width;
  const char* Label;
  const char* Text;
  bool Enabled;
};

// Written out here independently of the program's own row table, so that a
// slip in either shows.
const RowCase Rows[] = {
    {"Panel1", "Edit1", 10, 20, 309, "  Screw Diameter (cm) :", "15.0", true},
    {"Panel2", "Edit2", 10, 38, 309, "  Turns of Feed Zone :  ", "10.0", true},
    {"Panel3", "Edit3", 10, 57, 309, "  Turns of Compression Zone :", "6.0", true},
    {"Panel4", "Edit4", 10, 75, 309, "  Turns of Metering Zone :", "8.7", true},
    {"Panel5", "Edit5", 10, 94, 309, "  Turns of Delay in Melting : ", "5.0", true},
    {"Panel6", "Edit6", 10, 112, 309, "  Depth of Feed Zone Channel (cm) :", "1.4", true},
    {"Panel7", "Edit7", 10, 130, 309, "  Depth of Meter. Zone Channel (cm) : ", "0.4", true},
    {"Panel8", "Edit8", 10, 149, 309, "  Screw Pitch (cm) : ", "15.0", true},
    {"Panel9", "Edit9", 10, 167, 309, "  Flight Width (cm) :  ", "1.5", true},
    {"Panel10", "Edit10", 10, 186, 309, "  Number of Revolution (rpm) :", "38.0", true},
    {"Panel11", "Edit11", 10, 204, 309, "  Output (kg/hr)", "300.0", true},
    {"Panel12", "Edit12", 10, 222, 309, "  Barrel Temp. Para. (B0) : ", "290.0", true},
    {"Panel13", "Edit13", 10, 241, 309, "  Barrel Temp. Para. (B1) :", "0.0", true},
    {"Panel14", "Edit14", 10, 259, 309, "  Barrel Temp. Para. (B2)", "0.0", true},
    {"Panel15", "Edit15", 337, 20, 309, "  Viscosity Equation Para. (m0) : ", "2.052", false},
    {"Panel16", "Edit16", 337, 38, 309, "  Viscosity Equation Para. (b) : ", "0.036", false},
    {"Panel17", "Edit17", 339, 56, 307, "  Viscosity Equation Para. (n) : ", "0.835", false},
    {"Panel18", "Edit18", 337, 75, 309, "  Viscosity Equation Para. (T0) : ", "290.0", false},
    {"Panel21", "Edit21", 337, 94, 309, "  Density of Solid (g/cm3) :", "1.34", false},
    {"Panel22", "Edit22", 337, 113, 309, "  Density of Melt (g/cm3) :", "1.2", false},
    {"Panel23", "Edit23", 338, 131, 308, "  Specific Heat of Solid (cal/g.\u2103) :", "0.4", false},
    {"Panel24", "Edit24", 337, 150, 309, "  Heat of Fusion (cal/g) :", "17.7", false},
    {"Panel25", "Edit25", 337, 168, 309, "  Specific Heat of Melt (cal/g.\u2103) :", "0.48", false},
    {"Panel26", "Edit26", 337, 186, 309, "  Thermal Cond of Melt (cal/cm.s.\u2103) :", "0.00052", false},
    {"Panel27", "Edit27", 337, 205, 309, "  Melting Point (\u2103) :", "265.0", false},
    {"Panel28", "Edit28", 337, 223, 308, "  Solid Temperature at Inlet (\u2103) :", "30.0", true},
    {"Panel19", "Edit19", 337, 242, 308, "  Solid Bed Comp. Factor at Inlet (-) :", "0.6", true},
    {"Panel20", "Edit20", 337, 261, 308, "  Solid Width Ratio at Start (-) :", "1.0", true},
};

QColor TextColorOf(QWidget* widget, QPalette::ColorRole role) { return widget->palette().color(QPalette::Active, role); }

class LayoutTest : public WindowTest {};

TEST_F(LayoutTest, InputRowsMatchTheTable) {
  auto* group = Control<QGroupBox>("GroupBox1");
  for (size_t i = 0; i < std::size(Rows); ++i) {
    const RowCase& row = Rows[i];
    SCOPED_TRACE(row.Panel);
    auto* panel = Control<TBevelPanel>(row.Panel);
    auto* edit = Control<QLineEdit>(row.Edit);
    EXPECT_EQ(panel->parentWidget(), group);
    EXPECT_EQ(edit->parentWidget(), panel);
    EXPECT_EQ(panel->x(), row.Left);
    EXPECT_EQ(panel->y(), row.Top);
    EXPECT_EQ(panel->width(), row.Width);
    EXPECT_TRUE(panel->height() == 18 || panel->height() == 19) << panel->height();
    EXPECT_EQ(panel->Caption(), QString::fromUtf8(row.Label));
    EXPECT_EQ(panel->CaptionAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(panel->CaptionColor(), QColor(Qt::blue));
    EXPECT_EQ(panel->InnerBevel(), TBevel::Lowered);
    EXPECT_EQ(panel->font().pixelSize(), 12);

    const int expectedTop = QString::fromLatin1(row.Edit) == "Edit8" ? 1 : QString::fromLatin1(row.Edit) == "Edit24" ? -1 : 0;
    EXPECT_EQ(edit->geometry(), QRect(211, expectedTop, 96, 20));
    EXPECT_EQ(edit->text(), QString::fromLatin1(row.Text));
    EXPECT_EQ(edit->isEnabled(), row.Enabled);
    EXPECT_EQ(TextColorOf(edit, QPalette::Text), QColor(Qt::black));

    // Rows of one column abut: no gap and no overlap.
    if (i + 1 < std::size(Rows) && Rows[i + 1].Top > row.Top) {
      EXPECT_EQ(panel->y() + panel->height(), Rows[i + 1].Top);
    }
  }
}

TEST_F(LayoutTest, OtherControlsStandWhereTheTableSays) {
  struct Place {
    const char* Name;
    QRect Geometry;
  };
  const Place places[] = {
      {"GroupBox1", {12, 9, 660, 291}},         {"RadioGroup1", {12, 307, 263, 38}},
      {"GroupBox2", {289, 309, 122, 53}},       {"Edit29", {14, 18, 96, 23}},
      {"InputDataBtn", {297, 369, 101, 25}},    {"BitBtn1", {298, 406, 100, 35}},
      {"BitBtn2", {299, 448, 100, 35}},         {"DriveComboBox1", {422, 314, 128, 18}},
      {"DirectoryListBox1", {421, 338, 126, 145}}, {"FileListBox1", {557, 315, 117, 167}},
      {"Panel29", {13, 357, 264, 117}},
      // Added beside the fixed controls, clear of them.
      {"ProjectBtn", {557, 484, 117, 18}},       {"MaterialBox", {386, 0, 186, 19}},
      {"MaterialsBtn", {575, 0, 71, 19}},
  };
  for (const Place& place : places) {
    SCOPED_TRACE(place.Name);
    EXPECT_EQ(Control<QWidget>(place.Name)->geometry(), place.Geometry);
  }
  EXPECT_EQ(Control<QWidget>("Edit29")->parentWidget(), Control<QWidget>("GroupBox2"));

  // The controls keep their places when the window is resized.
  Window->resize(900, 700);
  EXPECT_EQ(Control<QWidget>("FileListBox1")->geometry(), QRect(557, 315, 117, 167));
  Window->resize(400, 300);
  EXPECT_EQ(Control<QWidget>("BitBtn2")->geometry(), QRect(299, 448, 100, 35));
}

TEST_F(LayoutTest, CaptionsColoursAndFonts) {
  EXPECT_EQ(Window->windowTitle(), "Chung Model Simulation");
  EXPECT_FALSE(Window->windowIcon().isNull());
  EXPECT_EQ(Window->size(), QSize(688, 503));  // offscreen: no frame, so the frameless client size

  auto* group1 = Control<QGroupBox>("GroupBox1");
  EXPECT_EQ(group1->title(), "  Input Data   ");
  EXPECT_EQ(group1->font().pixelSize(), 15);
  EXPECT_EQ(TextColorOf(group1, QPalette::WindowText), QColor(Qt::red));

  auto* group2 = Control<QGroupBox>("GroupBox2");
  EXPECT_EQ(group2->title(), " Save File Name ");
  EXPECT_EQ(group2->font().pixelSize(), 13);
  EXPECT_EQ(TextColorOf(group2, QPalette::WindowText), QColor(Qt::red));

  auto* edit29 = Control<QLineEdit>("Edit29");
  EXPECT_EQ(edit29->text(), "result.txt");
  EXPECT_EQ(edit29->font().pixelSize(), 15);
  EXPECT_EQ(TextColorOf(edit29, QPalette::Text), QColor(Qt::black));

  auto* units = Control<TRadioGroup>("RadioGroup1");
  EXPECT_EQ(units->title(), "Viscosity Unit");
  EXPECT_EQ(units->font().pixelSize(), 13);
  EXPECT_EQ(TextColorOf(units, QPalette::WindowText), QColor(Qt::blue));
  ASSERT_EQ(units->ItemCount(), 2);
  EXPECT_EQ(units->Item(0)->text(), "Pa.s");
  EXPECT_EQ(units->Item(1)->text(), "gf.s/cm2");
  EXPECT_EQ(units->ItemIndex(), 1);
  // Two columns: the items stand side by side.
  EXPECT_EQ(units->Item(0)->y(), units->Item(1)->y());
  EXPECT_LT(units->Item(0)->x() + units->Item(0)->width(), units->Item(1)->x() + 1);

  auto* read = Control<QPushButton>("InputDataBtn");
  EXPECT_EQ(read->text(), "Read Data File");
  EXPECT_EQ(TextColorOf(read, QPalette::ButtonText), QColor(0x80, 0, 0));

  auto* go = Control<QPushButton>("BitBtn1");
  EXPECT_EQ(go->text(), "GO");
  EXPECT_TRUE(go->isDefault());
  EXPECT_FALSE(go->icon().isNull());
  auto* close = Control<QPushButton>("BitBtn2");
  EXPECT_EQ(close->text(), "&Close");
  EXPECT_FALSE(close->icon().isNull());

  // The Gothic face where installed, 12 pixels high.
  EXPECT_EQ(Window->font().pixelSize(), 12);
  if (QFontDatabase::families().contains("IPAPGothic")) {
    EXPECT_EQ(Window->font().family(), "IPAPGothic");
  }
}

TEST_F(LayoutTest, PictureIsDrawnUnscaledInsideItsPanel) {
  auto* panel = Control<TBevelPanel>("Panel29");
  auto* image = Control<QLabel>("Image1");
  EXPECT_EQ(image->parentWidget(), panel);
  EXPECT_EQ(panel->InnerBevel(), TBevel::Lowered);
  EXPECT_EQ(panel->BevelWidth(), 2);
  EXPECT_TRUE(panel->rect().contains(image->geometry()));
  const QPixmap picture = image->pixmap();
  ASSERT_FALSE(picture.isNull());
  EXPECT_FALSE(image->hasScaledContents());
  EXPECT_EQ(image->alignment(), (Qt::AlignLeft | Qt::AlignTop));
  // A picture, not a blank: more than a handful of colours.
  const QImage pixels = picture.toImage();
  QSet<QRgb> colours;
  for (int y = 0; y < pixels.height(); y += 3)
    for (int x = 0; x < pixels.width(); x += 3) colours.insert(pixels.pixel(x, y));
  EXPECT_GT(colours.size(), 8);
}

TEST_F(LayoutTest, TabVisitsTheEnabledFieldsThenTheUnitAndWraps) {
  ShowAndActivate();
  auto* edit1 = Control<QLineEdit>("Edit1");
  EXPECT_EQ(QApplication::focusWidget(), edit1);

  const QStringList expected = {"Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "Edit9",
                                "Edit10", "Edit11", "Edit12", "Edit13", "Edit14", "Edit28", "Edit19", "Edit20"};
  auto* units = Control<TRadioGroup>("RadioGroup1");
  QStringList visited;
  for (int i = 0; i < expected.size() + 2; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    visited << (focus->parentWidget() == units ? QStringLiteral("unit:") + qobject_cast<QRadioButton*>(focus)->text()
                                               : focus->objectName());
  }
  EXPECT_EQ(visited, expected + QStringList({"unit:gf.s/cm2", "Edit1"}));

  // Back-tab from the first field goes to the unit choice.
  QTest::keyClick(edit1, Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget()->parentWidget(), units);
}

TEST_F(LayoutTest, OnlyEnabledFieldsAndTheUnitAreTabStops) {
  for (const char* name : {"BitBtn1", "BitBtn2", "InputDataBtn", "DriveComboBox1", "DirectoryListBox1",
                           "FileListBox1", "Edit29"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(Control<QWidget>(name)->focusPolicy() & Qt::TabFocus);
  }
  for (const RowCase& row : Rows) {
    SCOPED_TRACE(row.Edit);
    auto* edit = Control<QLineEdit>(row.Edit);
    EXPECT_EQ(edit->isEnabled(), row.Enabled);
    if (!row.Enabled) {
      EXPECT_FALSE(edit->focusPolicy() & Qt::TabFocus);
    }
  }
}

TEST(DecimalSeparator, FollowsTheLocaleWhenItIsOneAsciiCharacter) {
  EXPECT_EQ(DecimalSeparatorOf(QLocale(QLocale::English, QLocale::UnitedStates)), '.');
  EXPECT_EQ(DecimalSeparatorOf(QLocale(QLocale::German, QLocale::Germany)), ',');
  EXPECT_EQ(DecimalSeparatorOf(QLocale(QLocale::Japanese, QLocale::Japan)), '.');
  // The Arabic decimal separator is not ASCII: numbers then use a full stop.
  EXPECT_EQ(DecimalSeparatorOf(QLocale(QLocale::Arabic, QLocale::Egypt)), '.');
}

class FinishFormTest : public ::testing::Test {
 protected:
  TFinishForm Form;
};

TEST_F(FinishFormTest, ShowsItsFixedContent) {
  EXPECT_EQ(Form.windowTitle(), "FinishForm");
  EXPECT_EQ(Form.size(), QSize(367, 230));
  EXPECT_EQ(Form.minimumSize(), Form.maximumSize());
  EXPECT_TRUE(Form.isHidden());

  EXPECT_EQ(FindControl<TBevelPanel>(&Form, "Panel1")->geometry(), QRect(0, 0, 367, 230));
  auto* banner = FindControl<TBevelPanel>(&Form, "Panel2");
  EXPECT_EQ(banner->geometry(), QRect(17, 23, 334, 55));
  EXPECT_EQ(banner->Caption(), "Calculation is successfully finished !");
  EXPECT_EQ(banner->CaptionColor(), QColor(Qt::blue));
  EXPECT_EQ(banner->font().pixelSize(), 19);

  // Labels stand at their places and size themselves to show all their text.
  const struct {
    const char* Name;
    const char* Text;
    QRect Least;
    int PixelSize;
  } labels[] = {{"Label3", "Vresion 1.2 ", {133, 89, 79, 16}, 16}, {"Label1", "2008.8.3", {145, 147, 54, 15}, 15}};
  for (const auto& expected : labels) {
    SCOPED_TRACE(expected.Name);
    auto* label = FindControl<QLabel>(&Form, expected.Name);
    EXPECT_EQ(label->text(), expected.Text);
    EXPECT_EQ(label->pos(), expected.Least.topLeft());
    EXPECT_GE(label->width(), expected.Least.width());
    EXPECT_GE(label->height(), expected.Least.height());
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    EXPECT_EQ(label->font().pixelSize(), expected.PixelSize);
  }

  auto* ok = FindControl<QPushButton>(&Form, "BitBtn1");
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_EQ(ok->geometry(), QRect(126, 178, 100, 29));
  EXPECT_TRUE(ok->isDefault());
  EXPECT_FALSE(ok->icon().isNull());
  EXPECT_EQ(ok->font().pixelSize(), 13);
}

TEST_F(FinishFormTest, EnterSpaceOkAndTheCloseBoxAllCloseIt) {
  auto* ok = FindControl<QPushButton>(&Form, "BitBtn1");
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"Enter", [&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }},
      {"Space", [&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); }},
      {"OK", [&] { QTest::mouseClick(ok, Qt::LeftButton); }},
      {"close box", [&] { Form.close(); }},
  };
  for (const auto& [name, closeIt] : ways) {
    SCOPED_TRACE(name);
    Form.show();
    QApplication::setActiveWindow(&Form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
    ASSERT_EQ(QApplication::focusWidget(), ok);
    closeIt();
    EXPECT_FALSE(Form.isVisible());
  }
}

}  // namespace
