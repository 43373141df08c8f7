#include "qel3d/qelcam.h"

#include <cmath>

TQelCamera::TQelCamera() {
  auto changed = [this](TPersistent&) { DoChange(); };
  position_.OnChange = changed;
  rotation_.OnChange = changed;
}

void TQelCamera::SetValue(float& field, float value, bool accepted) {
  if (!accepted || value == field) return;
  field = value;
  DoChange();
}

void TQelCamera::SetViewNear(float value) { SetValue(viewNear_, value, value > 0.0f); }
void TQelCamera::SetViewFar(float value) { SetValue(viewFar_, value, !std::isnan(value)); }
void TQelCamera::SetViewAngle(float value) { SetValue(viewAngle_, value, value >= 0.0f && value <= 180.0f); }
void TQelCamera::SetViewOrtho(float value) { SetValue(viewOrtho_, value, value >= 0.0f); }

void TQelCamera::Assign(const TPersistent& source) {
  if (const auto* camera = dynamic_cast<const TQelCamera*>(&source)) {
    position_.Assign(camera->position_);
    rotation_.Assign(camera->rotation_);
    viewNear_ = camera->viewNear_;
    viewFar_ = camera->viewFar_;
    viewAngle_ = camera->viewAngle_;
    viewOrtho_ = camera->viewOrtho_;
  }
  TQelComponent::Assign(source);
}

void TQelCamera::WriteProperties(TWriter& writer) const {
  WriteNestedObject(writer, "Position", position_);
  WriteNestedObject(writer, "Rotation", rotation_);
  WriteSingleProperty(writer, "ViewNear", viewNear_);
  WriteSingleProperty(writer, "ViewFar", viewFar_);
  WriteSingleProperty(writer, "ViewAngle", viewAngle_);
  WriteSingleProperty(writer, "ViewOrtho", viewOrtho_);
}

bool TQelCamera::ReadProperty(const std::string& name, TReader& reader) {
  if (SameTextAscii(name, "ViewNear")) SetViewNear(static_cast<float>(reader.ReadFloat()));
  else if (SameTextAscii(name, "ViewFar")) SetViewFar(static_cast<float>(reader.ReadFloat()));
  else if (SameTextAscii(name, "ViewAngle")) SetViewAngle(static_cast<float>(reader.ReadFloat()));
  else if (SameTextAscii(name, "ViewOrtho")) SetViewOrtho(static_cast<float>(reader.ReadFloat()));
  else return false;
  return true;
}

TPersistent* TQelCamera::FindSubObject(const std::string& name) {
  if (SameTextAscii(name, "Position")) return &position_;
  if (SameTextAscii(name, "Rotation")) return &rotation_;
  return nullptr;
}

void TQelCamera::DefineProperties(TFiler& filer) {
  DefineZeroSingle(filer, "ViewNear", viewNear_, [this](float v) { SetViewNear(v); });
  DefineZeroSingle(filer, "ViewFar", viewFar_, [this](float v) { SetViewFar(v); });
  DefineZeroSingle(filer, "ViewAngle", viewAngle_, [this](float v) { SetViewAngle(v); });
  DefineZeroSingle(filer, "ViewOrtho", viewOrtho_, [this](float v) { SetViewOrtho(v); });
}

void QelRegisterCameraClasses() {
  RegisterClass("TQelCamera", [] { return std::make_unique<TQelCamera>(); });
}
