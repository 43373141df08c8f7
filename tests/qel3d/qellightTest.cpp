#include "qel3d/qellight.h"
#include "qel3d/qelmat.h"
#include "tests/qel3d/QelTestSupport.h"

#include <GL/gl.h>

#include <cmath>
#include <tuple>

namespace {

using QelLightDrawing = QelGLTest;
using QelLightStoring = QelTest;
using QelMaterialDrawing = QelGLTest;
using QelMaterialStoring = QelTest;

std::array<float, 4> LightValue(GLenum light, GLenum name) {
  std::array<float, 4> v{};
  glGetLightfv(light, name, v.data());
  return v;
}

float MaterialValue(GLenum face, GLenum name) {
  std::array<float, 4> v{};
  glGetMaterialfv(face, name, v.data());
  return v[0];
}

}  // namespace

TEST(QelLightValues, SettersKeepTheirRangesAndOnlyASpotTakesACutOff) {
  TQelLight light;
  light.SetCutOff(45);
  EXPECT_EQ(light.CutOff(), 180.0f);
  light.SetKind(lkSpot);
  EXPECT_EQ(light.CutOff(), 90.0f);
  for (const auto& [set, kept] : {std::pair{30.0f, 30.0f}, {120.0f, 90.0f}, {-5.0f, 0.0f}, {NAN, 0.0f}}) {
    light.SetCutOff(set);
    EXPECT_EQ(light.CutOff(), kept) << set;
  }
  light.SetKind(lkPoint);
  EXPECT_EQ(light.CutOff(), 180.0f);
  // Only a differing value in range calls back, from the light's parts too.
  int changes = 0;
  light.OnChange = [&](TPersistent& sender) {
    EXPECT_EQ(&sender, &light);
    ++changes;
  };
  light.ColorSpecular().SetAlpha(0.5f);
  light.ColorSpecular().SetAlpha(1.5f);
  light.Direction().SetX(0.5f);
  light.Direction().SetX(-2.0f);
  light.Direction().SetY(NAN);
  light.Translation().SetX(0);
  light.SetID(idLight4);
  light.SetID(static_cast<TQelLightID>(9));
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(light.ColorSpecular().Alpha(), 0.5f);
  EXPECT_EQ(std::tuple(light.ID(), light.Direction().X(), light.Direction().Y()), std::tuple(idLight4, 0.5f, 0.0f));
}

TEST_F(QelLightDrawing, EachKindSendsItsPositionConeAndResolvedColours) {
  TQelLight direction, point, spot;
  direction.SetKind(lkDirection);
  point.SetID(idLight3);
  point.SetTransform(true);
  point.Translation().SetXYZ(1, 2, 3);
  point.ColorDiffuse().SetColor(clBtnFace);
  spot.SetID(idLight1);
  spot.SetKind(lkSpot);
  spot.SetCutOff(25);
  spot.Direction().SetXYZ(0, -1, 0);
  for (TQelLight* light : {&direction, &point, &spot}) light->Draw();
  for (GLenum id : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT3}) EXPECT_TRUE(glIsEnabled(id)) << id;
  EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
  EXPECT_EQ(LightValue(GL_LIGHT0, GL_POSITION), (std::array<float, 4>{0, 0, -1, 0}));
  EXPECT_EQ(LightValue(GL_LIGHT3, GL_POSITION), (std::array<float, 4>{1, 2, 3, 1}));
  EXPECT_FLOAT_EQ(LightValue(GL_LIGHT3, GL_DIFFUSE)[0], GetRValue(ColorToRGB(clBtnFace)) / 255.0f);
  EXPECT_EQ(LightValue(GL_LIGHT1, GL_SPOT_CUTOFF)[0], 25.0f);
  EXPECT_EQ(LightValue(GL_LIGHT1, GL_SPOT_DIRECTION), (std::array<float, 4>{0, -1, 0, 0}));
}

TEST_F(QelLightStoring, KeyTextOfADefaultLight) {
  TQelLight light;
  EXPECT_EQ(KeyTextOf(light),
            "<EN=1>\r\n"
            "<TR X=0.000, Y=0.000, Z=0.000>\r\n"
            "<RO X=0.000, Y=0.000, Z=0.000>\r\n"
            "<SC X=1.000, Y=1.000, Z=1.000>\r\n"
            "<TF=0>\r\n"
            "<ID=0>\r\n"
            "<AM A=1.000, C=#00000000>\r\n"
            "<DI A=1.000, C=#00FFFFFF>\r\n"
            "<SP A=1.000, C=#00FFFFFF>\r\n"
            "<KIND=0>\r\n"
            "<CUTOFF=180.000>\r\n"
            "<DIR X=0.000, Y=0.000, Z=-1.000>\r\n");
}

TEST_F(QelLightStoring, LightsRoundTripWithZerosAndOutOfRangeKeysAreSkipped) {
  TQelLight light;
  light.SetID(idLight5);
  light.SetKind(lkSpot);
  light.SetCutOff(12.5f);
  light.ColorAmbient().SetColor(0x00FF00);
  light.ColorAmbient().SetAlpha(0.25f);
  light.Direction().SetXYZ(0.5f, -0.5f, 0);
  light.SetTransform(true);
  TQelLight copy;
  EXPECT_EQ(ReadKeyText(KeyTextOf(light), copy), 12);
  ExpectRoundTrips(light);
  light.SetCutOff(0);
  light.ColorDiffuse().SetColor(0);
  ExpectRoundTrips(light);
  TQelLight other, fresh;
  EXPECT_EQ(ReadKeyText("<ID=8><ID=-1><KIND=3><DI C=#1FFFFFFFF><SP C=-1>", other), 5);
  EXPECT_EQ(KeyTextOf(other), KeyTextOf(fresh));
}

TEST(QelMaterialValues, ShininessTakesZeroTo180) {
  TQelMaterial material;
  int changes = 0;
  material.OnChange = [&](TPersistent&) { ++changes; };
  material.SetShininess(200);
  material.SetShininess(-1);
  EXPECT_EQ(material.Shininess(), 0);
  material.SetShininess(180);
  material.SetShininess(180);
  EXPECT_EQ(material.Shininess(), 180);
  EXPECT_EQ(changes, 1);
}

TEST_F(QelMaterialDrawing, ShininessIsSentAsAtMost128ToTheChosenFaces) {
  TQelMaterial material;
  material.SetShininess(180);
  material.SetFace(mfFront);
  material.ColorEmission().SetColor(clRed);
  material.Draw();
  EXPECT_EQ(MaterialValue(GL_FRONT, GL_SHININESS), 128.0f);
  EXPECT_EQ(MaterialValue(GL_FRONT, GL_EMISSION), 1.0f);
  EXPECT_EQ(MaterialValue(GL_BACK, GL_EMISSION), 0.0f);
  material.SetShininess(60);
  material.SetFace(mfFrontBack);
  material.Draw();
  EXPECT_EQ(MaterialValue(GL_BACK, GL_SHININESS), 60.0f);
}

TEST_F(QelMaterialStoring, MaterialsRoundTripAndOutOfRangeKeysAreSkipped) {
  TQelMaterial material;
  material.SetFace(mfBack);
  material.SetShininess(150);
  material.ColorEmission().SetColor(0x123456);
  ExpectRoundTrips(material);
  TQelMaterial copy;
  ReadKeyText(KeyTextOf(material), copy);
  EXPECT_EQ(ReadKeyText("<FACE=3><SHINE=181>", copy), 2);
  EXPECT_EQ(KeyTextOf(copy), KeyTextOf(material));
}
