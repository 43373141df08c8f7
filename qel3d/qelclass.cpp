#include "qel3d/qelclass.h"

#include "qel3d/qelcam.h"
#include "qel3d/qelkey.h"
#include "qel3d/qellight.h"
#include "qel3d/qelmat.h"
#include "qel3d/qelshape.h"
#include "qel3d/qeltex.h"
#include "qel3d/qeltext.h"
#include "qel3d/qelview.h"
#include "qel3d/qelwrite.h"

#include <GL/gl.h>

#include <algorithm>
#include <fenv.h>

namespace {

// Pops what a draw pushed even when rendering raises.
class TMatrixScope {
 public:
  TMatrixScope() { glPushMatrix(); }
  ~TMatrixScope() { glPopMatrix(); }
  TMatrixScope(const TMatrixScope&) = delete;
  TMatrixScope& operator=(const TMatrixScope&) = delete;
};

class TAttribScope {
 public:
  TAttribScope() { glPushAttrib(GL_ALL_ATTRIB_BITS); }
  ~TAttribScope() { glPopAttrib(); }
  TAttribScope(const TAttribScope&) = delete;
  TAttribScope& operator=(const TAttribScope&) = delete;
};

}  // namespace

// ---- Value objects --------------------------------------------------------------------------

void TQelProperty::Changed() {
  if (OnChange) OnChange(*this);
}

void TQelVector::SetComponent(float& component, float value) {
  if (value == component || !Accepts(value)) return;
  component = value;
  Changed();
}

void TQelVector::SetXYZ(float x, float y, float z) {
  SetX(x);
  SetY(y);
  SetZ(z);
}

void TQelVector::Assign(const TPersistent& source) {
  const auto* vector = dynamic_cast<const TQelVector*>(&source);
  if (vector == nullptr) return;
  x_ = vector->x_;
  y_ = vector->y_;
  z_ = vector->z_;
  Changed();
}

void TQelVector::WriteProperties(TWriter& writer) const {
  WriteSingleProperty(writer, "X", x_);
  WriteSingleProperty(writer, "Y", y_);
  WriteSingleProperty(writer, "Z", z_);
}

bool TQelVector::ReadProperty(const std::string& name, TReader& reader) {
  if (SameTextAscii(name, "X")) SetX(static_cast<float>(reader.ReadFloat()));
  else if (SameTextAscii(name, "Y")) SetY(static_cast<float>(reader.ReadFloat()));
  else if (SameTextAscii(name, "Z")) SetZ(static_cast<float>(reader.ReadFloat()));
  else return false;
  return true;
}

void TQelVector::DefineProperties(TFiler& filer) {
  DefineZeroSingle(filer, "X", x_, [this](float v) { SetX(v); });
  DefineZeroSingle(filer, "Y", y_, [this](float v) { SetY(v); });
  DefineZeroSingle(filer, "Z", z_, [this](float v) { SetZ(v); });
}

void TQelColor::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TQelColor::SetAlpha(float alpha) {
  if (!(alpha >= 0.0f && alpha <= 1.0f) || alpha == alpha_) return;
  alpha_ = alpha;
  Changed();
}

std::array<float, 4> GLColorOf(TColor color, float alpha) {
  const TColor rgb = ColorToRGB(color);
  return {GetRValue(rgb) / 255.0f, GetGValue(rgb) / 255.0f, GetBValue(rgb) / 255.0f, alpha};
}

std::array<float, 4> TQelColor::ToGLColor() const { return GLColorOf(color_, alpha_); }

void TQelColor::Assign(const TPersistent& source) {
  const auto* color = dynamic_cast<const TQelColor*>(&source);
  if (color == nullptr) AssignError(source);
  color_ = color->color_;
  alpha_ = color->alpha_;
  Changed();
}

void TQelColor::WriteProperties(TWriter& writer) const {
  if (color_ != 0) {
    writer.WritePropName("Color");
    writer.WriteInteger(static_cast<std::int32_t>(color_));
  }
  WriteSingleProperty(writer, "Alpha", alpha_);
}

bool TQelColor::ReadProperty(const std::string& name, TReader& reader) {
  if (SameTextAscii(name, "Color")) SetColor(static_cast<TColor>(reader.ReadInteger()));
  else if (SameTextAscii(name, "Alpha")) SetAlpha(static_cast<float>(reader.ReadFloat()));
  else return false;
  return true;
}

void TQelColor::DefineProperties(TFiler& filer) {
  // The published Color reads this back; the definition only writes the zero.
  filer.DefineProperty("Color", nullptr, [](TWriter& writer) { writer.WriteInteger(0); }, color_ == 0);
  // An alpha of 0 would otherwise come back as the default 1.
  DefineZeroSingle(filer, "Alpha", alpha_, [this](float v) { SetAlpha(v); });
}

// ---- Components ----------------------------------------------------------------------------

TQelComponent::~TQelComponent() {
  // Listeners may remove themselves while they are told.
  const std::vector<TQelFreeNotification*> listeners = freeListeners_;
  for (TQelFreeNotification* listener : listeners)
    if (std::find(freeListeners_.begin(), freeListeners_.end(), listener) != freeListeners_.end())
      listener->QelComponentDestroyed(*this);
}

void TQelComponent::DoChange() {
  if (OnChange) OnChange(*this);
}

void TQelComponent::HookChange(const void* owner, TQelNotifyEvent handler) {
  OnChange = std::move(handler);
  changeHookOwner_ = owner;
}

void TQelComponent::UnhookChange(const void* owner) {
  if (owner == nullptr || owner != changeHookOwner_) return;
  OnChange = nullptr;
  changeHookOwner_ = nullptr;
}

void TQelComponent::Assign(const TPersistent& source) {
  if (dynamic_cast<const TQelComponent*>(&source) == nullptr) AssignError(source);
  DoChange();
}

void TQelComponent::AddFreeNotification(TQelFreeNotification* listener) {
  if (listener != nullptr && std::find(freeListeners_.begin(), freeListeners_.end(), listener) == freeListeners_.end())
    freeListeners_.push_back(listener);
}

void TQelComponent::RemoveFreeNotification(TQelFreeNotification* listener) {
  freeListeners_.erase(std::remove(freeListeners_.begin(), freeListeners_.end(), listener), freeListeners_.end());
}

// ---- Renderable objects ----------------------------------------------------------------------

TQelRender::TQelRender() {
  auto changed = [this](TPersistent&) { Changed(); };
  translation_.OnChange = changed;
  rotation_.OnChange = changed;
  scale_.OnChange = changed;
}

void TQelRender::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  DoChange();
}

void TQelRender::SetTransform(bool transform) {
  if (transform == transform_) return;
  transform_ = transform;
  DoChange();
}

void TQelRender::Assign(const TPersistent& source) {
  if (const auto* render = dynamic_cast<const TQelRender*>(&source)) {
    enabled_ = render->enabled_;
    translation_.Assign(render->translation_);
    rotation_.Assign(render->rotation_);
    scale_.Assign(render->scale_);
    transform_ = render->transform_;
  }
  TQelComponent::Assign(source);
}

void TQelRender::Render() {
  if (transform_) DoTransform();
}

void TQelRender::DoTransform() {
  if (OnTransform) {
    OnTransform(*this);
    return;
  }
  ApplyRotation();
  ApplyScale();
  ApplyTranslation();
}

void TQelRender::ApplyRotation() {
  glRotatef(rotation_.X(), 1.0f, 0.0f, 0.0f);
  glRotatef(rotation_.Y(), 0.0f, 1.0f, 0.0f);
  glRotatef(rotation_.Z(), 0.0f, 0.0f, 1.0f);
}

void TQelRender::ApplyScale() { glScalef(scale_.X(), scale_.Y(), scale_.Z()); }

void TQelRender::ApplyTranslation() { glTranslatef(translation_.X(), translation_.Y(), translation_.Z()); }

void TQelRender::Draw() {
  if (!enabled_) return;
  TMatrixScope matrix;
  Render();
}

void TQelObject::Draw() {
  if (!Enabled()) return;
  TMatrixScope matrix;
  TAttribScope attributes;
  Render();
}

void TQelRender::WriteKeys(TQelKeyWriter& writer) {
  if (!CanStore()) throw EQelException("This object of the class " + ClassName() + " can not be stored.");
  WriteIntegerKey(writer, "En", enabled_ ? 1 : 0);
  WriteVectorKey(writer, "Tr", translation_);
  WriteVectorKey(writer, "Ro", rotation_);
  WriteVectorKey(writer, "Sc", scale_);
  WriteIntegerKey(writer, "Tf", transform_ ? 1 : 0);
}

bool TQelRender::ReadKey(const TQelKeyValueBase& key) {
  std::int64_t flag = 0;
  if (SameTextAscii(key.Name(), "En")) {
    if (KeyInteger(key, INT64_MIN, INT64_MAX, flag)) SetEnabled(flag != 0);
  } else if (SameTextAscii(key.Name(), "Tr")) {
    ReadVectorKey(key, translation_);
  } else if (SameTextAscii(key.Name(), "Ro")) {
    ReadVectorKey(key, rotation_);
  } else if (SameTextAscii(key.Name(), "Sc")) {
    ReadVectorKey(key, scale_);
  } else if (SameTextAscii(key.Name(), "Tf")) {
    if (KeyInteger(key, INT64_MIN, INT64_MAX, flag)) SetTransform(flag != 0);
  } else {
    return false;
  }
  return true;
}

void TQelRender::WriteProperties(TWriter& writer) const {
  const PublishedTransform published = Published();
  writer.WritePropName("Enabled");
  writer.WriteBoolean(enabled_);
  if (published.translation) WriteNestedObject(writer, "Translation", translation_);
  if (published.rotation) WriteNestedObject(writer, "Rotation", rotation_);
  if (published.scale) WriteNestedObject(writer, "Scale", scale_);
  if (published.transform) {
    writer.WritePropName("Transform");
    writer.WriteBoolean(transform_);
  }
}

bool TQelRender::ReadProperty(const std::string& name, TReader& reader) {
  if (SameTextAscii(name, "Enabled")) {
    SetEnabled(reader.ReadBoolean());
    return true;
  }
  if (Published().transform && SameTextAscii(name, "Transform")) {
    SetTransform(reader.ReadBoolean());
    return true;
  }
  return false;
}

TPersistent* TQelRender::FindSubObject(const std::string& name) {
  const PublishedTransform published = Published();
  if (published.translation && SameTextAscii(name, "Translation")) return &translation_;
  if (published.rotation && SameTextAscii(name, "Rotation")) return &rotation_;
  if (published.scale && SameTextAscii(name, "Scale")) return &scale_;
  return nullptr;
}

// ---- Key and stream helpers ----------------------------------------------------------------

void WriteVectorKey(TQelKeyWriter& writer, const std::string& name, const TQelVector& vector) {
  TQelKeyValueBase key;
  key.SetName(name);
  key.AddSubKey().SetFloat("X", vector.X());
  key.AddSubKey().SetFloat("Y", vector.Y());
  key.AddSubKey().SetFloat("Z", vector.Z());
  writer.WriteKey(key);
}

void WriteColorKey(TQelKeyWriter& writer, const std::string& name, const TQelColor& color) {
  TQelKeyValueBase key;
  key.SetName(name);
  key.AddSubKey().SetFloat("A", color.Alpha());
  key.AddSubKey().SetInteger("C", color.Color(), vkHex);
  writer.WriteKey(key);
}

void WriteIntegerKey(TQelKeyWriter& writer, const std::string& name, std::int64_t value) {
  TQelKeyValueBase key;
  key.SetInteger(name, value);
  writer.WriteKey(key);
}

void WriteFloatKey(TQelKeyWriter& writer, const std::string& name, double value) {
  TQelKeyValueBase key;
  key.SetFloat(name, value);
  writer.WriteKey(key);
}

void WriteTextKey(TQelKeyWriter& writer, const std::string& name, const std::string& value) {
  TQelKeyValueBase key;
  key.SetText(name, value, vkQuoted);
  writer.WriteKey(key);
}

bool KeyFloat(const TQelKeyValueBase& key, double& value) {
  try {
    value = key.AsFloat();
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

bool KeyInteger(const TQelKeyValueBase& key, std::int64_t low, std::int64_t high, std::int64_t& value) {
  try {
    const std::int64_t read = key.AsInteger();
    if (read < low || read > high) return false;
    value = read;
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

bool ReadVectorKey(const TQelKeyValueBase& key, TQelVector& vector) {
  double value = 0.0;
  if (const TQelKeyValueBase* x = key.FindSubKey("X"); x != nullptr && KeyFloat(*x, value))
    vector.SetX(static_cast<float>(value));
  if (const TQelKeyValueBase* y = key.FindSubKey("Y"); y != nullptr && KeyFloat(*y, value))
    vector.SetY(static_cast<float>(value));
  if (const TQelKeyValueBase* z = key.FindSubKey("Z"); z != nullptr && KeyFloat(*z, value))
    vector.SetZ(static_cast<float>(value));
  return true;
}

bool ReadColorKey(const TQelKeyValueBase& key, TQelColor& color) {
  double alpha = 0.0;
  std::int64_t value = 0;
  if (const TQelKeyValueBase* a = key.FindSubKey("A"); a != nullptr && KeyFloat(*a, alpha))
    color.SetAlpha(static_cast<float>(alpha));
  if (const TQelKeyValueBase* c = key.FindSubKey("C"); c != nullptr && KeyInteger(*c, 0, UINT32_MAX, value))
    color.SetColor(static_cast<TColor>(value));
  return true;
}

void WriteSingleProperty(TWriter& writer, const std::string& name, float value) {
  if (value == 0.0f) return;
  writer.WritePropName(name);
  writer.WriteSingle(value);
}

void DefineZeroSingle(TFiler& filer, const std::string& name, float value, const std::function<void(float)>& set) {
  filer.DefineProperty(
      name, [set](TReader& reader) { set(static_cast<float>(reader.ReadFloat())); },
      [](TWriter& writer) { writer.WriteFloat(0.0); }, value == 0.0f);
}

int ReadEnumIdent(TReader& reader, const std::vector<std::string>& names) {
  const std::string ident = reader.ReadIdent();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (SameTextAscii(ident, names[i])) return static_cast<int>(i);
  throw EReadError("Invalid property value");
}

void QelInitLibrary() {
  static bool initialised = false;
  if (initialised) return;
  initialised = true;
  // OpenGL and degenerate geometry give infinities and NaNs instead of traps.
#if defined(__GLIBC__)
  fedisableexcept(FE_ALL_EXCEPT);
#endif
  QelRegisterViewClasses();
  QelRegisterCameraClasses();
  QelRegisterLightClasses();
  QelRegisterMaterialClasses();
  QelRegisterTextureClasses();
  QelRegisterTextClasses();
  QelRegisterShapeClasses();
}
