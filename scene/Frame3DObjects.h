// The 3D objects of a frame: its hidden view (or the program's shared output
// view), camera, three lights, material, texture and text object, and the
// refresh routine that draws them when the view renders.
#pragma once

#include "qel3d/qelcam.h"
#include "qel3d/qellight.h"
#include "qel3d/qelmat.h"
#include "qel3d/qeltex.h"
#include "qel3d/qeltext.h"
#include "qel3d/qelview.h"
#include "scene/Text3DFrame.h"

#include <array>
#include <cstddef>
#include <memory>

// The hidden view a frame renders its 3D text with. Redraws asked for while
// the frame sets up a sub-frame are held back, so that a sub-frame renders
// once and not once for every camera value that changes.
class TFrame3DView : public TQelView {
 public:
  // A rendering context takes several megabytes; at most this many frame
  // views keep theirs between sub-frames, the ones rendered last.
  static constexpr std::size_t kMaxLiveContexts = 8;

  explicit TFrame3DView(const TAnimatedScene* parentScene) : parentScene_(parentScene) {}
  ~TFrame3DView() override;

  // The scene the view is placed in (null: none). Only compared, never followed.
  const TAnimatedScene* ParentScene() const { return parentScene_; }

  void Redraw() override;
  // While held, Redraw does nothing.
  void HoldRedraws(bool hold) { holdRedraws_ = hold; }
  bool RedrawsHeld() const { return holdRedraws_; }
  // How many frames the view rendered (for tests and benchmarks).
  int RedrawCount() const { return redrawCount_; }
  // Counts the view as rendered last; the context of the view rendered
  // longest ago goes when more than kMaxLiveContexts are kept. Its glyphs
  // are built again when it renders next.
  void MarkUsed();
  // How many frame views keep a context now.
  static std::size_t LiveContexts();

 private:
  const TAnimatedScene* parentScene_;
  bool holdRedraws_ = false;
  int redrawCount_ = 0;
};

struct TFrame3DObjects {
  // A frame's own view and camera, or (ownView null) the shared output view.
  explicit TFrame3DObjects(const TAnimatedScene* parentScene, bool useSharedView);
  ~TFrame3DObjects();
  TFrame3DObjects(const TFrame3DObjects&) = delete;
  TFrame3DObjects& operator=(const TFrame3DObjects&) = delete;

  // The view that renders the frame: its own, or the shared output view as
  // it is now (null when none is set).
  TQelView* View() const;
  // The camera of that view (null without one).
  TQelCamera* Camera() const;
  bool UsesSharedView() const { return ownView == nullptr; }

  // Draws the lights, texture, material and text into the current context.
  void Refresh();

  // Declared so that the text goes first (its lists are deleted while the
  // view's context still lives) and the view before its camera.
  std::unique_ptr<TQelCamera> ownCamera;
  std::unique_ptr<TFrame3DView> ownView;
  std::array<TQelLight, 3> lights;
  TQelMaterial material;
  TQelTexture texture;
  TQelText text;
};
