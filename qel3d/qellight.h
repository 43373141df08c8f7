// A light: enables and configures one of the eight GL lights when drawn.
#pragma once

#include "qel3d/qelclass.h"

enum TQelLightID { idLight0, idLight1, idLight2, idLight3, idLight4, idLight5, idLight6, idLight7 };
enum TQelLightKind { lkPoint, lkDirection, lkSpot };

class TQelLight : public TQelRender {
 public:
  TQelLight();
  std::string ClassName() const override { return "TQelLight"; }

  TQelLightID ID() const { return id_; }
  void SetID(TQelLightID id);
  TQelColor& ColorAmbient() { return ambient_; }
  const TQelColor& ColorAmbient() const { return ambient_; }
  void SetColorAmbient(const TQelColor& value) { ambient_.Assign(value); }
  TQelColor& ColorDiffuse() { return diffuse_; }
  const TQelColor& ColorDiffuse() const { return diffuse_; }
  void SetColorDiffuse(const TQelColor& value) { diffuse_.Assign(value); }
  TQelColor& ColorSpecular() { return specular_; }
  const TQelColor& ColorSpecular() const { return specular_; }
  void SetColorSpecular(const TQelColor& value) { specular_.Assign(value); }
  TQelLightKind Kind() const { return kind_; }
  // A different kind also sets the cut-off: 180 for point and direction lights, 90 for spots.
  void SetKind(TQelLightKind kind);
  float CutOff() const { return cutOff_; }
  // Point and direction lights keep 180; a spot takes the value clamped to 0 .. 90.
  void SetCutOff(float value);
  TQelDirection& Direction() { return direction_; }
  const TQelDirection& Direction() const { return direction_; }
  void SetDirection(const TQelVector& value) { direction_.Assign(value); }

  void Assign(const TPersistent& source) override;
  bool CanStore() const override { return true; }
  void Render() override;
  void WriteKeys(TQelKeyWriter& writer) override;
  bool ReadKey(const TQelKeyValueBase& key) override;

  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  TPersistent* FindSubObject(const std::string& name) override;
  void DefineProperties(TFiler& filer) override;

 protected:
  PublishedTransform Published() const override { return {true, false, false, true}; }

 private:
  TQelLightID id_ = idLight0;
  TQelColor ambient_{clBlack};
  TQelColor diffuse_{clWhite};
  TQelColor specular_{clWhite};
  TQelLightKind kind_ = lkPoint;
  float cutOff_ = 180.0f;
  TQelDirection direction_;
};

void QelRegisterLightClasses();
