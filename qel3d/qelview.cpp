#include "qel3d/qelview.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

bool QelOffScreenFailed = false;
bool QelTempContextFailed = false;
bool QelReleaseFailed = false;

namespace {

const std::vector<std::string> kCullFaceNames{"cfNone", "cfFront", "cfBack"};
const std::vector<std::string> kQualityNames{"quFastest", "quNicest", "quDontCare"};
const std::vector<std::string> kProjectionNames{"ptPerspective", "ptOrthographic"};
const std::vector<std::string> kPolygonModeNames{"pmPoint", "pmLine", "pmFill"};
const std::vector<std::string> kShadeModelNames{"smFlat", "smSmooth"};
const std::vector<std::string> kFogModeNames{"fmLinear", "fmExp", "fmExp2"};

GLenum QualityHint(TQelQuality quality) {
  switch (quality) {
    case quFastest: return GL_FASTEST;
    case quNicest: return GL_NICEST;
    default: return GL_DONT_CARE;
  }
}

GLenum FogMode(TQelFogMode mode) {
  switch (mode) {
    case fmLinear: return GL_LINEAR;
    case fmExp2: return GL_EXP2;
    default: return GL_EXP;
  }
}

GLenum PolygonModeOf(TQelPolygonMode mode) {
  switch (mode) {
    case pmPoint: return GL_POINT;
    case pmLine: return GL_LINE;
    default: return GL_FILL;
  }
}

void SetCapability(GLenum capability, bool on) {
  if (on) {
    glEnable(capability);
  } else {
    glDisable(capability);
  }
}

void GLColor(TColor color) {
  const auto c = GLColorOf(color);
  glColor3f(c[0], c[1], c[2]);
}

// Sets a flag for the lifetime of a scope and always clears it again.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};

template <typename Enum>
void WriteEnum(TWriter& writer, const char* name, Enum value, const std::vector<std::string>& names) {
  writer.WritePropName(name);
  writer.WriteIdent(names[static_cast<std::size_t>(value)]);
}

void WriteBool(TWriter& writer, const char* name, bool value) {
  writer.WritePropName(name);
  writer.WriteBoolean(value);
}

void WriteInt(TWriter& writer, const char* name, std::int64_t value) {
  writer.WritePropName(name);
  writer.WriteInteger(value);
}

TColor ReadColor(TReader& reader) { return static_cast<TColor>(reader.ReadInteger()); }

int ReadClampedInt(TReader& reader) {
  return static_cast<int>(std::clamp<std::int64_t>(reader.ReadInteger(), INT32_MIN, INT32_MAX));
}

}  // namespace

// ---- Axes ----------------------------------------------------------------------------------

template <typename T>
void TQelCoordinates::Set(T& field, T value) {
  if (field == value) return;
  field = value;
  Changed();
}

void TQelCoordinates::SetVisible(bool visible) { Set(visible_, visible); }
void TQelCoordinates::SetLength(float length) { Set(length_, length); }
void TQelCoordinates::SetColorX(TColor color) { Set(colorX_, color); }
void TQelCoordinates::SetColorY(TColor color) { Set(colorY_, color); }
void TQelCoordinates::SetColorZ(TColor color) { Set(colorZ_, color); }

void TQelCoordinates::Assign(const TPersistent& source) {
  const auto* axes = dynamic_cast<const TQelCoordinates*>(&source);
  if (axes == nullptr) AssignError(source);
  visible_ = axes->visible_;
  length_ = axes->length_;
  colorX_ = axes->colorX_;
  colorY_ = axes->colorY_;
  colorZ_ = axes->colorZ_;
  Changed();
}

void TQelCoordinates::WriteProperties(TWriter& writer) const {
  WriteBool(writer, "Visible", visible_);
  WriteSingleProperty(writer, "Length", length_);
  WriteInt(writer, "ColorX", static_cast<std::int32_t>(colorX_));
  WriteInt(writer, "ColorY", static_cast<std::int32_t>(colorY_));
  WriteInt(writer, "ColorZ", static_cast<std::int32_t>(colorZ_));
}

bool TQelCoordinates::ReadProperty(const std::string& name, TReader& reader) {
  if (SameTextAscii(name, "Visible")) SetVisible(reader.ReadBoolean());
  else if (SameTextAscii(name, "Length")) SetLength(static_cast<float>(reader.ReadFloat()));
  else if (SameTextAscii(name, "ColorX")) SetColorX(ReadColor(reader));
  else if (SameTextAscii(name, "ColorY")) SetColorY(ReadColor(reader));
  else if (SameTextAscii(name, "ColorZ")) SetColorZ(ReadColor(reader));
  else return false;
  return true;
}

void TQelCoordinates::DefineProperties(TFiler& filer) {
  DefineZeroSingle(filer, "Length", length_, [this](float v) { SetLength(v); });
}

// ---- Fog -----------------------------------------------------------------------------------

template <typename T>
void TQelFog::Set(T& field, T value) {
  if (field == value) return;
  field = value;
  Changed();
}

void TQelFog::SetEnabled(bool enabled) { Set(enabled_, enabled); }
void TQelFog::SetMode(TQelFogMode mode) { Set(mode_, mode); }
void TQelFog::SetDensity(float density) { Set(density_, density); }
void TQelFog::SetStartDepth(float depth) { Set(startDepth_, depth); }
void TQelFog::SetEndDepth(float depth) { Set(endDepth_, depth); }
void TQelFog::SetQuality(TQelQuality quality) { Set(quality_, quality); }

void TQelFog::Assign(const TPersistent& source) {
  const auto* fog = dynamic_cast<const TQelFog*>(&source);
  if (fog == nullptr) AssignError(source);
  enabled_ = fog->enabled_;
  mode_ = fog->mode_;
  density_ = fog->density_;
  startDepth_ = fog->startDepth_;
  endDepth_ = fog->endDepth_;
  color_.Assign(fog->color_);
  quality_ = fog->quality_;
  Changed();
}

void TQelFog::WriteProperties(TWriter& writer) const {
  WriteBool(writer, "Enabled", enabled_);
  WriteEnum(writer, "Mode", mode_, kFogModeNames);
  WriteSingleProperty(writer, "Density", density_);
  WriteSingleProperty(writer, "StartDepth", startDepth_);
  WriteSingleProperty(writer, "EndDepth", endDepth_);
  WriteNestedObject(writer, "Color", color_);
  WriteEnum(writer, "Quality", quality_, kQualityNames);
}

bool TQelFog::ReadProperty(const std::string& name, TReader& reader) {
  if (SameTextAscii(name, "Enabled")) SetEnabled(reader.ReadBoolean());
  else if (SameTextAscii(name, "Mode")) SetMode(static_cast<TQelFogMode>(ReadEnumIdent(reader, kFogModeNames)));
  else if (SameTextAscii(name, "Density")) SetDensity(static_cast<float>(reader.ReadFloat()));
  else if (SameTextAscii(name, "StartDepth")) SetStartDepth(static_cast<float>(reader.ReadFloat()));
  else if (SameTextAscii(name, "EndDepth")) SetEndDepth(static_cast<float>(reader.ReadFloat()));
  else if (SameTextAscii(name, "Quality")) SetQuality(static_cast<TQelQuality>(ReadEnumIdent(reader, kQualityNames)));
  else return false;
  return true;
}

TPersistent* TQelFog::FindSubObject(const std::string& name) {
  return SameTextAscii(name, "Color") ? &color_ : nullptr;
}

void TQelFog::DefineProperties(TFiler& filer) {
  DefineZeroSingle(filer, "Density", density_, [this](float v) { SetDensity(v); });
  DefineZeroSingle(filer, "StartDepth", startDepth_, [this](float v) { SetStartDepth(v); });
  DefineZeroSingle(filer, "EndDepth", endDepth_, [this](float v) { SetEndDepth(v); });
}

// ---- View ----------------------------------------------------------------------------------

TQelView::TQelView() {
  QelInitLibrary();
  auto changed = [this](TPersistent&) { PropertyChanged(); };
  colorAmbient_.OnChange = changed;
  coordinates_.OnChange = changed;
  fog_.OnChange = changed;
}

TQelView::~TQelView() {
  DestroyContext();
  if (camera_ != nullptr) {
    camera_->UnhookChange(this);
    camera_->RemoveFreeNotification(this);
  }
}

void TQelView::PropertyChanged() {
  if (HasContext()) RequestRedraw();
}

void TQelView::SetClientSize(int width, int height) {
  width = std::clamp(width, 0, kMaxClientSize);
  height = std::clamp(height, 0, kMaxClientSize);
  if (width == clientWidth_ && height == clientHeight_) return;
  clientWidth_ = width;
  clientHeight_ = height;
  PropertyChanged();
}

void TQelView::HandleCreated() { CreateContext(); }

void TQelView::HandleDestroyed() { DestroyContext(); }

void TQelView::Paint() {
  if (HasContext()) Redraw();
}

QImage TQelView::Image() const {
  if (context_ == nullptr || context_->Purpose() != TGLContextPurpose::Window) return QImage();
  return context_->Image();
}

void TQelView::SetCamera(TQelCamera* camera) {
  if (camera_ != nullptr && camera_ != camera) {
    camera_->UnhookChange(this);
    camera_->RemoveFreeNotification(this);
  }
  camera_ = camera;
  if (camera_ != nullptr) {
    camera_->HookChange(this, [this](TPersistent&) { RequestRedraw(); });
    camera_->AddFreeNotification(this);
  }
  RequestRedraw();
}

void TQelView::QelComponentDestroyed(TQelComponent& component) {
  if (&component != camera_) return;
  camera_ = nullptr;
  // Only a repaint request: a camera usually goes with the scene objects that
  // OnRender draws, so rendering at once could reach objects already gone.
  if (visible_ && OnInvalidate) OnInvalidate();
}

void TQelView::SetDoubleBuffer(bool value) {
  if (value == doubleBuffer_) return;
  doubleBuffer_ = value;
  // A new pixel format needs a new context.
  if (HasContext()) {
    DestroyContext();
    CreateContext();
  }
}

void TQelView::SetSmoothBitmap(bool value) {
  if (targetBitmap_ != nullptr) SetScalar(smoothBitmap_, value);
}

void TQelView::SetOutputBitmap(TQelOutputImage* image) {
  if (image == outputImage_) return;
  ChangeTarget(image != nullptr ? &image->PictureBitmap() : nullptr, image);
}

void TQelView::SetTargetBitmap(TBitmap* bitmap) {
  if (bitmap == targetBitmap_ && outputImage_ == nullptr) return;
  ChangeTarget(bitmap, nullptr);
}

void TQelView::ChangeTarget(TBitmap* bitmap, TQelOutputImage* image) {
  outputImage_ = image;
  if (QelOffScreenFailed) {
    // Window mode for good: the context stays and RenderToBitmap fills the target.
    targetBitmap_ = bitmap;
    return;
  }
  DestroyContext();
  targetBitmap_ = bitmap;
  CreateContext();
}

bool TQelView::InBitmapMode() const {
  return context_ != nullptr && context_->Purpose() == TGLContextPurpose::Bitmap;
}

bool TQelView::CreateContextOfKind(TGLContextPurpose purpose) {
  const bool bitmap = purpose == TGLContextPurpose::Bitmap;
  const int width = bitmap ? targetBitmap_->Width() : clientWidth_;
  const int height = bitmap ? targetBitmap_->Height() : clientHeight_;
  context_ = TGLContext::Create(purpose, width, height);
  return context_ != nullptr;
}

bool TQelView::CreateContext() {
  if (changingContext_) return false;
  TFlagScope changing(changingContext_);
  if (context_ != nullptr) return true;
  try {
    if (targetBitmap_ != nullptr && !QelOffScreenFailed) {
      // No buffer is that large; that says nothing about bitmap contexts in
      // general, so this target alone shows the background.
      if (!FitsARenderingBuffer(*targetBitmap_)) {
        FillWithBackground(*targetBitmap_);
        return false;
      }
      if (CreateContextOfKind(TGLContextPurpose::Bitmap)) return true;
      // Bitmap contexts cannot be made here: window mode from now on.
      QelOffScreenFailed = true;
    }
    if (!CreateContextOfKind(TGLContextPurpose::Window)) throw EQelException("wglCreateContext() failed.");
    return true;
  } catch (const Exception&) {
    context_.reset();
    return false;
  }
}

void TQelView::DestroyContext() {
  if (context_ == nullptr || changingContext_) return;
  TFlagScope changing(changingContext_);
  if (!context_->Release()) QelReleaseFailed = true;
  context_.reset();
}

void TQelView::SetActive(bool active) {
  if (QelOffScreenFailed && HasContext()) return;
  if (active == HasContext()) return;
  if (active) {
    CreateContext();
  } else {
    DestroyContext();
  }
}

bool TQelView::MakeCurrent(bool current) {
  if (!current) {
    TGLContext::MakeNoneCurrent();
    return true;
  }
  return context_ != nullptr && context_->MakeCurrent();
}

void TQelView::Redraw() {
  if (context_ == nullptr || redrawing_) return;
  // Whatever happens, the redraw ends unbound, painted and no longer redrawing.
  struct TRedrawScope {
    TQelView& view;
    explicit TRedrawScope(TQelView& v) : view(v) { view.redrawing_ = true; }
    ~TRedrawScope() {
      TGLContext::MakeNoneCurrent();
      view.painted_ = true;
      view.redrawing_ = false;
    }
  } scope(*this);

  // The buffer follows the frame it renders: the target bitmap or the client area.
  const bool sized = InBitmapMode() ? context_->SetSize(targetBitmap_->Width(), targetBitmap_->Height())
                                    : context_->SetSize(clientWidth_, clientHeight_);
  const bool rendered = sized && MakeCurrent(true);
  if (rendered) {
    if (camera_ != nullptr) SetupProjection(context_->Width(), context_->Height());
    RenderScene();
    // A window frame is shown as an image; a bitmap frame is copied below.
    if (!InBitmapMode()) context_->PresentFrame();
  }
  if (targetBitmap_ != nullptr) {
    if (QelOffScreenFailed || !InBitmapMode()) {
      RenderToBitmap(*targetBitmap_);
    } else if (!rendered) {
      // Never hand on a buffer nothing was rendered into.
      FillWithBackground(*targetBitmap_);
    } else {
      context_->CopyToBitmap(*targetBitmap_);
      if (OnBitmapRedraw) OnBitmapRedraw(*this);
    }
  }
}

void TQelView::RequestRedraw() {
  const bool windowMode = targetBitmap_ == nullptr || QelOffScreenFailed;
  if (windowMode) {
    if (visible_ && OnInvalidate) OnInvalidate();
  } else if (HasContext()) {
    Redraw();
  }
}

void TQelView::SetupProjection(int width, int height) {
  if (camera_ == nullptr) return;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // A frame without height would give an infinite aspect.
  const double aspect = static_cast<double>(width) / (height == 0 ? 1 : height);
  const double ortho = camera_->ViewOrtho();
  if (projectionType_ == ptPerspective) {
    gluPerspective(camera_->ViewAngle(), aspect, camera_->ViewNear(), camera_->ViewFar());
  } else {
    glOrtho(-aspect * ortho / 2, aspect * ortho / 2, -ortho / 2, ortho / 2, camera_->ViewNear(), camera_->ViewFar());
  }
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const TQelPosition& position = camera_->Position();
  glTranslatef(-position.X(), -position.Y(), -position.Z());
  glMatrixMode(GL_PROJECTION);
  const TQelRotation& rotation = camera_->Rotation();
  glRotatef(rotation.Z(), 0.0f, 0.0f, 1.0f);
  glRotatef(rotation.X(), 1.0f, 0.0f, 0.0f);
  glRotatef(rotation.Y(), 0.0f, 1.0f, 0.0f);
}

void TQelView::DrawAxes() {
  const float length = coordinates_.Length();
  auto lines = [&](float sign) {
    glBegin(GL_LINES);
    GLColor(coordinates_.ColorX());
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(sign * length, 0.0f, 0.0f);
    GLColor(coordinates_.ColorY());
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(0.0f, sign * length, 0.0f);
    GLColor(coordinates_.ColorZ());
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, sign * length);
    glEnd();
  };
  glPushMatrix();
  glLineWidth(1.0f);
  glDisable(GL_LINE_STIPPLE);
  lines(1.0f);
  glLineStipple(10, 0x5555);
  glEnable(GL_LINE_STIPPLE);
  lines(-1.0f);
  glDisable(GL_LINE_STIPPLE);
  glPopMatrix();
}

void TQelView::RenderScene() {
  try {
    const auto background = GLColorOf(backgroundColor_);
    glClearColor(background[0], background[1], background[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    if (coordinates_.Visible()) DrawAxes();

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    // The attributes are popped again even when the host's drawing raises.
    struct TPopAttrib {
      ~TPopAttrib() { glPopAttrib(); }
    } popAttrib;

    SetCapability(GL_CULL_FACE, cullFace_ != cfNone);
    if (cullFace_ != cfNone) glCullFace(cullFace_ == cfFront ? GL_FRONT : GL_BACK);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, QualityHint(perspectiveCorrection_));
    glPolygonMode(GL_FRONT_AND_BACK, PolygonModeOf(polygonMode_));
    glShadeModel(shadeModel_ == smFlat ? GL_FLAT : GL_SMOOTH);
    SetCapability(GL_BLEND, transparency_);
    if (transparency_) glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (GLenum smooth : {GL_POINT_SMOOTH, GL_LINE_SMOOTH, GL_POLYGON_SMOOTH}) SetCapability(smooth, antialiasing_);
    if (antialiasing_) {
      glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
      glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
      glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    }
    SetCapability(GL_DITHER, dithering_);

    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, colorAmbient_.ToGLColor().data());
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, lightTwoSide_ ? GL_TRUE : GL_FALSE);

    SetCapability(GL_FOG, fog_.Enabled());
    if (fog_.Enabled()) {
      glFogi(GL_FOG_MODE, static_cast<GLint>(FogMode(fog_.Mode())));
      glFogf(GL_FOG_DENSITY, fog_.Density());
      glFogf(GL_FOG_START, fog_.StartDepth());
      glFogf(GL_FOG_END, fog_.EndDepth());
      glFogfv(GL_FOG_COLOR, fog_.Color().ToGLColor().data());
      glHint(GL_FOG_HINT, QualityHint(fog_.Quality()));
    }
    SetCapability(GL_LIGHTING, lighting_);

    if (OnRender) OnRender(*this);
    glFlush();
  } catch (...) {
    // The frame is dropped; the program learns of it through the flag.
    QelReleaseFailed = true;
  }
}

bool TQelView::FitsARenderingBuffer(const TBitmap& bitmap) {
  return bitmap.Width() <= kMaxClientSize && bitmap.Height() <= kMaxClientSize;
}

void TQelView::FillWithBackground(TBitmap& bitmap) const {
  TCanvas& canvas = bitmap.Canvas();
  // The caller's canvas keeps its brush and clip.
  const TBrush brush = canvas.Brush();
  const std::optional<TRegion> clip = canvas.ClipRegion();
  canvas.SetClipRegion(std::nullopt);
  canvas.Brush().Color = ColorToRGB(backgroundColor_);
  canvas.Brush().Style = bsSolid;
  canvas.FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
  canvas.Brush() = brush;
  canvas.SetClipRegion(clip);
}

void TQelView::RenderToBitmap(TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  if (!FitsARenderingBuffer(bitmap)) {
    FillWithBackground(bitmap);
    return;
  }
  TFlagScope bitmapMode(renderingToBitmap_);
  TGLCurrentContextGuard keepCurrent;
  std::unique_ptr<TGLContext> temporary =
      TGLContext::Create(TGLContextPurpose::Temporary, bitmap.Width(), bitmap.Height());
  if (temporary == nullptr) {
    QelTempContextFailed = true;
    FillWithBackground(bitmap);
    return;
  }
  if (temporary->MakeCurrent()) {
    if (camera_ != nullptr) SetupProjection(bitmap.Width(), bitmap.Height());
    RenderScene();
    temporary->CopyToBitmap(bitmap);
  } else {
    FillWithBackground(bitmap);
  }
  if (!temporary->Release()) QelReleaseFailed = true;
}

// ---- Streams ---------------------------------------------------------------------------------

void TQelView::WriteProperties(TWriter& writer) const {
  WriteInt(writer, "Width", clientWidth_);
  WriteInt(writer, "Height", clientHeight_);
  WriteNestedObject(writer, "ColorAmbient", colorAmbient_);
  WriteBool(writer, "Antialiasing", antialiasing_);
  WriteInt(writer, "BackgroundColor", static_cast<std::int32_t>(backgroundColor_));
  WriteNestedObject(writer, "Coordinates", coordinates_);
  WriteEnum(writer, "CullFace", cullFace_, kCullFaceNames);
  WriteBool(writer, "Dithering", dithering_);
  WriteBool(writer, "DoubleBuffer", doubleBuffer_);
  WriteNestedObject(writer, "Fog", fog_);
  WriteBool(writer, "Lighting", lighting_);
  WriteBool(writer, "LightTwoSide", lightTwoSide_);
  WriteEnum(writer, "PerspectiveCorrection", perspectiveCorrection_, kQualityNames);
  WriteEnum(writer, "ProjectionType", projectionType_, kProjectionNames);
  WriteEnum(writer, "PolygonMode", polygonMode_, kPolygonModeNames);
  WriteEnum(writer, "ShadeModel", shadeModel_, kShadeModelNames);
  WriteBool(writer, "Transparency", transparency_);
  WriteInt(writer, "SelectWidth", selectWidth_);
  WriteInt(writer, "SelectHeight", selectHeight_);
  WriteBool(writer, "SmoothBitmap", smoothBitmap_);
}

bool TQelView::ReadProperty(const std::string& name, TReader& reader) {
  if (SameTextAscii(name, "Width")) SetClientSize(ReadClampedInt(reader), clientHeight_);
  else if (SameTextAscii(name, "Height")) SetClientSize(clientWidth_, ReadClampedInt(reader));
  else if (SameTextAscii(name, "Antialiasing")) SetAntialiasing(reader.ReadBoolean());
  else if (SameTextAscii(name, "BackgroundColor")) SetBackgroundColor(ReadColor(reader));
  else if (SameTextAscii(name, "CullFace")) SetCullFace(static_cast<TQelCullFace>(ReadEnumIdent(reader, kCullFaceNames)));
  else if (SameTextAscii(name, "Dithering")) SetDithering(reader.ReadBoolean());
  else if (SameTextAscii(name, "DoubleBuffer")) SetDoubleBuffer(reader.ReadBoolean());
  else if (SameTextAscii(name, "Lighting")) SetLighting(reader.ReadBoolean());
  else if (SameTextAscii(name, "LightTwoSide")) SetLightTwoSide(reader.ReadBoolean());
  else if (SameTextAscii(name, "PerspectiveCorrection"))
    SetPerspectiveCorrection(static_cast<TQelQuality>(ReadEnumIdent(reader, kQualityNames)));
  else if (SameTextAscii(name, "ProjectionType"))
    SetProjectionType(static_cast<TQelProjectionType>(ReadEnumIdent(reader, kProjectionNames)));
  else if (SameTextAscii(name, "PolygonMode"))
    SetPolygonMode(static_cast<TQelPolygonMode>(ReadEnumIdent(reader, kPolygonModeNames)));
  else if (SameTextAscii(name, "ShadeModel"))
    SetShadeModel(static_cast<TQelShadeModel>(ReadEnumIdent(reader, kShadeModelNames)));
  else if (SameTextAscii(name, "Transparency")) SetTransparency(reader.ReadBoolean());
  else if (SameTextAscii(name, "SelectWidth")) SetSelectWidth(ReadClampedInt(reader));
  else if (SameTextAscii(name, "SelectHeight")) SetSelectHeight(ReadClampedInt(reader));
  else if (SameTextAscii(name, "SmoothBitmap")) smoothBitmap_ = reader.ReadBoolean();  // no target while loading
  else return false;
  return true;
}

TPersistent* TQelView::FindSubObject(const std::string& name) {
  if (SameTextAscii(name, "ColorAmbient")) return &colorAmbient_;
  if (SameTextAscii(name, "Coordinates")) return &coordinates_;
  if (SameTextAscii(name, "Fog")) return &fog_;
  return nullptr;
}

void QelRegisterViewClasses() {
  RegisterClass("TQelView", [] { return std::make_unique<TQelView>(); });
}
