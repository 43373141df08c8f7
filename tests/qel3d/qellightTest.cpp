#include "qel3d/qellight.h"
#include "qel3d/qelmat.h"
#include "tests/qel3d/QelTestSupport.h"

#include <GL/gl.h>

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

}  // namespace

TEST(QelLightValues, KindSetsTheCutOffAndOnlyASpotTakesOneClamped) {
  TQelLight light;
  EXPECT_EQ(light.CutOff(), 180.0f);
  light.SetKind(lkSpot);
  EXPECT_EQ(light.CutOff(), 90.0f);
  light.SetCutOff(30);
  EXPECT_EQ(light.CutOff(), 30.0f);
  light.SetKind(lkPoint);
  EXPECT_EQ(light.CutOff(), 180.0f);
  light.SetCutOff(45);
  EXPECT_EQ(light.CutOff(), 180.0f);
  light.SetKind(lkSpot);
  light.SetCutOff(120);
  EXPECT_EQ(light.CutOff(), 90.0f);
  light.SetCutOff(-5);
  EXPECT_EQ(light.CutOff(), 0.0f);
  light.SetCutOff(NAN);
  EXPECT_EQ(light.CutOff(), 0.0f);
}

TEST(QelLightValues, ChangesOfPartsReachTheLight) {
  TQelLight light;
  int changes = 0;
  light.OnChange = [&](TPersistent&) { ++changes; };
  light.ColorSpecular().SetColor(clRed);
  light.Direction().SetX(0.5f);
  light.Direction().SetX(2.0f);  // out of range: ignored
  light.SetID(idLight4);
  light.SetID(static_cast<TQelLightID>(9));
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(light.ID(), idLight4);
}

TEST_F(QelLightDrawing, ADirectionLightSendsItsDirectionAsPosition) {
  TQelLight light;
  light.SetKind(lkDirection);
  light.Draw();
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  EXPECT_EQ(LightValue(GL_LIGHT0, GL_POSITION), (std::array<float, 4>{0, 0, -1, 0}));
}

TEST_F(QelLightDrawing, APointLightStandsAtItsTransformedOrigin) {
  TQelLight light;
  light.SetID(idLight3);
  light.SetTransform(true);
  light.Translation().SetXYZ(1, 2, 3);
  light.ColorDiffuse().SetColor(clBtnFace);
  light.Draw();
  EXPECT_TRUE(glIsEnabled(GL_LIGHT3));
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
  EXPECT_EQ(LightValue(GL_LIGHT3, GL_POSITION), (std::array<float, 4>{1, 2, 3, 1}));
  EXPECT_FLOAT_EQ(LightValue(GL_LIGHT3, GL_DIFFUSE)[0], GetRValue(ColorToRGB(clBtnFace)) / 255.0f);
  GLfloat cutOff = 0;
  glGetLightfv(GL_LIGHT3, GL_SPOT_CUTOFF, &cutOff);
  EXPECT_EQ(cutOff, 180.0f);
}

TEST_F(QelLightDrawing, ASpotLightSendsItsConeAndDirection) {
  TQelLight light;
  light.SetKind(lkSpot);
  light.SetCutOff(25);
  light.Direction().SetXYZ(0, -1, 0);
  light.Draw();
  GLfloat cutOff = 0;
  glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &cutOff);
  EXPECT_EQ(cutOff, 25.0f);
  const auto direction = LightValue(GL_LIGHT0, GL_SPOT_DIRECTION);
  EXPECT_EQ(direction[1], -1.0f);
  EXPECT_EQ(direction[2], 0.0f);
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

TEST_F(QelLightStoring, LightKeysReadBack) {
  TQelLight light;
  light.SetID(idLight5);
  light.SetKind(lkSpot);
  light.SetCutOff(12.5f);
  light.ColorAmbient().SetColor(0x00FF00);
  light.ColorAmbient().SetAlpha(0.25f);
  light.Direction().SetXYZ(0.5f, -0.5f, 0);
  light.SetTransform(true);
  TQelKeyReader reader(KeyTextOf(light));
  TQelLight copy;
  EXPECT_EQ(ReadKeysInto(reader, copy), 12);
  EXPECT_EQ(copy.ID(), idLight5);
  EXPECT_EQ(copy.Kind(), lkSpot);
  EXPECT_EQ(copy.CutOff(), 12.5f);
  EXPECT_EQ(copy.ColorAmbient().Color(), 0x00FF00u);
  EXPECT_EQ(copy.ColorAmbient().Alpha(), 0.25f);
  EXPECT_EQ(copy.Direction().X(), 0.5f);
  EXPECT_TRUE(copy.Transform());
  // Values out of range are skipped.
  TQelLight other;
  TQelKeyReader bad("<ID=8><ID=-1><KIND=3><DI C=#1FFFFFFFF><SP C=-1>");
  EXPECT_EQ(ReadKeysInto(bad, other), 5);
  EXPECT_EQ(other.ID(), idLight0);
  EXPECT_EQ(other.Kind(), lkPoint);
  EXPECT_EQ(other.ColorDiffuse().Color(), clWhite);
  EXPECT_EQ(other.ColorSpecular().Color(), clWhite);
}

TEST_F(QelLightStoring, LightStreamRoundTripKeepsAZeroCutOff) {
  TQelLight light;
  light.SetKind(lkSpot);
  light.SetCutOff(0);
  light.SetID(idLight2);
  light.ColorDiffuse().SetColor(0);
  auto copy = StreamRoundTrip(light);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Kind(), lkSpot);
  EXPECT_EQ(copy->CutOff(), 0.0f);
  EXPECT_EQ(copy->ID(), idLight2);
  EXPECT_EQ(copy->ColorDiffuse().Color(), 0u);
}

// ---- Material --------------------------------------------------------------------------------

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
  EXPECT_EQ(material.ColorAmbient().Color(), 0x333333u);
  EXPECT_EQ(material.ColorDiffuse().Color(), 0xCCCCCCu);
}

TEST_F(QelMaterialDrawing, MaterialShininessIsSentAsAtMost128) {
  TQelMaterial material;
  material.SetShininess(180);
  material.Draw();
  GLfloat shininess = 0;
  glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
  EXPECT_EQ(shininess, 128.0f);
  material.SetShininess(60);
  material.Draw();
  glGetMaterialfv(GL_BACK, GL_SHININESS, &shininess);
  EXPECT_EQ(shininess, 60.0f);
}

TEST_F(QelMaterialDrawing, MaterialFaceSelectsTheSidesItSets) {
  TQelMaterial material;
  material.SetFace(mfFront);
  material.ColorEmission().SetColor(clRed);
  material.Draw();
  std::array<float, 4> front{}, back{};
  glGetMaterialfv(GL_FRONT, GL_EMISSION, front.data());
  glGetMaterialfv(GL_BACK, GL_EMISSION, back.data());
  EXPECT_EQ(front[0], 1.0f);
  EXPECT_EQ(back[0], 0.0f);
}

TEST_F(QelMaterialStoring, MaterialKeysReadBackWithRangeChecks) {
  TQelMaterial material;
  material.SetFace(mfBack);
  material.SetShininess(77);
  material.ColorEmission().SetColor(0x123456);
  TQelKeyReader reader(KeyTextOf(material));
  TQelMaterial copy;
  ReadKeysInto(reader, copy);
  EXPECT_EQ(copy.Face(), mfBack);
  EXPECT_EQ(copy.Shininess(), 77);
  EXPECT_EQ(copy.ColorEmission().Color(), 0x123456u);
  TQelKeyReader bad("<FACE=3><SHINE=181>");
  EXPECT_EQ(ReadKeysInto(bad, copy), 2);
  EXPECT_EQ(copy.Face(), mfBack);
  EXPECT_EQ(copy.Shininess(), 77);
}

TEST_F(QelMaterialStoring, MaterialStreamRoundTrip) {
  TQelMaterial material;
  material.SetFace(mfFront);
  material.SetShininess(150);
  material.ColorSpecular().SetColor(clWhite);
  auto copy = StreamRoundTrip(material);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Face(), mfFront);
  EXPECT_EQ(copy->Shininess(), 150);
  EXPECT_EQ(copy->ColorSpecular().Color(), clWhite);
}
