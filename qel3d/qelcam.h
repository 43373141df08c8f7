// The camera: where a view looks from and how it projects.
#pragma once

#include "qel3d/qelclass.h"

class TQelCamera : public TQelComponent {
 public:
  TQelCamera();
  std::string ClassName() const override { return "TQelCamera"; }

  TQelPosition& Position() { return position_; }
  const TQelPosition& Position() const { return position_; }
  void SetPosition(const TQelVector& value) { position_.Assign(value); }
  // Degrees about each axis.
  TQelRotation& Rotation() { return rotation_; }
  const TQelRotation& Rotation() const { return rotation_; }
  void SetRotation(const TQelVector& value) { rotation_.Assign(value); }

  // Each setter takes a differing value in its range and ignores others.
  float ViewNear() const { return viewNear_; }
  void SetViewNear(float value);  // above 0
  float ViewFar() const { return viewFar_; }
  void SetViewFar(float value);  // any
  float ViewAngle() const { return viewAngle_; }
  void SetViewAngle(float value);  // 0 .. 180 degrees, vertical
  float ViewOrtho() const { return viewOrtho_; }
  void SetViewOrtho(float value);  // 0 or more: the orthographic view height

  // Copies position, rotation and the four values (not the change event), then fires DoChange.
  void Assign(const TPersistent& source) override;

  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  TPersistent* FindSubObject(const std::string& name) override;
  void DefineProperties(TFiler& filer) override;

 private:
  void SetValue(float& field, float value, bool accepted);

  TQelPosition position_{0.0f, 0.2f, 2.0f};
  TQelRotation rotation_;
  float viewNear_ = 0.1f;
  float viewFar_ = 10.0f;
  float viewAngle_ = 45.0f;
  float viewOrtho_ = 2.0f;
};

void QelRegisterCameraClasses();
