// A user starts the editor, takes a banner from the template wizard and
// works on it through the real main window: a 3D text sprite given a 3D
// animation from the gallery and taken back, the badge given a motion from
// the gallery, a preset picture inserted, sprites sent to the front and the
// back and deleted and all of it undone, a GIF comment typed, saved and
// reopened, a too large canvas refused, the banner saved for the sibling
// program, and the program left with the changes asked about.
#include "tests/app/MainFormTreeFixture.h"
#include "tests/support/FindChild.h"

#include "app/core/SizeLimits.h"
#include "app/core/StarterSet.h"
#include "controls/AnimationPickerU.h"
#include "controls/DrawGrid.h"
#include "controls/PopupWindow.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string SpriteOrder(const TAnimatedScene& scene) {
  std::string names;
  for (int i = 0; i < scene.SpriteCount(); ++i) names += (i > 0 ? "," : "") + scene.Sprite(i).Name;
  return names;
}

std::string FileBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class MainFormSceneScenario : public MainFormTreeTest {
 protected:
  MainFormSceneScenario() { WriteStarterSet(program_.Path()); }

  // The names of a template set's project files, sorted, without extension.
  std::vector<std::string> TemplateNames(const char* folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(program_.Path() + "/" + folder))
      if (entry.path().extension() == ".GLM") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // Answers the gallery picker that the next command drops: the entry whose
  // file is named fileName, chosen with Ok.
  void ChooseInGallery(const std::string& fileName) {
    TAnimationPicker& picker = *Editor(Form()).Galleries().AnimationPicker1();
    QTimer::singleShot(0, &Form(), [&picker, fileName] {
      for (int i = 0; i < picker.ItemCount(); ++i) {
        if (ExtractFileName(picker.Item(i).FileName()) != fileName) continue;
        picker.Grid->SetRow(i);
        QTest::mouseClick(picker.OkButton, Qt::LeftButton);
        return;
      }
      ADD_FAILURE() << fileName << " is not in the gallery";
      picker.CancelButtonClick();
    });
  }

  void SaveAsThroughCommand(const std::string& fileName, int entry) {
    FileDialogResult chosen;
    chosen.fileName = fileName;
    chosen.filterIndex = entry;
    ui_.fileAnswers.push_back(chosen);
    Command(Form(), "File_Save_As")->trigger();
    Settle();
  }

  std::vector<std::string> Undos() { return UndoCaptions(*Editor(Form()).ActiveAnimationWindow()->Undo()); }
};

TEST_F(MainFormSceneScenario, ATemplateBannerWorkedOnThroughTheMainWindow) {
  TMainForm& form = StartShown();

  // ---- The template wizard at start-up lists the starter banners; "Welcome" opens.
  const std::vector<std::string> banners = TemplateNames(kBannersFolder);
  ASSERT_FALSE(banners.empty());
  std::vector<std::string> listed;
  forms_.Expect("TemplateForm")
      .Do([&listed](QDialog& wizard) {
        auto* list = wizard.findChild<QListWidget*>("ListView_Thumbnails");
        ASSERT_NE(list, nullptr);
        for (int i = 0; i < list->count(); ++i) listed.push_back(list->item(i)->text().toStdString());
        const auto welcome = std::find(listed.begin(), listed.end(), "Welcome");
        ASSERT_NE(welcome, listed.end());
        list->setCurrentRow(static_cast<int>(welcome - listed.begin()));
      })
      .Press("OkButton");
  form.TimerStartTimer();
  Settle();
  EXPECT_EQ(listed, banners);
  TAnimationWindow* document = Editor(form).ActiveAnimationWindow();
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(ExtractFileName(document->FileName()), "Welcome.GLM");
  TAnimatedScene& scene = *document->Scene();
  ASSERT_EQ(SpriteOrder(scene).substr(0, 6), "Badge,");
  const int templateSprites = scene.SpriteCount();

  // ---- A 3D text sprite takes only what the "Spin" preset animates; one Undo takes it back.
  Command(form, "Scene_Add_3DText")->trigger();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), templateSprites + 1);
  TSprite& text3D = scene.Sprite(templateSprites);
  TFrame& frame = text3D.Frame(0);
  QTreeWidgetItem* spriteNode = Editor(form).Tree().TreeNodeOfSprite(&text3D);
  ASSERT_NE(spriteNode, nullptr);
  for (int i = 0; i < spriteNode->childCount(); ++i)
    if (TTreeArea::IsFrameNode(TTreeArea::NodeKind(spriteNode->child(i)))) {
      ClickNode(spriteNode->child(i));
      break;
    }
  ASSERT_EQ(Editor(form).CurrentFrame(), &frame);
  const T3DTextState start = frame.StartState, end = frame.EndState;
  const std::size_t undosBefore = Undos().size();
  // A rotation typed just before goes first, as a change of its own: the
  // frame has no animation flag, so rendered after the preset it would make
  // the end state the start state again.
  auto* rotationX = form.findChild<QLineEdit*>("EditTextRotX");
  rotationX->selectAll();
  QTest::keyClicks(rotationX, "30");
  ChooseInGallery("Spin.GLM");
  Editor(form).Galleries().AnimationGalleryToolButtonClick();
  Settle();
  if (Editor(form).Text3DEditor().Timer_3D_Changed().Enabled()) Editor(form).Text3DEditor().Timer_3D_ChangedTimer();
  EXPECT_EQ(frame.StartState.TextRotationX, 30.0);
  EXPECT_EQ(frame.StartState.TextRotationY, 0.0);
  EXPECT_EQ(frame.EndState.TextRotationY, 360.0);
  T3DTextState unanimated = frame.EndState;
  unanimated.TextRotationX = end.TextRotationX;
  unanimated.TextRotationY = end.TextRotationY;
  EXPECT_TRUE(unanimated == end) << "only the rotation the preset animates is taken";
  EXPECT_EQ(frame.StartState.CameraPositionZ, start.CameraPositionZ);
  EXPECT_EQ(frame.StartState.Text, start.Text);
  ASSERT_EQ(Undos().size(), undosBefore + 2);
  EXPECT_EQ(Undos().back(), "Change 3D Text");
  Command(form, "Edit_Undo")->trigger();
  Command(form, "Edit_Undo")->trigger();
  Settle();
  TFrame& restored = scene.Sprite(templateSprites).Frame(0);
  EXPECT_TRUE(restored.StartState == start);
  EXPECT_TRUE(restored.EndState == end);
  EXPECT_EQ(Undos().size(), undosBefore);

  // ---- The colour gallery's "Fire" lights the frame anew: its picture is rendered again.
  const std::string picture = PictureBytes(restored.Picture);
  ChooseInGallery("Fire.GLM");
  Editor(form).Galleries().CollorGalleryToolButtonClick();
  Settle();
  ASSERT_EQ(Undos().size(), undosBefore + 1);
  EXPECT_NE(PictureBytes(scene.Sprite(templateSprites).Frame(0).Picture), picture);
  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(PictureBytes(scene.Sprite(templateSprites).Frame(0).Picture), picture);

  // ---- The motion gallery re-anchors "Fly In From Left" at the badge's fixed start (8, 5).
  ClickNode(Node({"Badge"}));
  TSprite& badge = scene.Sprite(0);
  ASSERT_EQ(Editor(form).CurrentSprite(), &badge);
  ASSERT_EQ(badge.Motion().Step(0).Kind, mskHold);
  ChooseInGallery("Fly In From Left.GLM");
  Command(form, "Motion_AddFromGallery")->trigger();
  Settle();
  ASSERT_EQ(badge.Motion().StepCount(), 2);
  const TMovingStep& first = badge.Motion().Step(0);
  EXPECT_EQ(double(first.X1), 8.0);
  EXPECT_EQ(double(first.X2), 228.0);
  EXPECT_EQ(double(first.Y1), 5.0);
  EXPECT_EQ(double(first.Y2), 5.0);
  EXPECT_EQ(double(first.StartX), 8.0);
  EXPECT_EQ(double(first.StartY), 5.0);
  EXPECT_EQ(Undos().back(), "Change Motion");

  // ---- Insert > Presets adds the "Star" picture as a sprite with one step.
  QAction* star = nullptr;
  for (QAction* item : Child<QMenu>(form, "Presets1")->actions())
    if (item->text() == "Star") star = item;
  ASSERT_NE(star, nullptr);
  star->trigger();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), templateSprites + 2);
  TSprite& starSprite = scene.Sprite(templateSprites + 1);
  EXPECT_GE(starSprite.FrameCount(), 1);
  EXPECT_EQ(starSprite.Motion().StepCount(), 1);
  EXPECT_EQ(Undos().back(), "Add Sprite");
  const std::string starName = starSprite.Name;

  // ---- Front, Back and Delete (the Del key in the tree), each undone.
  const std::string order = SpriteOrder(scene);
  const std::size_t undosBeforeOrder = Undos().size();
  ClickNode(Node({"Badge"}));
  Command(form, "Scene_MovetoFrontOfAllSprites")->trigger();
  Settle();
  EXPECT_EQ(scene.Sprite(scene.SpriteCount() - 1).Name, "Badge");
  EXPECT_EQ(Root()->child(1)->text(0), QString("Badge"));
  ClickNode(Node({starName.c_str()}));
  Command(form, "Scene_MoveToBackOfAllSprites")->trigger();
  Settle();
  EXPECT_EQ(scene.Sprite(0).Name, starName);
  ClickNode(Node({starName.c_str()}));
  Tree().setFocus();
  QTest::keyClick(&Tree(), Qt::Key_Delete);
  Settle();
  EXPECT_EQ(scene.SpriteCount(), templateSprites + 1);
  EXPECT_EQ(Node({starName.c_str()}), nullptr);
  const std::vector<std::string> undos = Undos();
  EXPECT_EQ(std::vector<std::string>(undos.begin() + static_cast<long>(undosBeforeOrder), undos.end()),
            (std::vector<std::string>{"Move to Front of all Sprites", "Move to Back of all Sprites", "Delete Sprite"}));
  for (int i = 0; i < 3; ++i) {
    Command(form, "Edit_Undo")->trigger();
    Settle();
  }
  EXPECT_EQ(SpriteOrder(scene), order);
  EXPECT_NE(Node({starName.c_str()}), nullptr);

  // ---- A GIF comment typed on the scene page: one entry for the burst; saved and reopened.
  ClickNode(Root());
  ASSERT_EQ(Page(), ppScene);
  const std::size_t undosBeforeComment = Undos().size();
  Child<QPlainTextEdit>(form, "GifCommentMemo")->setFocus();
  QTest::keyClicks(Child<QPlainTextEdit>(form, "GifCommentMemo"), "Made here");
  QTest::keyClick(Child<QPlainTextEdit>(form, "GifCommentMemo"), Qt::Key_Return);
  QTest::keyClicks(Child<QPlainTextEdit>(form, "GifCommentMemo"), "for you");
  EXPECT_EQ(scene.ReservedSettings.GifComment(), (std::vector<std::string>{"Made here", "for you"}));
  ASSERT_EQ(Undos().size(), undosBeforeComment + 1);
  EXPECT_EQ(Undos().back(), "Change Background Properties");
  const std::string saved = data_.File("welcome.GLM");
  SaveAsThroughCommand(saved, 1);
  EXPECT_FALSE(document->Modified());
  TAnimationWindow* reopened = OpenThroughCommand(saved);
  ASSERT_NE(reopened, document);
  EXPECT_EQ(reopened->Scene()->ReservedSettings.GifComment(), (std::vector<std::string>{"Made here", "for you"}));
  ClickNode(Root());
  EXPECT_EQ(Child<QPlainTextEdit>(form, "GifCommentMemo")->toPlainText(), QString("Made here\nfor you"));
  reopened->close();
  Settle();
  document->setFocus();
  Child<QMdiArea>(form, "MdiArea")->setActiveSubWindow(document);
  Settle();
  ASSERT_EQ(Editor(form).ActiveAnimationWindow(), document);

  // ---- An 8193 x 8193 canvas is refused by the size dialog; nothing changes.
  const int width = scene.Width, height = scene.Height;
  const std::size_t messages = ui_.messages.size();
  forms_.Expect("SetBackgroundFrm")
      .Fill("MaintainRatio", false)
      .Fill("WidthPixels", "8193")
      .Fill("HeightPixels", "8193")
      .Do([](QDialog& size) { size.findChild<QPushButton*>("OkBtn")->click(); })
      .Press("CancelBtn");
  Command(form, "View_Custom")->trigger();
  document->ResizeTimerTimer();
  Settle();
  ASSERT_EQ(ui_.messages.size(), messages + 1);
  EXPECT_EQ(ui_.messages.back().text, SizeRefusedMessage(8193, 8193));
  EXPECT_EQ(ui_.messages.back().caption, "Error");
  EXPECT_EQ(scene.Width, width);
  EXPECT_EQ(scene.Height, height);
  EXPECT_FALSE(document->Modified());

  // ---- Save As with entry 6 writes the sibling program's "Animated Scene v.2.21".
  const std::string sibling = data_.File("welcome.gld");
  SaveAsThroughCommand(sibling, 6);
  const std::string bytes = FileBytes(sibling);
  EXPECT_NE(bytes.find("Animated Scene v.2.21"), std::string::npos);
  EXPECT_EQ(bytes.find("Animated Scene v.5.2"), std::string::npos);

  // ---- Exit with a modified document asks to save: Cancel keeps the program, Yes saves.
  ClickNode(Node({"Badge"}));
  Command(form, "Scene_MovetoFrontOfAllSprites")->trigger();
  Settle();
  ASSERT_TRUE(document->Modified());
  const std::string question = "File welcome.gld has been modified. Do you want to save it?";
  ui_.messageAnswers.push_back(IDCANCEL);
  Command(form, "File_Exit")->trigger();
  Settle();
  EXPECT_EQ(ui_.messages.back().text, question);
  EXPECT_TRUE(form.isVisible());
  ASSERT_EQ(Editor(form).ActiveAnimationWindow(), document);
  ui_.messageAnswers.push_back(IDYES);
  Command(form, "File_Exit")->trigger();
  Settle();
  EXPECT_EQ(ui_.messages.back().text, question);
  EXPECT_FALSE(form.isVisible());
  TAnimatedScene written;
  written.LoadFromFile(sibling);
  ASSERT_GT(written.SpriteCount(), 0);
  EXPECT_EQ(written.Sprite(written.SpriteCount() - 1).Name, "Badge");
}

}  // namespace
