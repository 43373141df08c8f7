// A material: sets the material of the objects drawn after it.
#pragma once

#include "qel3d/qelclass.h"

enum TQelMaterialFace { mfFront, mfBack, mfFrontBack };

class TQelMaterial : public TQelRender {
 public:
  // GL takes shininess up to this value; larger stored values are sent as it.
  static constexpr int kGLMaxShininess = 128;

  TQelMaterial();
  std::string ClassName() const override { return "TQelMaterial"; }

  TQelMaterialFace Face() const { return face_; }
  void SetFace(TQelMaterialFace face);
  TQelColor& ColorAmbient() { return ambient_; }
  const TQelColor& ColorAmbient() const { return ambient_; }
  void SetColorAmbient(const TQelColor& value) { ambient_.Assign(value); }
  TQelColor& ColorDiffuse() { return diffuse_; }
  const TQelColor& ColorDiffuse() const { return diffuse_; }
  void SetColorDiffuse(const TQelColor& value) { diffuse_.Assign(value); }
  TQelColor& ColorSpecular() { return specular_; }
  const TQelColor& ColorSpecular() const { return specular_; }
  void SetColorSpecular(const TQelColor& value) { specular_.Assign(value); }
  TQelColor& ColorEmission() { return emission_; }
  const TQelColor& ColorEmission() const { return emission_; }
  void SetColorEmission(const TQelColor& value) { emission_.Assign(value); }
  int Shininess() const { return shininess_; }
  // 0 .. 180; other values are ignored.
  void SetShininess(int value);

  void Assign(const TPersistent& source) override;
  bool CanStore() const override { return true; }
  void Render() override;
  void WriteKeys(TQelKeyWriter& writer) override;
  bool ReadKey(const TQelKeyValueBase& key) override;

  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  TPersistent* FindSubObject(const std::string& name) override;

 private:
  TQelMaterialFace face_ = mfFrontBack;
  TQelColor ambient_{0x333333};
  TQelColor diffuse_{0xCCCCCC};
  TQelColor specular_{clBlack};
  TQelColor emission_{clBlack};
  int shininess_ = 0;
};

void QelRegisterMaterialClasses();
