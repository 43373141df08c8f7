#include "platform/ModalForms.h"
#include "platform/qtui/QtModalFormRunner.h"
#include "tests/support/ScriptedModalRunner.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace {

// A small form of the kind the editor's dialogs are: presets, user-action
// signals that record what the user did, an OK button that refuses an empty
// name, a Cancel button and a Yes button.
class SampleForm : public QDialog {
 public:
  SampleForm() {
    setObjectName("SampleForm");
    setWindowTitle("Sample");
    NameEdit->setObjectName("NameEdit");
    KeepRatio->setObjectName("KeepRatio");
    WidthSpin->setObjectName("WidthSpin");
    WidthSpin->setRange(1, 65000);
    Kind->setObjectName("Kind");
    Kind->addItems({"Forever", "0", "1"});
    OkButton->setObjectName("OkButton");
    CancelButton->setObjectName("CancelButton");
    YesButton->setObjectName("YesButton");
    connect(NameEdit, &QLineEdit::textEdited, this, [this](const QString& text) { edits << text; });
    connect(KeepRatio, &QCheckBox::clicked, this, [this] { ++ratioClicks; });
    connect(Kind, &QComboBox::activated, this, [this](int index) { activated << index; });
    connect(OkButton, &QPushButton::clicked, this, [this] {
      if (!NameEdit->text().isEmpty()) accept();
    });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(YesButton, &QPushButton::clicked, this, [this] { done(mrYes); });
  }

  QLineEdit* NameEdit = new QLineEdit(this);
  QCheckBox* KeepRatio = new QCheckBox(this);
  QSpinBox* WidthSpin = new QSpinBox(this);
  QComboBox* Kind = new QComboBox(this);
  QPushButton* OkButton = new QPushButton("OK", this);
  QPushButton* CancelButton = new QPushButton("Cancel", this);
  QPushButton* YesButton = new QPushButton("Yes", this);
  QStringList edits;
  int ratioClicks = 0;
  QList<int> activated;
  int shows = 0;

 protected:
  void showEvent(QShowEvent* event) override {
    ++shows;
    QDialog::showEvent(event);
  }
};

}  // namespace

TEST(ModalForms, WithoutARunnerNothingIsShownAndTheAnswerIsCancel) {
  SampleForm form;
  EXPECT_EQ(ShowModal(form), mrCancel);
  EXPECT_EQ(form.shows, 0);
}

TEST(QtModalRunner, ReturnsHowTheFormEndedItself) {
  QtModalFormRunner runner;
  SetModalFormRunner(&runner);
  {
    SampleForm form;
    form.NameEdit->setText("x");
    QTimer::singleShot(0, form.OkButton, &QPushButton::click);
    EXPECT_EQ(ShowModal(form), mrOk);
  }
  {
    SampleForm form;
    QTimer::singleShot(0, &form, &QDialog::reject);
    EXPECT_EQ(ShowModal(form), mrCancel);
  }
  {
    SampleForm form;
    QTimer::singleShot(0, form.YesButton, &QPushButton::click);
    EXPECT_EQ(ShowModal(form), mrYes);
  }
  SetModalFormRunner(nullptr);
}

TEST(ScriptedModalRunner, FillsControlsAsAUserWouldAndAnswers) {
  ScriptedModalRunner forms;
  forms.Expect("SampleForm")
      .Fill("NameEdit", "Banner")
      .Fill("KeepRatio", true)
      .Fill("WidthSpin", 468)
      .Fill("Kind", "1")
      .Answer(mrOk);
  SampleForm form;
  EXPECT_EQ(ShowModal(form), mrOk);
  EXPECT_EQ(form.shows, 1) << "the form's show handling runs";
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.edits, QStringList{"Banner"});
  EXPECT_TRUE(form.KeepRatio->isChecked());
  EXPECT_EQ(form.ratioClicks, 1);
  EXPECT_EQ(form.WidthSpin->value(), 468);
  EXPECT_EQ(form.activated, QList<int>{2});
  ASSERT_EQ(forms.shown.size(), 1u);
  EXPECT_EQ(forms.shown[0].objectName, "SampleForm");
  EXPECT_EQ(forms.shown[0].caption, "Sample");
  EXPECT_EQ(forms.shown[0].result, mrOk);
  EXPECT_EQ(forms.Remaining(), 0u);
}

TEST(ScriptedModalRunner, ACheckBoxAlreadyRightIsNotClicked) {
  ScriptedModalRunner forms;
  forms.Expect("SampleForm").Fill("KeepRatio", false).Fill("Kind", 0).Answer(mrCancel);
  SampleForm form;
  EXPECT_EQ(ShowModal(form), mrCancel);
  EXPECT_EQ(form.ratioClicks, 0);
  EXPECT_EQ(form.activated, QList<int>{0});
}

TEST(ScriptedModalRunner, PressingAButtonRunsTheFormsOwnHandling) {
  ScriptedModalRunner forms;
  forms.Expect("SampleForm").Fill("NameEdit", "Logo").Press("OkButton");
  forms.Expect("SampleForm").Press("CancelButton");
  forms.Expect("").Press("YesButton");
  SampleForm first, second, third;
  EXPECT_EQ(ShowModal(first), mrOk);
  EXPECT_EQ(ShowModal(second), mrCancel);
  EXPECT_EQ(ShowModal(third), mrYes);
}

TEST(ScriptedModalRunner, AnOkThatRefusesToCloseFailsTheTest) {
  ScriptedModalRunner forms;
  forms.Expect("SampleForm").Press("OkButton");  // the name is empty: OK refuses
  SampleForm form;
  EXPECT_NONFATAL_FAILURE(ShowModal(form), "did not close the form");
}

TEST(ScriptedModalRunner, AMissingControlFailsTheTest) {
  ScriptedModalRunner forms;
  forms.Expect("SampleForm").Fill("NoSuchEdit", "x");
  SampleForm form;
  EXPECT_NONFATAL_FAILURE(ShowModal(form), "has no child named NoSuchEdit");
}

TEST(ScriptedModalRunner, FormsBeyondTheScriptAreRecordedAndCancelled) {
  ScriptedModalRunner forms;
  SampleForm form;
  EXPECT_EQ(ShowModal(form), mrCancel);
  EXPECT_EQ(form.shows, 0);
  ASSERT_EQ(forms.shown.size(), 1u);
  EXPECT_EQ(forms.shown[0].result, mrCancel);
}
