// The 3D objects of frames: each frame renders its 3D text with a hidden view
// of its own in bitmap mode, or, where bitmap contexts cannot be made, through
// the program's shared output view.
#include "scene/Frame3DObjects.h"

#include "scene/Frame.h"

#include <algorithm>
#include <vector>

namespace {

TQelView* sharedOutputView = nullptr;

// The frame views that keep a context, the one rendered last at the back.
std::vector<TFrame3DView*>& LiveViews() {
  static std::vector<TFrame3DView*> views;
  return views;
}

void ForgetLiveView(TFrame3DView* view) {
  std::vector<TFrame3DView*>& live = LiveViews();
  live.erase(std::remove(live.begin(), live.end(), view), live.end());
}

// What the text object holds differs from the start state in text or font:
// its glyphs are built again.
bool TextNeedsRebuild(const TQelText& text, const T3DTextState& start) {
  const TFont& font = text.Font();
  return text.Text() != start.Text || font.Name != start.FontName || font.Style != StateFontStyle(start) ||
         font.Charset != StateFontCharset(start);
}

// Binds a view to a frame's display image for one sub-frame and undoes what
// must not outlast it, also when rendering raises: redraws held while the
// objects are set, the shared view's (or, without bitmap contexts, any
// view's) target and render event, the display image's handle.
class TSubFrameBinding {
 public:
  TSubFrameBinding(TFrame& frame, TFrame3DObjects& objects, TQelView& view)
      : frame_(frame), objects_(objects), view_(view) {
    if (objects_.ownView != nullptr) objects_.ownView->HoldRedraws(true);
    view_.OnRender = [&objects](TPersistent&) { objects.Refresh(); };
    view_.SetTargetBitmap(&frame_.DisplayImage);
    if (!view_.HasContext()) view_.SetActive(true);
  }
  ~TSubFrameBinding() {
    ReleaseRedraws();
    if (objects_.UsesSharedView() || QelOffScreenFailed) {
      view_.SetTargetBitmap(nullptr);
      view_.OnRender = nullptr;
    }
    if (objects_.ownView != nullptr) objects_.ownView->MarkUsed();
    ReleaseFrameImage(frame_.DisplayImage);
  }
  TSubFrameBinding(const TSubFrameBinding&) = delete;
  TSubFrameBinding& operator=(const TSubFrameBinding&) = delete;

  void ReleaseRedraws() {
    if (objects_.ownView != nullptr) objects_.ownView->HoldRedraws(false);
  }

 private:
  TFrame& frame_;
  TFrame3DObjects& objects_;
  TQelView& view_;
};

}  // namespace

// ---- The frame's view ----------------------------------------------------------------------------

TFrame3DView::~TFrame3DView() { ForgetLiveView(this); }

void TFrame3DView::Redraw() {
  if (holdRedraws_) return;
  if (HasContext()) ++redrawCount_;
  TQelView::Redraw();
}

void TFrame3DView::MarkUsed() {
  ForgetLiveView(this);
  if (!HasContext()) return;
  std::vector<TFrame3DView*>& live = LiveViews();
  live.push_back(this);
  while (live.size() > kMaxLiveContexts) {
    TFrame3DView* oldest = live.front();
    live.erase(live.begin());
    // Its display lists go with the context; its text notices and builds them again.
    oldest->DestroyContext();
  }
}

std::size_t TFrame3DView::LiveContexts() { return LiveViews().size(); }

// ---- The objects ------------------------------------------------------------------------------------

TFrame3DObjects::TFrame3DObjects(const TAnimatedScene* parentScene, bool useSharedView) {
  if (!useSharedView) {
    ownCamera = std::make_unique<TQelCamera>();
    ownCamera->SetViewFar(1000.0f);
    ownCamera->SetViewNear(0.01f);
    ownCamera->SetViewOrtho(20.0f);
    ownView = std::make_unique<TFrame3DView>(parentScene);
    TFrame3DView& view = *ownView;
    view.SetClientSize(1, 1);
    view.SetActive(false);
    view.SetVisible(false);
    view.OnRender = [this](TPersistent&) { Refresh(); };
    view.SetDoubleBuffer(false);
    view.ColorAmbient().SetAlpha(1.0f);
    view.ColorAmbient().SetColor(clBlack);
    view.SetBackgroundColor(0xFFFFFF);
    view.Coordinates().SetVisible(false);
    view.SetDithering(false);
    view.Fog().SetEnabled(false);
    view.SetLighting(true);
    view.SetLightTwoSide(true);
    view.SetCamera(ownCamera.get());
  }
  text.SetTransform(true);
  text.SetTextured(true);
  text.SetQuality(0.0f);
  text.SetCacheLists(!QelOffScreenFailed);
  for (std::size_t i = 0; i < lights.size(); ++i) {
    TQelLight& light = lights[i];
    light.SetTransform(true);
    light.ColorAmbient().SetColor(clBlack);
    light.ColorDiffuse().SetColor(clWhite);
    light.ColorSpecular().SetColor(clWhite);
    light.SetEnabled(i == 0);
    light.SetID(static_cast<TQelLightID>(i));
  }
  material.SetFace(mfFrontBack);
  material.ColorAmbient().SetColor(0x333333);
  material.ColorDiffuse().SetColor(0xCCCCCC);
  material.ColorSpecular().SetColor(0xFFFFFF);
  material.ColorEmission().SetColor(clBlack);
  material.SetShininess(1);
  texture.SetTransform(true);
}

TFrame3DObjects::~TFrame3DObjects() = default;

TQelView* TFrame3DObjects::View() const {
  if (ownView != nullptr) return ownView.get();
  return sharedOutputView;
}

TQelCamera* TFrame3DObjects::Camera() const {
  if (ownView != nullptr) return ownCamera.get();
  return sharedOutputView != nullptr ? sharedOutputView->Camera() : nullptr;
}

void TFrame3DObjects::Refresh() {
  for (TQelLight& light : lights) light.Draw();
  texture.Draw();
  material.Draw();
  text.Draw();
  if (!QelOffScreenFailed) text.SetCacheLists(true);
}

// ---- The seam the frame renders through ---------------------------------------------------------

void TFrame3DObjectsDeleter::operator()(TFrame3DObjects* objects) const { delete objects; }

TFrame3DObjectsPtr CreateFrame3DObjects(TFrame& frame, TAnimatedScene* scene) {
  (void)frame;
  const bool shared = QelOffScreenFailed;
  // Without bitmap contexts frames render through the shared view; without
  // one they cannot render 3D text at all.
  if (shared && sharedOutputView == nullptr) return nullptr;
  try {
    return TFrame3DObjectsPtr(new TFrame3DObjects(scene, shared));
  } catch (const std::exception&) {
    return nullptr;
  }
}

bool RenderFrame3DSubFrame(TFrame& frame, TFrame3DObjects& objects, double t) {
  TQelView* view = objects.View();
  TQelCamera* camera = objects.Camera();
  if (view == nullptr || camera == nullptr) return false;
  TSubFrameBinding binding(frame, objects, *view);
  const T3DTextState& start = frame.StartState;
  const bool rebuild = TextNeedsRebuild(objects.text, start);
  TFrame::Render3D(start, frame.EndState, t, objects.text, *camera, objects.lights[0], objects.lights[1],
                   objects.lights[2], objects.material, objects.texture);
  view->SetBackgroundColor(ColorToRGB(StateColor(start.BackgroundColor)));
  if (rebuild || QelOffScreenFailed) objects.text.ClearLists();
  binding.ReleaseRedraws();
  view->Redraw();
  return true;
}

void RebuildFrame3DText(TFrame&, TFrame3DObjects& objects) { objects.text.ClearLists(); }

bool Frame3DRenderingAvailable() { return !QelTempContextFailed; }

void SetShared3DOutputView(TQelView* view) { sharedOutputView = view; }

TQelView* Shared3DOutputView() { return sharedOutputView; }
