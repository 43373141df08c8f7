// One form holding every form control, run as a user would: keys and mouse
// through the window system (events go to the widget under the pointer or
// with the focus), what the form shows read from grab(), the beep and the
// shell through their doubles.
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/MyCntrlMovie.h"
#include "controls/My_Gauges.h"
#include "controls/My_SpinEdit.h"
#include "controls/Shadowlb.h"
#include "controls/URL.h"
#include "controls/mKnob.h"
#include "platform/RegistryStore.h"
#include "tests/support/RecordingShellServices.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <memory>

namespace {

// The form: a step field and an angle field, the angle's knob, a digit
// read-out of the angle, a gauge of it, a movie, a title and a link.
class ControlsForm : public QDialog {
 public:
  ControlsForm() {
    setObjectName("ControlsForm");
    resize(320, 220);
    Steps_Spin = new TSpinEdit(this);
    Steps_Spin->setObjectName("Steps_Spin");
    Steps_Spin->SetBounds(10, 10, 80, 24);
    Steps_Spin->SetMinValue(1);
    Steps_Spin->SetMaxValue(100);
    Angle_Spin = new TSpinEdit(this);
    Angle_Spin->setObjectName("Angle_Spin");
    Angle_Spin->SetBounds(100, 10, 80, 24);
    Angle_Spin->SetMaxValue(360);
    Angle_Knob = new TmKnob(this);
    Angle_Knob->setObjectName("Angle_Knob");
    Angle_Knob->SetBounds(10, 50, 60, 60);
    Angle_Knob->SetTickColor(clRed);
    Angle_Display = new TDigitalDisplay(this);
    Angle_Display->setObjectName("Angle_Display");
    Angle_Display->SetBounds(100, 50, 40, 13);
    Angle_Display->SetColor(clBlack);
    Angle_Display->SetColorOfText(clLime);
    Angle_Gauge = new TGauge(this);
    Angle_Gauge->setObjectName("Angle_Gauge");
    Angle_Gauge->SetBounds(10, 120, 200, 20);
    Angle_Gauge->SetMaxValue(360);
    Angle_Gauge->SetForeColor(clNavy);
    Logo_Movie = new TMovie(this);
    Logo_Movie->setObjectName("Logo_Movie");
    Logo_Movie->SetBounds(250, 10, 20, 20);
    Title_Label = new TLabelWithShadow(this);
    Title_Label->setObjectName("Title_Label");
    Title_Label->SetBounds(100, 75, 100, 30);
    TFont titleFont;
    titleFont.SetSize(14);
    titleFont.Style = fsBold;
    titleFont.Color = clBlack;
    Title_Label->SetFont(titleFont);
    Title_Label->SetColorOfShadow(clRed);
    Title_Label->SetCaption("Gleamcraft");
    Home_URL = new TURL(this);
    Home_URL->setObjectName("Home_URL");
    Home_URL->setGeometry(10, 150, 200, 20);
    Home_URL->setText("https://example.com/gleamcraft/");
    OK_Button = new QPushButton("OK", this);
    OK_Button->setObjectName("OK_Button");
    OK_Button->setGeometry(230, 180, 75, 25);
    OK_Button->setDefault(true);
    connect(OK_Button, &QPushButton::clicked, this, &QDialog::accept);

    // The knob sets the angle field; the field shows on the read-out and the gauge.
    Angle_Knob->OnChange = [this](QObject*, int value) { Angle_Spin->SetValue(value); };
    Angle_Spin->OnChange = [this](QObject*) {
      Angle_Display->SetCaption(IntToStr(Angle_Spin->Value()));
      Angle_Gauge->SetProgress(Angle_Spin->Value());
    };
  }

  TSpinEdit* Steps_Spin;
  TSpinEdit* Angle_Spin;
  TmKnob* Angle_Knob;
  TDigitalDisplay* Angle_Display;
  TGauge* Angle_Gauge;
  TMovie* Logo_Movie;
  TLabelWithShadow* Title_Label;
  TURL* Home_URL;
  QPushButton* OK_Button;
};

// A strip of three 20 x 20 frames: red, green, blue.
std::unique_ptr<TBitmap> ThreeFrames() {
  auto strip = std::make_unique<TBitmap>();
  strip->SetSize(60, 20);
  const TColor colours[3] = {clRed, clLime, clBlue};
  for (int f = 0; f < 3; ++f) {
    strip->Canvas().Brush().Color = colours[f];
    strip->Canvas().FillRect(Bounds(20 * f, 0, 20, 20));
  }
  return strip;
}

TColor At(const QImage& shot, int x, int y) {
  const QRgb p = shot.pixel(x, y);
  return RGB(static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)), static_cast<std::uint8_t>(qBlue(p)));
}

// Whether the form shows the 7 x 13 picture at (x, y).
bool Shows(const QImage& shot, int x, int y, const TBitmap& picture) {
  for (int j = 0; j < picture.Height(); ++j)
    for (int i = 0; i < picture.Width(); ++i)
      if (At(shot, x + i, y + j) != picture.Pixel(i, j)) return false;
  return true;
}

}  // namespace

TEST(FormControlsScenario, AFormOfEveryControlWorksThroughRealEvents) {
  TempDir registry;
  ScopedEnvironment privateRegistry({{kRegistryFolderVariable, registry.Path()}});
  ScriptedUiServices ui;
  RecordingShellServices shell;
  shell.browserCommand = "web-browser %u";

  ControlsForm form;
  form.Logo_Movie->SetPicture(*ThreeFrames());
  form.Logo_Movie->SetNumFrames(3);
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.Logo_Movie->SetMovieEnabled(false);  // the script ticks it
  QWindow* window = form.windowHandle();
  // A point of a control in the form's window.
  auto in = [&form](QWidget* control, QPoint p) { return control->mapTo(&form, p); };

  // Typing a step beyond the bounds: the field puts it right on leaving.
  TSpinEdit& steps = *form.Steps_Spin;
  steps.setFocus(Qt::TabFocusReason);
  EXPECT_EQ(steps.selectedText(), "0") << "entering by keyboard selects the text";
  for (const char key : std::string("2x50")) QTest::keyClick(window, key);
  EXPECT_EQ(ui.beeps, 1) << "the letter is refused";
  EXPECT_EQ(steps.Text(), "250");
  QTest::keyClick(window, Qt::Key_Tab);
  EXPECT_TRUE(form.Angle_Spin->hasFocus());
  EXPECT_EQ(steps.Text(), "100");

  // Holding the down button: a step at the press, at 400, 500 and 600 ms.
  TTimerSpeedButton* down = steps.Button()->DownButton();
  const QPoint onDown = in(down, QPoint(5, 4));
  QTest::mouseMove(window, onDown);
  QTest::mousePress(window, Qt::LeftButton, {}, onDown);
  EXPECT_TRUE(steps.hasFocus()) << "the press focuses the field";
  EXPECT_EQ(steps.selectedText(), "") << "a press selects nothing";
  EXPECT_EQ(down->RepeatTimer()->Interval(), 400);
  for (int tick = 0; tick < 3; ++tick) down->TimerExpired();
  QTest::mouseRelease(window, Qt::LeftButton, {}, onDown);
  EXPECT_EQ(steps.Value(), 96);
  QTest::keyClick(window, Qt::Key_Up);
  EXPECT_EQ(steps.Value(), 97);

  // A read-only field beeps at its buttons.
  steps.SetReadOnly(true);
  const QPoint onUp = in(steps.Button()->UpButton(), QPoint(5, 3));
  QTest::mouseClick(window, Qt::LeftButton, {}, onUp);
  EXPECT_EQ(steps.Value(), 97);
  EXPECT_EQ(ui.beeps, 2);

  // Dragging the knob from 9 o'clock to 12 o'clock: 90 degrees in the
  // field, on the read-out and the gauge.
  QTest::mouseMove(window, in(form.Angle_Knob, QPoint(5, 30)));
  QTest::mousePress(window, Qt::LeftButton, {}, in(form.Angle_Knob, QPoint(5, 30)));
  EXPECT_EQ(form.Angle_Knob->Position(), 180);
  QTest::mouseMove(window, in(form.Angle_Knob, QPoint(30, 5)));
  QTest::mouseRelease(window, Qt::LeftButton, {}, in(form.Angle_Knob, QPoint(30, 5)));
  EXPECT_EQ(form.Angle_Knob->Position(), 90);
  EXPECT_EQ(form.Angle_Spin->Text(), "90");
  EXPECT_EQ(form.Angle_Display->Caption(), "90");
  EXPECT_EQ(form.Angle_Gauge->PercentDone(), 25);

  form.Logo_Movie->FrameTimerTimer();
  const QImage shot = form.grab().toImage();
  // The read-out: lime digits on black from the display's own pictures.
  EXPECT_TRUE(Shows(shot, 100, 50, form.Angle_Display->DisplayPicture(9)));
  EXPECT_TRUE(Shows(shot, 107, 50, form.Angle_Display->DisplayPicture(0)));
  EXPECT_EQ(At(shot, 102, 51), clLime) << "the top segment of the 9";
  // The knob's mark, straight up from (28, 9) to (28, 1).
  for (int y = 1; y <= 9; ++y) EXPECT_EQ(At(shot, 10 + 28, 50 + y), clRed) << y;
  // The gauge at 25 %: W = 199, the bar fills 49 columns from its left edge.
  EXPECT_EQ(At(shot, 10 + 1, 125), clNavy);
  EXPECT_EQ(At(shot, 10 + 48, 125), clNavy);
  EXPECT_EQ(At(shot, 10 + 49, 125), clWhite);
  EXPECT_EQ(At(shot, 10, 120), clBlack) << "the gauge's frame";
  // The movie's second frame.
  EXPECT_EQ(At(shot, 255, 15), clLime);
  // The title and its shadow.
  int shadow = 0, text = 0;
  for (int y = 75; y < 105; ++y)
    for (int x = 100; x < 200; ++x) {
      shadow += At(shot, x, y) == clRed;
      text += At(shot, x, y) == clBlack;
    }
  EXPECT_GT(shadow, 0);
  EXPECT_GT(text, 0);

  // The link opens the page, under the hourglass.
  QTest::mouseClick(window, Qt::LeftButton, {}, in(form.Home_URL, QPoint(5, 5)));
  EXPECT_EQ(shell.opened, std::vector<std::string>{"https://example.com/gleamcraft/"});
  EXPECT_EQ(ui.cursors, (std::vector<TCursor>{crHourGlass, crDefault}));

  // Enter in a field is the form's OK.
  form.Angle_Spin->setFocus(Qt::TabFocusReason);
  QTest::keyClick(window, Qt::Key_Return);
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(ui.beeps, 2);
}
