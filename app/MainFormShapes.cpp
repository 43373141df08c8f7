// Adding sprites and frames, and the shape, line and plain-text pages of
// the main window. The pages are built in MainFormShapesPages.cpp and
// MainFormShapesText.cpp.
#include "app/MainFormShapes.h"
#include "app/MainFormU.h"
#include "app/MainFormTree.h"
#include "app/MainFormMotion.h"
#include "app/MainFormActions.h"
#include "app/MainFormLayout.h"
#include "app/MainForm3DText.h"

#include "app/AnimationWindowU.h"
#include "app/core/SceneRecompute.h"
#include "controls/Bitmpbtn.h"
#include "controls/ColorPicker.h"
#include "controls/PopupWindow.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/UndoRecorder.h"

#include <QCursor>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolButton>

void TShapesArea::FormCreateShapes() {
  SetUpTimer(timerRedrawShape_, 200, [this] { TimerRedrawShapeTimer(); });
  SetUpTimer(timerRedrawLine_, 200, [this] { TimerRedrawLineTimer(); });
  ColorPicker1 = new TColorPicker(&Window());
  ColorPicker1->setObjectName("ColorPicker1");
  CreateShapePage();
  CreateLinePage();
  CreateSimpleTextPage();
  Motion().CreateMotionTwins();

  Commands().SetCommandHandler(Commands().Scene_Add_Rectangle, [this] { Scene_Add_RectangleExecute(); });
  Commands().SetCommandHandler(Commands().Scene_Add_Ellipse, [this] { Scene_Add_EllipseExecute(); });
  Commands().SetCommandHandler(Commands().Scene_Add_Line, [this] { Scene_Add_LineExecute(); });
  Commands().SetCommandHandler(Commands().Sprite_Add_Rectangle, [this] { Sprite_Add_RectangleExecute(); });
  Commands().SetCommandHandler(Commands().Sprite_Add_Ellipse, [this] { Sprite_Add_EllipseExecute(); });
  Commands().SetCommandHandler(Commands().Sprite_Add_Line, [this] { Sprite_Add_LineExecute(); });

  // The adding buttons drop their two-item menus where the mouse is (a
  // held button still drops it below itself).
  const auto dropAtCursor = [this](QToolButton* button, QMenu* menu) {
    button->setPopupMode(QToolButton::DelayedPopup);
    connect(button, &QToolButton::clicked, this, [this, menu] { ShowAddMenu(menu); });
  };
  dropAtCursor(Commands().ToolButton_Add_Rect, Commands().PopupMenu_AddRectangle);
  dropAtCursor(Commands().ToolButton_Ellipse, Commands().PopupMenu_AddEllipse);
  dropAtCursor(Commands().ToolButton_Add_Line, Commands().PopupMenu_AddLine);
}

void TShapesArea::ShowAddMenu(QMenu* menu) { menu->popup(QCursor::pos()); }

// ---- Adding sprites and frames ---------------------------------------------------------------------

void TShapesArea::Scene_Add_RectangleExecute() { AddSpriteWithGeneratedFrame(nfkRectangle); }
void TShapesArea::Scene_Add_EllipseExecute() { AddSpriteWithGeneratedFrame(nfkEllipse); }
void TShapesArea::Scene_Add_LineExecute() { AddSpriteWithGeneratedFrame(nfkLine); }

void TShapesArea::Sprite_Add_RectangleExecute() {
  if (TSprite* sprite = CurrentSprite()) AddGeneratedFrame(*sprite, nfkRectangle);
}
void TShapesArea::Sprite_Add_EllipseExecute() {
  if (TSprite* sprite = CurrentSprite()) AddGeneratedFrame(*sprite, nfkEllipse);
}
void TShapesArea::Sprite_Add_LineExecute() {
  if (TSprite* sprite = CurrentSprite()) AddGeneratedFrame(*sprite, nfkLine);
}

namespace {

// Stops the document's playback and sets the add-in-progress flag for the
// time of an add; a failing add clears the flag again and resumes playback,
// so the editor keeps applying edits.
class TAddScope {
 public:
  TAddScope(TAnimationWindow& window, bool& addInProgress) : window_(window), flag_(addInProgress) {
    window_.StopPlayback();
    flag_ = true;
  }
  ~TAddScope() {
    if (!done_) flag_ = false;
    window_.ResumePlayback();
  }
  TAddScope(const TAddScope&) = delete;
  TAddScope& operator=(const TAddScope&) = delete;
  // The add succeeded: the flag stays until message 1003 clears it.
  void Done() { done_ = true; }

 private:
  TAnimationWindow& window_;
  bool& flag_;
  bool done_ = false;
};

}  // namespace

bool TShapesArea::AddSpriteWithGeneratedFrame(TNewFrameKind kind) {
  TAnimationWindow* window = ActiveAnimationWindow();
  if (window == nullptr || CurrentScene() == nullptr || CurrentScene() != window->Scene()) return false;
  FlushPendingFrameEdits();
  TAddScope scope(*window, addInProgress_);
  TAddedItem added;
  try {
    added = AddSpriteWithDefaultFrame(*CurrentScene(), kind);
  } catch (...) {
    RefreshCommandStates();
    throw;
  }
  RefreshCommandStates();
  ShowAddedSprite(*added.Sprite);
  scope.Done();
  PostMessage(Handle(), WM_ITEMADDED, 0, added.FrameIndex);
  RequestSceneRecompute();
  return true;
}

void TShapesArea::AddGeneratedFrame(TSprite& sprite, TNewFrameKind kind) {
  TAnimationWindow* window = ActiveAnimationWindow();
  if (window == nullptr || CurrentScene() == nullptr || sprite.Scene() != CurrentScene()) return;
  FlushPendingFrameEdits();
  TAddScope scope(*window, addInProgress_);
  const bool hadSteps = sprite.Motion().StepCount() > 0;
  TAddedItem added;
  try {
    added = AddDefaultFrame(sprite, kind);
  } catch (...) {
    RefreshCommandStates();
    throw;
  }
  RefreshCommandStates();
  ShowAddedFrame(sprite, added.FrameIndex, !hadSteps);
  scope.Done();
  PostMessage(Handle(), WM_ITEMADDED, 0, added.FrameIndex);
  RequestSceneRecompute();
}

// The new sprite is the last of the list, shown first: its node goes right
// after the background, or after the tree's last node when it is the only one.
void TShapesArea::ShowAddedSprite(TSprite& sprite) {
  QTreeWidget* tree = Tree().ShownTree();
  QTreeWidgetItem* root = tree->topLevelItem(0);
  QTreeWidgetItem* node = nullptr;
  if (root != nullptr && CurrentScene()->SpriteCount() == 1) {
    QTreeWidgetItem* last = root;
    while (last->childCount() > 0) last = last->child(last->childCount() - 1);
    if (last != root) node = Tree().AddSpriteNode(&sprite, last, true);
  } else if (QTreeWidgetItem* first =
                 Tree().TreeNodeOfSprite(&CurrentScene()->Sprite(CurrentScene()->SpriteCount() - 2))) {
    node = Tree().AddSpriteNode(&sprite, first, false);
  }
  Tree().SetCurrentSprite(&sprite);
  if (node == nullptr) {
    // A tree that does not show the scene as it was is made anew.
    Tree().RebuildAnimationTree();
    node = Tree().TreeNodeOfSprite(&sprite);
  }
  if (node != nullptr) tree->setCurrentItem(node);
}

// The frame's node is added under its sprite's node; a sprite that got its
// first motion step here gets its node made anew, with the motion's nodes.
void TShapesArea::ShowAddedFrame(TSprite& sprite, int frameIndex, bool stepAdded) {
  QTreeWidgetItem* spriteNode = stepAdded ? nullptr : Tree().TreeNodeOfSprite(&sprite);
  QTreeWidgetItem* node = nullptr;
  if (spriteNode != nullptr) {
    node = Tree().AddFrameNode(&sprite.Frame(frameIndex), spriteNode);
  } else {
    Tree().RebuildAnimationTree();
    Tree().SetCurrentSprite(&sprite);
  }
  if (node != nullptr)
    Tree().ShownTree()->setCurrentItem(node);
  else
    Tree().SelectFrameNode(frameIndex);
}

void TShapesArea::WMItemAdded(WPARAM wParam, LPARAM lParam) {
  addInProgress_ = false;
  TSprite* sprite = CurrentSprite();
  if (sprite != nullptr && CurrentScene() != nullptr) {
    // The new frame's own node, not the sprite's first frame.
    if (lParam >= 0 && lParam < sprite->FrameCount()) sprite->SetCurrentFrameIndex(static_cast<int>(lParam));
    Tree().SelectFrameNode(static_cast<int>(lParam));
  }
  if (wParam == 3) Text3DEditor().Timer_3D_ChangedTimer();
}

// ---- Finding the frame a page edits ----------------------------------------------------------------

TShapesArea::TPageFrame TShapesArea::PageFrameOf(const TFrame& frame) const {
  TAnimationWindow* document = ActiveAnimationWindow();
  return TPageFrame{document != nullptr ? document->Scene() : nullptr, frame.Id};
}

TFrame* TShapesArea::FrameOfPage(const TPageFrame& page) const {
  // The scene is only compared: a document that was closed is not found.
  TAnimationWindow* document = Layout().DocumentOfScene(page.Scene);
  if (document == nullptr || !page.FrameId) return nullptr;
  TAnimatedScene& scene = *document->Scene();
  for (int s = 0; s < scene.SpriteCount(); ++s) {
    TSprite& sprite = scene.Sprite(s);
    for (int f = 0; f < sprite.FrameCount(); ++f)
      if (sprite.Frame(f).Id == *page.FrameId) return &sprite.Frame(f);
  }
  return nullptr;
}

namespace {

// Sends the records of a scope to one document's undo log.
class TUndoLogScope {
 public:
  explicit TUndoLogScope(TUndoRecorder* log) : before_(CurrentUndo) { CurrentUndo = log; }
  ~TUndoLogScope() { CurrentUndo = before_; }
  TUndoLogScope(const TUndoLogScope&) = delete;
  TUndoLogScope& operator=(const TUndoLogScope&) = delete;

 private:
  TUndoRecorder* before_;
};

}  // namespace

void TShapesArea::ChangePageFrame(const TPageFrame& page, const std::function<void()>& change) {
  TAnimationWindow* document = Layout().DocumentOfScene(page.Scene);
  if (document == nullptr) return;
  {
    const TUndoLogScope log(document->Undo());
    change();
  }
  if (document == ActiveAnimationWindow())
    RequestSceneRecompute();
  else
    RecomputeCurrentStep(*document->Scene());
}

void TShapesArea::FlushShapeAndLineEdits() {
  if (timerRedrawShape_.Enabled()) TimerRedrawShapeTimer();
  if (timerRedrawLine_.Enabled()) TimerRedrawLineTimer();
}

void TShapesArea::FlushPendingFrameEdits() {
  FlushShapeAndLineEdits();
  // A pending 3D text edit goes to its own frame now too, so that an add
  // need not keep its tick from rendering the new frame.
  Text3DEditor().FlushText3DChange();
}

void TShapesArea::ClearEntryGuards() {
  addInProgress_ = false;
  loadingFramePage_ = false;
}

// ---- Colour buttons ---------------------------------------------------------------------------------

void TShapesArea::PickButtonColor(TBitmapButton* button, std::function<void()> changed) {
  if (button == nullptr) return;
  ColorPicker1->SetColor(button->ButtonColor());
  ColorPicker1->OnColorChange = [button, changed = std::move(changed)](QObject*, TColor color) {
    if (color == button->ButtonColor()) return;
    button->SetButtonColor(color);
    if (changed) changed();
  };
  ColorPicker1->Popup(button);
}

// ---- What the document windows ask of this area, through the main window -----------------------------

void TMainForm::RefreshShapePage() { Shapes().RefreshShapePage(); }
