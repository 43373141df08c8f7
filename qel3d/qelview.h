// The 3D view: owns a rendering context and renders a scene into its own
// image (window mode, painted by a widget) or into a target bitmap (bitmap
// mode). It sets up the projection from a camera, applies the view-wide GL
// state and lets its host draw the scene objects through OnRender.
//
// The view is not a widget: a widget owns one, passes its size on
// (SetClientSize), tells it when its window exists (HandleCreated,
// HandleDestroyed), repaints when OnInvalidate asks, and paints Image()
// after calling Paint().
#pragma once

#include "platform/GLContext.h"
#include "platform/Graphics.h"
#include "qel3d/qelcam.h"
#include "qel3d/qelclass.h"

#include <QImage>

#include <functional>
#include <memory>

enum TQelCullFace { cfNone, cfFront, cfBack };
enum TQelQuality { quFastest, quNicest, quDontCare };
enum TQelProjectionType { ptPerspective, ptOrthographic };
enum TQelPolygonMode { pmPoint, pmLine, pmFill };
enum TQelShadeModel { smFlat, smSmooth };
enum TQelFogMode { fmLinear, fmExp, fmExp2 };

// Library-wide failure flags. Once set they stay set for the run (tests reset them).
// Bitmap contexts cannot be created: views render in window mode and fill
// their target bitmaps through RenderToBitmap.
extern bool QelOffScreenFailed;
// A temporary bitmap context could not be created.
extern bool QelTempContextFailed;
// Rendering or releasing a context failed.
extern bool QelReleaseFailed;

// The coordinate axes a view can draw.
class TQelCoordinates : public TQelProperty {
 public:
  std::string ClassName() const override { return "TQelCoordinates"; }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  float Length() const { return length_; }
  void SetLength(float length);
  TColor ColorX() const { return colorX_; }
  void SetColorX(TColor color);
  TColor ColorY() const { return colorY_; }
  void SetColorY(TColor color);
  TColor ColorZ() const { return colorZ_; }
  void SetColorZ(TColor color);

  // Copies every field (not the change callback) and notifies.
  void Assign(const TPersistent& source) override;
  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  void DefineProperties(TFiler& filer) override;

 private:
  template <typename T>
  void Set(T& field, T value);

  bool visible_ = false;
  float length_ = 1.0f;
  TColor colorX_ = 0x0000FF;
  TColor colorY_ = 0x008000;
  TColor colorZ_ = 0xFF0000;
};

class TQelFog : public TQelProperty {
 public:
  std::string ClassName() const override { return "TQelFog"; }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  TQelFogMode Mode() const { return mode_; }
  void SetMode(TQelFogMode mode);
  float Density() const { return density_; }
  void SetDensity(float density);
  float StartDepth() const { return startDepth_; }
  void SetStartDepth(float depth);
  float EndDepth() const { return endDepth_; }
  void SetEndDepth(float depth);
  // The fog's colour has no change callback of its own.
  TQelColor& Color() { return color_; }
  const TQelColor& Color() const { return color_; }
  void SetColor(const TQelColor& color) { color_.Assign(color); }
  TQelQuality Quality() const { return quality_; }
  void SetQuality(TQelQuality quality);

  // Copies every field and the colour (not the change callback) and notifies.
  void Assign(const TPersistent& source) override;
  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  TPersistent* FindSubObject(const std::string& name) override;
  void DefineProperties(TFiler& filer) override;

 private:
  template <typename T>
  void Set(T& field, T value);

  bool enabled_ = false;
  TQelFogMode mode_ = fmExp;
  float density_ = 1.0f;
  float startDepth_ = 0.0f;
  float endDepth_ = 1.0f;
  TQelColor color_{clWhite};
  TQelQuality quality_ = quDontCare;
};

// The picture of an image control that a view can render into.
class TQelOutputImage {
 public:
  virtual TBitmap& PictureBitmap() = 0;

 protected:
  ~TQelOutputImage() = default;
};

class TQelView : public TQelComponent, private TQelFreeNotification {
 public:
  TQelView();
  ~TQelView() override;
  std::string ClassName() const override { return "TQelView"; }

  // ---- Geometry and the widget's hooks ----
  // Sides are kept within 0 .. this, the largest viewport GL renders.
  static constexpr int kMaxClientSize = 16384;
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  void SetClientSize(int width, int height);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  // Called when the window should be repainted (window mode).
  std::function<void()> OnInvalidate;
  // The window exists / is going away: the context is created / destroyed.
  void HandleCreated();
  void HandleDestroyed();
  // The widget's paint: renders a frame when a context exists.
  void Paint();
  // The last window-mode frame (empty without a window context).
  QImage Image() const;
  bool Painted() const { return painted_; }

  // ---- Properties ----
  TQelColor& ColorAmbient() { return colorAmbient_; }
  const TQelColor& ColorAmbient() const { return colorAmbient_; }
  void SetColorAmbient(const TQelColor& value) { colorAmbient_.Assign(value); }
  bool Antialiasing() const { return antialiasing_; }
  void SetAntialiasing(bool value) { SetScalar(antialiasing_, value); }
  TColor BackgroundColor() const { return backgroundColor_; }
  void SetBackgroundColor(TColor value) { SetScalar(backgroundColor_, value); }
  TQelCoordinates& Coordinates() { return coordinates_; }
  const TQelCoordinates& Coordinates() const { return coordinates_; }
  void SetCoordinates(const TQelCoordinates& value) { coordinates_.Assign(value); }
  TQelCamera* Camera() const { return camera_; }
  // The camera's change event then redraws this view (the last view given a
  // camera receives its changes); the view lets go of it when either goes.
  void SetCamera(TQelCamera* camera);
  TQelCullFace CullFace() const { return cullFace_; }
  void SetCullFace(TQelCullFace value) { SetScalar(cullFace_, value); }
  bool Dithering() const { return dithering_; }
  void SetDithering(bool value) { SetScalar(dithering_, value); }
  bool DoubleBuffer() const { return doubleBuffer_; }
  // Makes the context again.
  void SetDoubleBuffer(bool value);
  TQelFog& Fog() { return fog_; }
  const TQelFog& Fog() const { return fog_; }
  void SetFog(const TQelFog& value) { fog_.Assign(value); }
  bool Lighting() const { return lighting_; }
  void SetLighting(bool value) { SetScalar(lighting_, value); }
  bool LightTwoSide() const { return lightTwoSide_; }
  void SetLightTwoSide(bool value) { SetScalar(lightTwoSide_, value); }
  TQelQuality PerspectiveCorrection() const { return perspectiveCorrection_; }
  void SetPerspectiveCorrection(TQelQuality value) { SetScalar(perspectiveCorrection_, value); }
  TQelProjectionType ProjectionType() const { return projectionType_; }
  void SetProjectionType(TQelProjectionType value) { SetScalar(projectionType_, value); }
  TQelPolygonMode PolygonMode() const { return polygonMode_; }
  void SetPolygonMode(TQelPolygonMode value) { SetScalar(polygonMode_, value); }
  TQelShadeModel ShadeModel() const { return shadeModel_; }
  void SetShadeModel(TQelShadeModel value) { SetScalar(shadeModel_, value); }
  bool Transparency() const { return transparency_; }
  void SetTransparency(bool value) { SetScalar(transparency_, value); }
  int SelectWidth() const { return selectWidth_; }
  void SetSelectWidth(int value) { SetScalar(selectWidth_, value); }
  int SelectHeight() const { return selectHeight_; }
  void SetSelectHeight(int value) { SetScalar(selectHeight_, value); }
  TQelOutputImage* OutputBitmap() const { return outputImage_; }
  // Renders into the image's picture bitmap.
  void SetOutputBitmap(TQelOutputImage* image);
  bool SmoothBitmap() const { return smoothBitmap_; }
  // Taken only while there is a target bitmap.
  void SetSmoothBitmap(bool value);
  // Draws the scene objects.
  TQelNotifyEvent OnRender;
  // A frame was copied into the target bitmap.
  TQelNotifyEvent OnBitmapRedraw;

  // ---- Context and rendering ----
  // Makes the rendering context: bitmap mode for a target bitmap, window
  // mode otherwise or when bitmap contexts cannot be made.
  bool CreateContext();
  void DestroyContext();
  void SetActive(bool active);
  bool HasContext() const { return context_ != nullptr; }
  // Whether the context renders into the target bitmap.
  bool InBitmapMode() const;
  bool MakeCurrent(bool current);
  // Renders one frame now (into the image or the target bitmap).
  virtual void Redraw();
  // The render pass: clears, sets the view-wide state and fires OnRender.
  virtual void RenderScene();
  // Window mode: asks the widget to repaint; bitmap mode: redraws at once.
  void RequestRedraw();
  // Renders one frame into bitmap through a temporary context; when none can
  // be made the bitmap is filled with the background colour.
  void RenderToBitmap(TBitmap& bitmap);
  // Whether a RenderToBitmap pass is running (for OnRender handlers).
  bool RenderingToBitmap() const { return renderingToBitmap_; }
  TBitmap* TargetBitmap() const { return targetBitmap_; }
  // Makes a plain bitmap the target (nullptr: window mode).
  void SetTargetBitmap(TBitmap* bitmap);
  // Viewport, projection and camera transform for a width x height frame.
  void SetupProjection(int width, int height);

  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  TPersistent* FindSubObject(const std::string& name) override;

 private:
  template <typename T>
  void SetScalar(T& field, T value) {
    if (field == value) return;
    field = value;
    PropertyChanged();
  }
  void PropertyChanged();
  void ChangeTarget(TBitmap* bitmap, TQelOutputImage* image);
  bool CreateContextOfKind(TGLContextPurpose purpose);
  void DrawAxes();
  static bool FitsARenderingBuffer(const TBitmap& bitmap);
  void FillWithBackground(TBitmap& bitmap) const;
  void QelComponentDestroyed(TQelComponent& component) override;

  int clientWidth_ = 400;
  int clientHeight_ = 250;
  bool visible_ = true;

  TQelColor colorAmbient_{0x333333};
  bool antialiasing_ = false;
  TColor backgroundColor_ = clBlack;
  TQelCoordinates coordinates_;
  TQelCamera* camera_ = nullptr;  // not owned
  TQelCullFace cullFace_ = cfNone;
  bool dithering_ = true;
  bool doubleBuffer_ = true;
  TQelFog fog_;
  bool lighting_ = false;
  bool lightTwoSide_ = false;
  TQelQuality perspectiveCorrection_ = quDontCare;
  TQelProjectionType projectionType_ = ptPerspective;
  TQelPolygonMode polygonMode_ = pmFill;
  TQelShadeModel shadeModel_ = smSmooth;
  bool transparency_ = false;
  int selectWidth_ = 5;
  int selectHeight_ = 5;
  TQelOutputImage* outputImage_ = nullptr;  // not owned
  bool smoothBitmap_ = false;

  std::unique_ptr<TGLContext> context_;
  TBitmap* targetBitmap_ = nullptr;  // not owned
  bool renderingToBitmap_ = false;
  bool changingContext_ = false;
  bool redrawing_ = false;
  bool painted_ = false;
};

void QelRegisterViewClasses();
