// The export wizard's tests: a small banner scene (a red block moving right
// over a white background past a blue block that stays) and the wizard
// opened on it with scripted answers and forms.
#pragma once

#include "controls/DrawGrid.h"
#include "controls/Image.h"
#include "controls/My_SpinEdit.h"
#include "controls/RadioGroup.h"
#include "dialogs/ExportFrmU.h"
#include "imaging/utils.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/ScriptedModalRunner.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QRadioButton>
#include <QCoreApplication>
#include <QTest>

#include <memory>
#include <string>

// Replaces a field's text by typing, key by key, as a user does.
inline void TypeInto(TSpinEdit* spin, const QString& text) {
  spin->setFocus();
  spin->selectAll();
  QTest::keyClicks(spin, text);
}

// Item `index` of a radio group, found by the name it gives its items ("<group>_<index>").
inline QRadioButton* RadioItem(QGroupBox* group, int index) {
  return group->findChild<QRadioButton*>(group->objectName() + "_" + QString::number(index));
}

// Clicks the thumbnail of a frame (0-based) in the frames page's grid.
inline void ClickFrame(TExportFrm& wizard, int index) {
  const TRect cell = wizard.GIF_PicturesGrid->CellRect(0, index + 1);
  QTest::mouseClick(wizard.GIF_PicturesGrid, Qt::LeftButton, {},
                    QPoint((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2));
}

class ExportWizardTest : public testing::Test {
 protected:
  static constexpr int kSceneWidth = 80;
  static constexpr int kSceneHeight = 30;
  static constexpr int kSteps = 8;

  ExportWizardTest() {
    CancelFlag = 0;
    scene.Width = kSceneWidth;
    scene.Height = kSceneHeight;
    scene.FillColor = clWhite;
    scene.SetBackground(false, bgmFillAndPicture, "", clWhite, clWhite, ppNone, nullptr);
    MakeSolid(output, kSceneWidth, kSceneHeight, clWhite);
    scene.OutputBitmap = &output;
    scene.StepCount = kSteps;
    scene.Timer().SetInterval(67);
    TSprite& moving = AddBlock(10, 10, clRed);
    moving.Motion().AddStepWith(LineFrom(0, 10, 70, 10, 10), &moving);
    TSprite& still = AddBlock(8, 8, clBlue);
    still.Motion().AddStepWith(HoldAt(60, 20), &still);
  }
  ~ExportWizardTest() override { CancelFlag = 0; }

  TSprite& AddBlock(int w, int h, TColor color) {
    int index = 0;
    TSprite& sprite = *scene.AddSprite(index);
    TBitmap picture;
    MakeSolid(picture, w, h, color);
    sprite.AddFrame()->SetPicture(picture, false, 0, -1, -1);
    return sprite;
  }

  // What the scene shows at step s.
  void ShowStep(int s, TBitmap& picture) {
    scene.GotoFrame(s + 1);
    scene.BackgroundDrawn = 0;
    scene.NextFrame();
    picture.Assign(&output);
  }

  // A wizard on the scene for the file, shown as the main window shows it.
  std::unique_ptr<TExportFrm> OpenWizard(const std::string& fileName) {
    auto wizard = std::make_unique<TExportFrm>(nullptr, scene, settings);
    wizard->SetExportFileName(fileName);
    wizard->RequestSceneRecompute = [this] { ++recomputes; };
    wizard->show();
    QCoreApplication::processEvents();
    return wizard;
  }

  // Clicks a button as the user does; a check box or radio button at its
  // box, which is where a wide one takes clicks.
  static void Click(QAbstractButton* button) {
    if (button->isCheckable() && button->inherits("QCheckBox") | button->inherits("QRadioButton")) {
      QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    } else {
      QTest::mouseClick(button, Qt::LeftButton);
    }
  }

  ScriptedUiServices ui;
  ScriptedModalRunner forms;
  TempDir dir;
  TAnimatedScene scene;
  TBitmap output;
  TExportSettings settings;
  int recomputes = 0;
};
