#include "qel3d/qelshape.h"

#include "qel3d/qelkey.h"
#include "qel3d/qelwrite.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

bool ReadFloatKey(const TQelKeyValueBase& key, const char* name, const std::function<void(float)>& set) {
  if (!SameTextAscii(key.Name(), name)) return false;
  double value = 0.0;
  if (KeyFloat(key, value)) set(static_cast<float>(value));
  return true;
}

bool ReadFlagKey(const TQelKeyValueBase& key, const char* name, const std::function<void(bool)>& set) {
  if (!SameTextAscii(key.Name(), name)) return false;
  std::int64_t value = 0;
  if (KeyInteger(key, INT64_MIN, INT64_MAX, value)) set(value != 0);
  return true;
}

bool ReadSingle(const std::string& name, const char* property, TReader& reader, const std::function<void(float)>& set) {
  if (!SameTextAscii(name, property)) return false;
  set(static_cast<float>(reader.ReadFloat()));
  return true;
}

}  // namespace

// ---- Shape base ------------------------------------------------------------------------------

TQelShape::TQelShape() = default;

TQelShape::~TQelShape() { DeleteQuadric(); }

void TQelShape::CreateQuadric() {
  DeleteQuadric();
  quadric_ = gluNewQuadric();
  if (quadric_ != nullptr && textured_) gluQuadricTexture(quadric_, GL_TRUE);
}

void TQelShape::DeleteQuadric() {
  if (quadric_ == nullptr) return;
  gluDeleteQuadric(quadric_);
  quadric_ = nullptr;
}

void TQelShape::WithQuadric(const std::function<void(GLUquadric*)>& draw) {
  CreateQuadric();
  struct Release {
    TQelShape& shape;
    ~Release() { shape.DeleteQuadric(); }
  } release{*this};
  if (quadric_ != nullptr) draw(quadric_);
}

void TQelShape::Assign(const TPersistent& source) {
  if (const auto* shape = dynamic_cast<const TQelShape*>(&source)) {
    slices_ = shape->slices_;
    stacks_ = shape->stacks_;
    textured_ = shape->textured_;
  }
  TQelRender::Assign(source);
}

void TQelShape::WriteKeys(TQelKeyWriter& writer) {
  TQelRender::WriteKeys(writer);
  WriteIntegerKey(writer, "Slices", slices_);
  WriteIntegerKey(writer, "Stacks", stacks_);
  WriteIntegerKey(writer, "Tex", textured_ ? 1 : 0);
}

bool TQelShape::ReadKey(const TQelKeyValueBase& key) {
  if (TQelRender::ReadKey(key)) return true;
  std::int64_t value = 0;
  if (SameTextAscii(key.Name(), "Slices")) {
    if (KeyInteger(key, INT32_MIN, INT32_MAX, value)) SetSlices(static_cast<int>(value));
    return true;
  }
  if (SameTextAscii(key.Name(), "Stacks")) {
    if (KeyInteger(key, INT32_MIN, INT32_MAX, value)) SetStacks(static_cast<int>(value));
    return true;
  }
  return ReadFlagKey(key, "Tex", [this](bool v) { SetTextured(v); });
}

void TQelShape::WriteProperties(TWriter& writer) const {
  TQelRender::WriteProperties(writer);
  writer.WritePropName("Slices");
  writer.WriteInteger(slices_);
  writer.WritePropName("Stacks");
  writer.WriteInteger(stacks_);
  writer.WritePropName("Textured");
  writer.WriteBoolean(textured_);
}

bool TQelShape::ReadProperty(const std::string& name, TReader& reader) {
  if (TQelRender::ReadProperty(name, reader)) return true;
  if (SameTextAscii(name, "Slices")) {
    SetSlices(static_cast<int>(std::clamp<std::int64_t>(reader.ReadInteger(), INT32_MIN, INT32_MAX)));
  } else if (SameTextAscii(name, "Stacks")) {
    SetStacks(static_cast<int>(std::clamp<std::int64_t>(reader.ReadInteger(), INT32_MIN, INT32_MAX)));
  } else if (SameTextAscii(name, "Textured")) {
    SetTextured(reader.ReadBoolean());
  } else {
    return false;
  }
  return true;
}

// ---- Cylinder --------------------------------------------------------------------------------

void TQelCylinder::Assign(const TPersistent& source) {
  if (const auto* cylinder = dynamic_cast<const TQelCylinder*>(&source)) {
    baseRadius_ = cylinder->baseRadius_;
    topRadius_ = cylinder->topRadius_;
    height_ = cylinder->height_;
    closed_ = cylinder->closed_;
  }
  TQelShape::Assign(source);
}

void TQelCylinder::Render() {
  TQelShape::Render();
  WithQuadric([this](GLUquadric* quadric) {
    gluCylinder(quadric, baseRadius_, topRadius_, height_, Slices(), Stacks());
    if (!closed_) return;
    if (baseRadius_ > 0.0f) gluDisk(quadric, 0.0, baseRadius_, Slices(), Stacks());
    if (topRadius_ > 0.0f) {
      glPushMatrix();
      glTranslatef(0.0f, 0.0f, height_);
      gluDisk(quadric, 0.0, topRadius_, Slices(), Stacks());
      glPopMatrix();
    }
  });
}

void TQelCylinder::WriteKeys(TQelKeyWriter& writer) {
  TQelShape::WriteKeys(writer);
  WriteFloatKey(writer, "Base", baseRadius_);
  WriteFloatKey(writer, "Top", topRadius_);
  WriteFloatKey(writer, "Height", height_);
  WriteIntegerKey(writer, "Closed", closed_ ? 1 : 0);
}

bool TQelCylinder::ReadKey(const TQelKeyValueBase& key) {
  return TQelShape::ReadKey(key) || ReadFloatKey(key, "Base", [this](float v) { SetBaseRadius(v); }) ||
         ReadFloatKey(key, "Top", [this](float v) { SetTopRadius(v); }) ||
         ReadFloatKey(key, "Height", [this](float v) { SetHeight(v); }) ||
         ReadFlagKey(key, "Closed", [this](bool v) { SetClosed(v); });
}

void TQelCylinder::WriteProperties(TWriter& writer) const {
  TQelShape::WriteProperties(writer);
  WriteSingleProperty(writer, "BaseRadius", baseRadius_);
  WriteSingleProperty(writer, "TopRadius", topRadius_);
  WriteSingleProperty(writer, "Height", height_);
  writer.WritePropName("Closed");
  writer.WriteBoolean(closed_);
}

bool TQelCylinder::ReadProperty(const std::string& name, TReader& reader) {
  if (TQelShape::ReadProperty(name, reader)) return true;
  if (SameTextAscii(name, "Closed")) {
    SetClosed(reader.ReadBoolean());
    return true;
  }
  return ReadSingle(name, "BaseRadius", reader, [this](float v) { SetBaseRadius(v); }) ||
         ReadSingle(name, "TopRadius", reader, [this](float v) { SetTopRadius(v); }) ||
         ReadSingle(name, "Height", reader, [this](float v) { SetHeight(v); });
}

void TQelCylinder::DefineProperties(TFiler& filer) {
  TQelShape::DefineProperties(filer);
  DefineZeroSingle(filer, "BaseRadius", baseRadius_, [this](float v) { SetBaseRadius(v); });
  DefineZeroSingle(filer, "TopRadius", topRadius_, [this](float v) { SetTopRadius(v); });
  DefineZeroSingle(filer, "Height", height_, [this](float v) { SetHeight(v); });
}

// ---- Sphere ----------------------------------------------------------------------------------

void TQelSphere::Assign(const TPersistent& source) {
  if (const auto* sphere = dynamic_cast<const TQelSphere*>(&source)) radius_ = sphere->radius_;
  TQelShape::Assign(source);
}

void TQelSphere::Render() {
  TQelShape::Render();
  WithQuadric([this](GLUquadric* quadric) { gluSphere(quadric, radius_, Slices(), Stacks()); });
}

void TQelSphere::WriteKeys(TQelKeyWriter& writer) {
  TQelShape::WriteKeys(writer);
  WriteFloatKey(writer, "Radius", radius_);
}

bool TQelSphere::ReadKey(const TQelKeyValueBase& key) {
  return TQelShape::ReadKey(key) || ReadFloatKey(key, "Radius", [this](float v) { SetRadius(v); });
}

void TQelSphere::WriteProperties(TWriter& writer) const {
  TQelShape::WriteProperties(writer);
  WriteSingleProperty(writer, "Radius", radius_);
}

bool TQelSphere::ReadProperty(const std::string& name, TReader& reader) {
  return TQelShape::ReadProperty(name, reader) ||
         ReadSingle(name, "Radius", reader, [this](float v) { SetRadius(v); });
}

void TQelSphere::DefineProperties(TFiler& filer) {
  TQelShape::DefineProperties(filer);
  DefineZeroSingle(filer, "Radius", radius_, [this](float v) { SetRadius(v); });
}

// ---- Disc ------------------------------------------------------------------------------------

void TQelDisc::Assign(const TPersistent& source) {
  if (const auto* disc = dynamic_cast<const TQelDisc*>(&source)) {
    outerRadius_ = disc->outerRadius_;
    innerRadius_ = disc->innerRadius_;
    startAngle_ = disc->startAngle_;
    sweepAngle_ = disc->sweepAngle_;
  }
  TQelShape::Assign(source);
}

void TQelDisc::Render() {
  TQelShape::Render();
  WithQuadric([this](GLUquadric* quadric) {
    if (IsPartial()) {
      gluPartialDisk(quadric, innerRadius_, outerRadius_, Slices(), Stacks(), startAngle_, sweepAngle_);
    } else {
      gluDisk(quadric, innerRadius_, outerRadius_, Slices(), Stacks());
    }
  });
}

void TQelDisc::WriteKeys(TQelKeyWriter& writer) {
  TQelShape::WriteKeys(writer);
  WriteFloatKey(writer, "Outer", outerRadius_);
  WriteFloatKey(writer, "Inner", innerRadius_);
  WriteFloatKey(writer, "Start", startAngle_);
  WriteFloatKey(writer, "Sweep", sweepAngle_);
}

bool TQelDisc::ReadKey(const TQelKeyValueBase& key) {
  return TQelShape::ReadKey(key) || ReadFloatKey(key, "Outer", [this](float v) { SetOuterRadius(v); }) ||
         ReadFloatKey(key, "Inner", [this](float v) { SetInnerRadius(v); }) ||
         ReadFloatKey(key, "Start", [this](float v) { SetStartAngle(v); }) ||
         ReadFloatKey(key, "Sweep", [this](float v) { SetSweepAngle(v); });
}

void TQelDisc::WriteProperties(TWriter& writer) const {
  TQelShape::WriteProperties(writer);
  WriteSingleProperty(writer, "OuterRadius", outerRadius_);
  WriteSingleProperty(writer, "InnerRadius", innerRadius_);
  WriteSingleProperty(writer, "StartAngle", startAngle_);
  WriteSingleProperty(writer, "SweepAngle", sweepAngle_);
}

bool TQelDisc::ReadProperty(const std::string& name, TReader& reader) {
  return TQelShape::ReadProperty(name, reader) ||
         ReadSingle(name, "OuterRadius", reader, [this](float v) { SetOuterRadius(v); }) ||
         ReadSingle(name, "InnerRadius", reader, [this](float v) { SetInnerRadius(v); }) ||
         ReadSingle(name, "StartAngle", reader, [this](float v) { SetStartAngle(v); }) ||
         ReadSingle(name, "SweepAngle", reader, [this](float v) { SetSweepAngle(v); });
}

void TQelDisc::DefineProperties(TFiler& filer) {
  TQelShape::DefineProperties(filer);
  DefineZeroSingle(filer, "OuterRadius", outerRadius_, [this](float v) { SetOuterRadius(v); });
  DefineZeroSingle(filer, "InnerRadius", innerRadius_, [this](float v) { SetInnerRadius(v); });
  DefineZeroSingle(filer, "StartAngle", startAngle_, [this](float v) { SetStartAngle(v); });
  DefineZeroSingle(filer, "SweepAngle", sweepAngle_, [this](float v) { SetSweepAngle(v); });
}

// ---- Torus -----------------------------------------------------------------------------------

void TQelTorus::Assign(const TPersistent& source) {
  if (const auto* torus = dynamic_cast<const TQelTorus*>(&source)) {
    radius_ = torus->radius_;
    thickness_ = torus->thickness_;
  }
  TQelShape::Assign(source);
}

void TQelTorus::Render() {
  TQelShape::Render();
  // Drawn no finer than GLU draws its own quadrics: a stored count near the
  // integer limit would otherwise keep rendering for hours.
  constexpr int kFinestSubdivision = 239;
  const int slices = std::min(Slices(), kFinestSubdivision), stacks = std::min(Stacks(), kFinestSubdivision);
  const double a = 2.0 * std::numbers::pi / slices;
  const double b = 2.0 * std::numbers::pi / stacks;
  for (int i = 0; i < slices; ++i) {
    const double theta0 = i * a, theta1 = (i + 1) * a;
    glBegin(GL_TRIANGLE_STRIP);
    for (int j = 0; j <= stacks; ++j) {
      const double phi = j * b;
      const double r = thickness_ * std::cos(phi) + radius_;
      const double z = thickness_ * std::sin(phi);
      const double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
      const double t = static_cast<double>(j) / stacks;
      glNormal3d(cosPhi * std::cos(theta0), cosPhi * std::sin(theta0), sinPhi);
      glTexCoord2d(static_cast<double>(i) / slices, t);
      glVertex3d(r * std::cos(theta0), r * std::sin(theta0), z);
      glNormal3d(cosPhi * std::cos(theta1), cosPhi * std::sin(theta1), sinPhi);
      glTexCoord2d(static_cast<double>(i + 1) / slices, t);
      glVertex3d(r * std::cos(theta1), r * std::sin(theta1), z);
    }
    glEnd();
  }
}

void TQelTorus::WriteKeys(TQelKeyWriter& writer) {
  TQelShape::WriteKeys(writer);
  WriteFloatKey(writer, "Radius", radius_);
  WriteFloatKey(writer, "Thick", thickness_);
}

bool TQelTorus::ReadKey(const TQelKeyValueBase& key) {
  return TQelShape::ReadKey(key) || ReadFloatKey(key, "Radius", [this](float v) { SetRadius(v); }) ||
         ReadFloatKey(key, "Thick", [this](float v) { SetThickness(v); });
}

void TQelTorus::WriteProperties(TWriter& writer) const {
  TQelShape::WriteProperties(writer);
  WriteSingleProperty(writer, "Radius", radius_);
  WriteSingleProperty(writer, "Thickness", thickness_);
}

bool TQelTorus::ReadProperty(const std::string& name, TReader& reader) {
  return TQelShape::ReadProperty(name, reader) ||
         ReadSingle(name, "Radius", reader, [this](float v) { SetRadius(v); }) ||
         ReadSingle(name, "Thickness", reader, [this](float v) { SetThickness(v); });
}

void TQelTorus::DefineProperties(TFiler& filer) {
  TQelShape::DefineProperties(filer);
  DefineZeroSingle(filer, "Radius", radius_, [this](float v) { SetRadius(v); });
  DefineZeroSingle(filer, "Thickness", thickness_, [this](float v) { SetThickness(v); });
}

void QelRegisterShapeClasses() {
  RegisterClass("TQelCylinder", [] { return std::make_unique<TQelCylinder>(); });
  RegisterClass("TQelSphere", [] { return std::make_unique<TQelSphere>(); });
  RegisterClass("TQelDisc", [] { return std::make_unique<TQelDisc>(); });
  RegisterClass("TQelTorus", [] { return std::make_unique<TQelTorus>(); });
}
