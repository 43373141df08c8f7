#include "qel3d/qelmat.h"

#include "qel3d/qelkey.h"
#include "qel3d/qelwrite.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

const std::vector<std::string> kFaceNames{"mfFront", "mfBack", "mfFrontBack"};

GLenum GLFace(TQelMaterialFace face) {
  switch (face) {
    case mfFront: return GL_FRONT;
    case mfBack: return GL_BACK;
    default: return GL_FRONT_AND_BACK;
  }
}

}  // namespace

TQelMaterial::TQelMaterial() {
  auto changed = [this](TPersistent&) { Changed(); };
  ambient_.OnChange = changed;
  diffuse_.OnChange = changed;
  specular_.OnChange = changed;
  emission_.OnChange = changed;
}

void TQelMaterial::SetFace(TQelMaterialFace face) {
  if (face < mfFront || face > mfFrontBack || face == face_) return;
  face_ = face;
  DoChange();
}

void TQelMaterial::SetShininess(int value) {
  if (value < 0 || value > 180 || value == shininess_) return;
  shininess_ = value;
  DoChange();
}

void TQelMaterial::Assign(const TPersistent& source) {
  if (const auto* material = dynamic_cast<const TQelMaterial*>(&source)) {
    face_ = material->face_;
    ambient_.Assign(material->ambient_);
    diffuse_.Assign(material->diffuse_);
    specular_.Assign(material->specular_);
    emission_.Assign(material->emission_);
    shininess_ = material->shininess_;
  }
  TQelRender::Assign(source);
}

void TQelMaterial::Render() {
  TQelRender::Render();
  const GLenum face = GLFace(face_);
  glMaterialfv(face, GL_AMBIENT, ambient_.ToGLColor().data());
  glMaterialfv(face, GL_DIFFUSE, diffuse_.ToGLColor().data());
  glMaterialfv(face, GL_SPECULAR, specular_.ToGLColor().data());
  glMaterialfv(face, GL_EMISSION, emission_.ToGLColor().data());
  // GL rejects shininess above 128 and would keep the previous value.
  glMateriali(face, GL_SHININESS, std::min(shininess_, kGLMaxShininess));
}

void TQelMaterial::WriteKeys(TQelKeyWriter& writer) {
  TQelRender::WriteKeys(writer);
  WriteIntegerKey(writer, "Face", face_);
  WriteColorKey(writer, "Am", ambient_);
  WriteColorKey(writer, "Di", diffuse_);
  WriteColorKey(writer, "Sp", specular_);
  WriteColorKey(writer, "Em", emission_);
  WriteIntegerKey(writer, "Shine", shininess_);
}

bool TQelMaterial::ReadKey(const TQelKeyValueBase& key) {
  if (TQelRender::ReadKey(key)) return true;
  const std::string& name = key.Name();
  std::int64_t value = 0;
  if (SameTextAscii(name, "Face")) {
    if (KeyInteger(key, mfFront, mfFrontBack, value)) SetFace(static_cast<TQelMaterialFace>(value));
  } else if (SameTextAscii(name, "Am")) {
    ReadColorKey(key, ambient_);
  } else if (SameTextAscii(name, "Di")) {
    ReadColorKey(key, diffuse_);
  } else if (SameTextAscii(name, "Sp")) {
    ReadColorKey(key, specular_);
  } else if (SameTextAscii(name, "Em")) {
    ReadColorKey(key, emission_);
  } else if (SameTextAscii(name, "Shine")) {
    if (KeyInteger(key, 0, 180, value)) SetShininess(static_cast<int>(value));
  } else {
    return false;
  }
  return true;
}

void TQelMaterial::WriteProperties(TWriter& writer) const {
  TQelRender::WriteProperties(writer);
  writer.WritePropName("Face");
  writer.WriteIdent(kFaceNames[static_cast<std::size_t>(face_)]);
  WriteNestedObject(writer, "ColorAmbient", ambient_);
  WriteNestedObject(writer, "ColorDiffuse", diffuse_);
  WriteNestedObject(writer, "ColorSpecular", specular_);
  WriteNestedObject(writer, "ColorEmission", emission_);
  writer.WritePropName("Shininess");
  writer.WriteInteger(shininess_);
}

bool TQelMaterial::ReadProperty(const std::string& name, TReader& reader) {
  if (TQelRender::ReadProperty(name, reader)) return true;
  if (SameTextAscii(name, "Face")) {
    SetFace(static_cast<TQelMaterialFace>(ReadEnumIdent(reader, kFaceNames)));
  } else if (SameTextAscii(name, "Shininess")) {
    const std::int64_t value = reader.ReadInteger();
    if (value >= 0 && value <= 180) SetShininess(static_cast<int>(value));
  } else {
    return false;
  }
  return true;
}

TPersistent* TQelMaterial::FindSubObject(const std::string& name) {
  if (SameTextAscii(name, "ColorAmbient")) return &ambient_;
  if (SameTextAscii(name, "ColorDiffuse")) return &diffuse_;
  if (SameTextAscii(name, "ColorSpecular")) return &specular_;
  if (SameTextAscii(name, "ColorEmission")) return &emission_;
  return TQelRender::FindSubObject(name);
}

void QelRegisterMaterialClasses() {
  RegisterClass("TQelMaterial", [] { return std::make_unique<TQelMaterial>(); });
}
