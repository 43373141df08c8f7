#include "qel3d/qellight.h"

#include "qel3d/qelkey.h"
#include "qel3d/qelwrite.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

const std::vector<std::string> kIdNames{"idLight0", "idLight1", "idLight2", "idLight3",
                                        "idLight4", "idLight5", "idLight6", "idLight7"};
const std::vector<std::string> kKindNames{"lkPoint", "lkDirection", "lkSpot"};

}  // namespace

TQelLight::TQelLight() {
  auto changed = [this](TPersistent&) { Changed(); };
  ambient_.OnChange = changed;
  diffuse_.OnChange = changed;
  specular_.OnChange = changed;
  direction_.OnChange = changed;
}

void TQelLight::SetID(TQelLightID id) {
  if (id < idLight0 || id > idLight7 || id == id_) return;
  id_ = id;
  DoChange();
}

void TQelLight::SetKind(TQelLightKind kind) {
  if (kind < lkPoint || kind > lkSpot || kind == kind_) return;
  kind_ = kind;
  cutOff_ = kind == lkSpot ? 90.0f : 180.0f;
  DoChange();
}

void TQelLight::SetCutOff(float value) {
  if (value == cutOff_ || std::isnan(value)) return;
  cutOff_ = kind_ == lkSpot ? std::clamp(value, 0.0f, 90.0f) : 180.0f;
  DoChange();
}

void TQelLight::Assign(const TPersistent& source) {
  if (const auto* light = dynamic_cast<const TQelLight*>(&source)) {
    id_ = light->id_;
    ambient_.Assign(light->ambient_);
    diffuse_.Assign(light->diffuse_);
    specular_.Assign(light->specular_);
    kind_ = light->kind_;
    cutOff_ = light->cutOff_;
    direction_.Assign(light->direction_);
  }
  TQelRender::Assign(source);
}

void TQelLight::Render() {
  TQelRender::Render();
  const GLenum light = GL_LIGHT0 + static_cast<GLenum>(id_);
  glEnable(light);
  glLightfv(light, GL_AMBIENT, ambient_.ToGLColor().data());
  glLightfv(light, GL_DIFFUSE, diffuse_.ToGLColor().data());
  glLightfv(light, GL_SPECULAR, specular_.ToGLColor().data());
  const GLfloat origin[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  const GLfloat towards[4] = {direction_.X(), direction_.Y(), direction_.Z(), 0.0f};
  glLightfv(light, GL_POSITION, kind_ == lkDirection ? towards : origin);
  glLightf(light, GL_SPOT_CUTOFF, cutOff_);
  if (kind_ == lkSpot) glLightfv(light, GL_SPOT_DIRECTION, towards);
}

void TQelLight::WriteKeys(TQelKeyWriter& writer) {
  TQelRender::WriteKeys(writer);
  WriteIntegerKey(writer, "ID", id_);
  WriteColorKey(writer, "Am", ambient_);
  WriteColorKey(writer, "Di", diffuse_);
  WriteColorKey(writer, "Sp", specular_);
  WriteIntegerKey(writer, "Kind", kind_);
  WriteFloatKey(writer, "CutOff", cutOff_);
  WriteVectorKey(writer, "Dir", direction_);
}

bool TQelLight::ReadKey(const TQelKeyValueBase& key) {
  if (TQelRender::ReadKey(key)) return true;
  const std::string& name = key.Name();
  std::int64_t value = 0;
  double real = 0.0;
  if (SameTextAscii(name, "ID")) {
    if (KeyInteger(key, idLight0, idLight7, value)) SetID(static_cast<TQelLightID>(value));
  } else if (SameTextAscii(name, "Am")) {
    ReadColorKey(key, ambient_);
  } else if (SameTextAscii(name, "Di")) {
    ReadColorKey(key, diffuse_);
  } else if (SameTextAscii(name, "Sp")) {
    ReadColorKey(key, specular_);
  } else if (SameTextAscii(name, "Kind")) {
    if (KeyInteger(key, lkPoint, lkSpot, value)) SetKind(static_cast<TQelLightKind>(value));
  } else if (SameTextAscii(name, "CutOff")) {
    if (KeyFloat(key, real)) SetCutOff(static_cast<float>(real));
  } else if (SameTextAscii(name, "Dir")) {
    ReadVectorKey(key, direction_);
  } else {
    return false;
  }
  return true;
}

void TQelLight::WriteProperties(TWriter& writer) const {
  TQelRender::WriteProperties(writer);
  writer.WritePropName("ID");
  writer.WriteIdent(kIdNames[static_cast<std::size_t>(id_)]);
  WriteNestedObject(writer, "ColorAmbient", ambient_);
  WriteNestedObject(writer, "ColorDiffuse", diffuse_);
  WriteNestedObject(writer, "ColorSpecular", specular_);
  writer.WritePropName("Kind");
  writer.WriteIdent(kKindNames[static_cast<std::size_t>(kind_)]);
  WriteSingleProperty(writer, "CutOff", cutOff_);
  WriteNestedObject(writer, "Direction", direction_);
}

bool TQelLight::ReadProperty(const std::string& name, TReader& reader) {
  if (TQelRender::ReadProperty(name, reader)) return true;
  if (SameTextAscii(name, "ID")) SetID(static_cast<TQelLightID>(ReadEnumIdent(reader, kIdNames)));
  else if (SameTextAscii(name, "Kind")) SetKind(static_cast<TQelLightKind>(ReadEnumIdent(reader, kKindNames)));
  else if (SameTextAscii(name, "CutOff")) SetCutOff(static_cast<float>(reader.ReadFloat()));
  else return false;
  return true;
}

TPersistent* TQelLight::FindSubObject(const std::string& name) {
  if (SameTextAscii(name, "ColorAmbient")) return &ambient_;
  if (SameTextAscii(name, "ColorDiffuse")) return &diffuse_;
  if (SameTextAscii(name, "ColorSpecular")) return &specular_;
  if (SameTextAscii(name, "Direction")) return &direction_;
  return TQelRender::FindSubObject(name);
}

void TQelLight::DefineProperties(TFiler& filer) {
  TQelRender::DefineProperties(filer);
  DefineZeroSingle(filer, "CutOff", cutOff_, [this](float v) { SetCutOff(v); });
}

void QelRegisterLightClasses() {
  RegisterClass("TQelLight", [] { return std::make_unique<TQelLight>(); });
}
