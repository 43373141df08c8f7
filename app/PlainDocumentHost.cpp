#include "app/PlainDocumentHost.h"

#include "app/AnimationWindowU.h"
#include "app/core/SceneRecompute.h"
#include "platform/CodePages.h"
#include "scene/Sprite.h"

#include <QAction>

#include <algorithm>

TPlainDocumentHost::TPlainDocumentHost()
    : handle_([this](TMessage& message) {
        if (message.Msg == WM_RECOMPUTESCENE) WMRecomputeScene();
      }),
      undoCommand_(std::make_unique<QAction>("&Undo")) {
  undoCommand_->setObjectName("Edit_Undo");
  undoCommand_->setEnabled(false);
}

TPlainDocumentHost::~TPlainDocumentHost() = default;

TAnimationWindow* TPlainDocumentHost::ActiveAnimationWindow() const { return active_; }

void TPlainDocumentHost::SetActiveAnimationWindow(TAnimationWindow* window) {
  if (window == active_) return;
  if (active_ != nullptr && active_->Scene() != nullptr) active_->Scene()->Stop();
  active_ = window;
  currentSprite_ = nullptr;
  selectedFrame = -1;
  // The Undo command follows the log of the document now active.
  TWindowUndo* undo = window != nullptr ? window->Undo() : nullptr;
  CurrentUndo = undo;
  if (undo != nullptr && !undo->Empty()) {
    undoCommand_->setEnabled(true);
    undoCommand_->setText(AnsiToQString("&Undo \"" + undo->Caption() + "\""));
  } else {
    undoCommand_->setEnabled(false);
    undoCommand_->setText("&Undo");
  }
}

TSprite* TPlainDocumentHost::CurrentSprite() {
  TAnimatedScene* scene = active_ != nullptr ? active_->Scene() : nullptr;
  if (scene == nullptr || currentSprite_ == nullptr) return nullptr;
  // A sprite that left the scene (deleted, or replaced by an undo) is current no more.
  for (int i = 0; i < scene->SpriteCount(); ++i)
    if (&scene->Sprite(i) == currentSprite_) return currentSprite_;
  currentSprite_ = nullptr;
  return nullptr;
}

TFrame* TPlainDocumentHost::CurrentFrame() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || sprite->FrameCount() == 0) return nullptr;
  if (selectedFrame >= 0) return selectedFrame < sprite->FrameCount() ? &sprite->Frame(selectedFrame) : nullptr;
  return sprite->CurrentFrame();
}

void TPlainDocumentHost::SelectTreeNode(int spriteIndex, int) {
  TAnimatedScene* scene = active_ != nullptr ? active_->Scene() : nullptr;
  selectedFrame = -1;
  if (scene == nullptr || spriteIndex < 0 || scene->SpriteCount() == 0) {
    currentSprite_ = nullptr;
    return;
  }
  currentSprite_ = &scene->Sprite(std::min(spriteIndex, scene->SpriteCount() - 1));
}

void TPlainDocumentHost::RequestSceneRecompute() { PostMessage(Handle(), WM_RECOMPUTESCENE, 0, 0); }

void TPlainDocumentHost::WMRecomputeScene() {
  if (active_ == nullptr || active_->Scene() == nullptr) return;
  RecomputeCurrentStep(*active_->Scene());
  if (!playButtonDown) active_->UpdateSelection();
}

void TPlainDocumentHost::Movie_FirstStepExecute() {
  if (active_ == nullptr || active_->Scene() == nullptr) return;
  TAnimatedScene& scene = *active_->Scene();
  scene.GotoFrame(1);
  scene.BackgroundDrawn = 0;
  for (int i = 0; i < scene.SpriteCount(); ++i) scene.Sprite(i).Motion().PrepareSteps(&scene.Sprite(i));
  scene.NextFrame();
  scene.GotoFrame(1);
  active_->UpdateSelection();
}
