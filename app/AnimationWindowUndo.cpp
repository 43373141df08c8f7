// The document's undo log: the scene model's log with the Undo command and
// the document's modified mark following it.
#include "app/AnimationWindowU.h"

#include "platform/CodePages.h"
#include "platform/UiServices.h"
#include "platform/qtui/QtHints.h"
#include "scene/Sprite.h"

#include <QAction>

#include <cstring>
#include <exception>

namespace {

std::string UndoText(const std::string& caption) { return "Undo \"" + caption + "\""; }

}  // namespace

TWindowUndo::TWindowUndo(TAnimationWindow& window)
    : TUndo([&window] { return window.Scene(); }), window_(window) {}

bool TWindowUndo::ServesActiveDocument() const { return window_.Host().ActiveAnimationWindow() == &window_; }

void TWindowUndo::SetUndoCommand(bool enabled, const std::string& caption, const std::string& hint) {
  if (!ServesActiveDocument()) return;
  QAction* command = window_.Host().Edit_Undo();
  if (command == nullptr) return;
  command->setEnabled(enabled);
  ApplyHint(*command, hint);
  if (!caption.empty()) command->setText(AnsiToQString(caption));
}

void TWindowUndo::AddRecord(std::int32_t recordKind, const std::string& caption, bool replace, std::int32_t index,
                            std::int32_t objectId, std::int32_t objectKind, const TSnapshotWriter& writer) {
  if (RecordingAllowed == 0) return;
  const bool hadRecords = !Empty();
  TUndo::AddRecord(recordKind, caption, replace, index, objectId, objectKind, writer);
  if (Enabled() != 0) {
    // A log that outgrew its memory share lost the records before this one.
    if (hadRecords && LastRecordPosition() == 0) reachesSavedState_ = false;
    SetUndoCommand(true, UndoText(caption), UndoText(caption));
  } else {
    // An edit that no record can take back: undoing all never gives the saved state.
    reachesSavedState_ = false;
  }
  window_.SetModified(true);
}

void TWindowUndo::Undo() {
  if (Empty()) return;
  TDocumentHost& host = window_.Host();
  std::int32_t undoneKind = 0;
  std::memcpy(&undoneKind, Log().Memory() + LastRecordPosition() + kRecordKindAt, sizeof undoneKind);
  std::exception_ptr error;
  {
    const TBusyCursor busy;
    try {
      TUndo::Undo();
      if (!Empty()) {
        SetUndoCommand(true, "&" + UndoText(Caption()), UndoText(Caption()));
      } else {
        SetUndoCommand(false, "", "");
        if (reachesSavedState_) window_.SetModified(false);
      }
      window_.StopPlayback();
      window_.FollowSceneSize();
      // The restored objects replace the sprite the main window pointed at.
      if (undoneKind == urkSpriteList) host.DetachCurrentSprite();
    } catch (...) {
      error = std::current_exception();
    }
  }
  host.RefreshCommandStates();
  int current = -1;
  if (TSprite* sprite = host.CurrentSprite(); sprite != nullptr && window_.Scene() != nullptr) {
    for (int i = 0; i < window_.Scene()->SpriteCount(); ++i)
      if (&window_.Scene()->Sprite(i) == sprite) current = i;
  }
  host.RebuildAnimationTree();
  host.SelectTreeNode(current, 2);
  host.RequestSceneRecompute();
  window_.ResumePlayback();
  if (error) std::rethrow_exception(error);
}

void TWindowUndo::Clear() {
  TUndo::Clear();
  // The caption keeps its last text.
  SetUndoCommand(false, "", "");
  if (discardingHistory_) {
    reachesSavedState_ = !window_.Modified();
    return;
  }
  reachesSavedState_ = true;
  window_.SetModified(false);
}

void TWindowUndo::SetEnabled(std::uint8_t value) {
  if (value == Enabled()) return;
  discardingHistory_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{discardingHistory_};
  TUndo::SetEnabled(value);
}
