// Solid shapes: cylinder (or cone), sphere and disc through the GLU quadric
// routines, and a torus of triangle strips.
#pragma once

#include "qel3d/qelclass.h"

#include <functional>

struct GLUquadric;

class TQelShape : public TQelObject {
 public:
  TQelShape();
  ~TQelShape() override;
  std::string ClassName() const override { return "TQelShape"; }

  int Slices() const { return slices_; }
  void SetSlices(int slices) { slices_ = slices <= 0 ? 1 : slices; }  // 0 or less becomes 1
  int Stacks() const { return stacks_; }
  void SetStacks(int stacks) { stacks_ = stacks <= 0 ? 1 : stacks; }
  bool Textured() const { return textured_; }
  void SetTextured(bool textured) { textured_ = textured; }

  // The quadric exists only while the shape renders.
  virtual void CreateQuadric();
  virtual void DeleteQuadric();

  void Assign(const TPersistent& source) override;
  bool CanStore() const override { return true; }
  void WriteKeys(TQelKeyWriter& writer) override;
  bool ReadKey(const TQelKeyValueBase& key) override;
  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;

 protected:
  GLUquadric* Quadric() const { return quadric_; }
  // Creates the quadric, draws through it and deletes it, even when drawing raises.
  void WithQuadric(const std::function<void(GLUquadric*)>& draw);

 private:
  int slices_ = 10;
  int stacks_ = 10;
  bool textured_ = false;
  GLUquadric* quadric_ = nullptr;  // made by gluNewQuadric, freed by DeleteQuadric
};

class TQelCylinder : public TQelShape {
 public:
  std::string ClassName() const override { return "TQelCylinder"; }
  float BaseRadius() const { return baseRadius_; }
  void SetBaseRadius(float value) { baseRadius_ = value; }
  float TopRadius() const { return topRadius_; }
  void SetTopRadius(float value) { topRadius_ = value; }
  float Height() const { return height_; }
  void SetHeight(float value) { height_ = value < 0.0f ? 1.0f : value; }  // below 0 becomes 1
  bool Closed() const { return closed_; }
  void SetClosed(bool closed) { closed_ = closed; }

  void Assign(const TPersistent& source) override;
  void Render() override;
  void WriteKeys(TQelKeyWriter& writer) override;
  bool ReadKey(const TQelKeyValueBase& key) override;
  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  void DefineProperties(TFiler& filer) override;

 private:
  float baseRadius_ = 1.0f;
  float topRadius_ = 1.0f;
  float height_ = 1.0f;
  bool closed_ = false;
};

class TQelSphere : public TQelShape {
 public:
  std::string ClassName() const override { return "TQelSphere"; }
  float Radius() const { return radius_; }
  void SetRadius(float value) { radius_ = value < 0.0f ? 1.0f : value; }  // below 0 becomes 1

  void Assign(const TPersistent& source) override;
  void Render() override;
  void WriteKeys(TQelKeyWriter& writer) override;
  bool ReadKey(const TQelKeyValueBase& key) override;
  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  void DefineProperties(TFiler& filer) override;

 private:
  float radius_ = 1.0f;
};

class TQelDisc : public TQelShape {
 public:
  std::string ClassName() const override { return "TQelDisc"; }
  float OuterRadius() const { return outerRadius_; }
  void SetOuterRadius(float value) { outerRadius_ = value; }
  float InnerRadius() const { return innerRadius_; }
  void SetInnerRadius(float value) { innerRadius_ = value; }
  float StartAngle() const { return startAngle_; }
  void SetStartAngle(float value) { startAngle_ = value; }
  float SweepAngle() const { return sweepAngle_; }
  void SetSweepAngle(float value) { sweepAngle_ = value; }
  // Whether the disc is drawn as a partial disc.
  bool IsPartial() const { return startAngle_ != 0.0f || sweepAngle_ != 360.0f; }

  void Assign(const TPersistent& source) override;
  void Render() override;
  void WriteKeys(TQelKeyWriter& writer) override;
  bool ReadKey(const TQelKeyValueBase& key) override;
  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  void DefineProperties(TFiler& filer) override;

 private:
  float outerRadius_ = 1.0f;
  float innerRadius_ = 0.0f;
  float startAngle_ = 0.0f;
  float sweepAngle_ = 360.0f;
};

class TQelTorus : public TQelShape {
 public:
  std::string ClassName() const override { return "TQelTorus"; }
  // The ring's radius and the tube's; below 0 becomes 0.
  float Radius() const { return radius_; }
  void SetRadius(float value) { radius_ = value < 0.0f ? 0.0f : value; }
  float Thickness() const { return thickness_; }
  void SetThickness(float value) { thickness_ = value < 0.0f ? 0.0f : value; }

  void Assign(const TPersistent& source) override;
  void Render() override;
  void WriteKeys(TQelKeyWriter& writer) override;
  bool ReadKey(const TQelKeyValueBase& key) override;
  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  void DefineProperties(TFiler& filer) override;

 private:
  float radius_ = 1.0f;
  float thickness_ = 0.2f;
};

void QelRegisterShapeClasses();
