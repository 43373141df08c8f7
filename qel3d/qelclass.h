// Building blocks of the 3D library: value objects (vectors, colours) that
// tell their owner when they change, the component base that turns such
// changes into one change event, and the renderable base that applies a
// transform around drawing.
#pragma once

#include "platform/Colors.h"
#include "platform/FormStreams.h"
#include "platform/SysUtils.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

class TQelKeyWriter;
class TQelKeyValueBase;

class EQelException : public Exception {
 public:
  using Exception::Exception;
};

using TQelNotifyEvent = std::function<void(TPersistent& sender)>;

// A value object with a change callback. Assign never copies the callback:
// it belongs to the owner that set it.
class TQelProperty : public TPersistent {
 public:
  TQelNotifyEvent OnChange;

 protected:
  // Calls the change callback when one is set.
  void Changed();
};

class TQelVector : public TQelProperty {
 public:
  TQelVector() = default;
  TQelVector(float x, float y, float z) : x_(x), y_(y), z_(z) {}
  std::string ClassName() const override { return "TQelVector"; }

  float X() const { return x_; }
  float Y() const { return y_; }
  float Z() const { return z_; }
  void SetX(float value) { SetComponent(x_, value); }
  void SetY(float value) { SetComponent(y_, value); }
  void SetZ(float value) { SetComponent(z_, value); }
  void SetXYZ(float x, float y, float z);

  // Copies X, Y and Z from another vector and calls the callback; any other
  // source changes nothing.
  void Assign(const TPersistent& source) override;

  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  void DefineProperties(TFiler& filer) override;

 protected:
  // Whether a component may take the value.
  virtual bool Accepts(float value) const {
    (void)value;
    return true;
  }

 private:
  void SetComponent(float& component, float value);
  float x_ = 0.0f, y_ = 0.0f, z_ = 0.0f;
};

class TQelPosition : public TQelVector {
 public:
  using TQelVector::TQelVector;
  std::string ClassName() const override { return "TQelPosition"; }
};

// Degrees about each axis.
class TQelRotation : public TQelVector {
 public:
  using TQelVector::TQelVector;
  std::string ClassName() const override { return "TQelRotation"; }
};

class TQelTranslation : public TQelVector {
 public:
  using TQelVector::TQelVector;
  std::string ClassName() const override { return "TQelTranslation"; }
};

class TQelScale : public TQelVector {
 public:
  TQelScale() : TQelVector(1.0f, 1.0f, 1.0f) {}
  std::string ClassName() const override { return "TQelScale"; }
};

// A direction takes components in -1 .. 1 only; others are ignored.
class TQelDirection : public TQelVector {
 public:
  TQelDirection() : TQelVector(0.0f, 0.0f, -1.0f) {}
  std::string ClassName() const override { return "TQelDirection"; }

 protected:
  bool Accepts(float value) const override { return value >= -1.0f && value <= 1.0f; }
};

// A colour ($00BBGGRR, or a system colour) with an alpha in 0 .. 1.
class TQelColor : public TQelProperty {
 public:
  TQelColor() = default;
  explicit TQelColor(TColor color, float alpha = 1.0f) : color_(color), alpha_(alpha) {}
  std::string ClassName() const override { return "TQelColor"; }

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  float Alpha() const { return alpha_; }
  // Values outside 0 .. 1 are ignored.
  void SetAlpha(float alpha);

  // Red, green and blue as bytes / 255 (system colours resolved first) and alpha.
  std::array<float, 4> ToGLColor() const;

  void Assign(const TPersistent& source) override;
  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  void DefineProperties(TFiler& filer) override;

 private:
  TColor color_ = clBlack;
  float alpha_ = 1.0f;
};

// The components of a colour as GL takes them (system colours resolved).
std::array<float, 4> GLColorOf(TColor color, float alpha = 1.0f);

class TQelComponent;

// Told when a component it watches is destroyed.
class TQelFreeNotification {
 public:
  virtual void QelComponentDestroyed(TQelComponent& component) = 0;

 protected:
  ~TQelFreeNotification() = default;
};

class TQelComponent : public TPersistent {
 public:
  TQelComponent() = default;
  ~TQelComponent() override;
  TQelComponent(const TQelComponent&) = delete;
  TQelComponent& operator=(const TQelComponent&) = delete;

  std::string Name;
  TQelNotifyEvent OnChange;

  // Fires OnChange when it is set.
  virtual void DoChange();
  void Changed() { DoChange(); }

  // Sets OnChange on behalf of owner; UnhookChange clears it only while that
  // owner's handler is still the one set, so a later hook is never lost.
  void HookChange(const void* owner, TQelNotifyEvent handler);
  void UnhookChange(const void* owner);

  // Assigning from another component fires DoChange (OnChange stays).
  void Assign(const TPersistent& source) override;

  void AddFreeNotification(TQelFreeNotification* listener);
  void RemoveFreeNotification(TQelFreeNotification* listener);

 private:
  const void* changeHookOwner_ = nullptr;
  std::vector<TQelFreeNotification*> freeListeners_;
};

// A component that sets GL state or draws when a view renders.
class TQelRender : public TQelComponent {
 public:
  TQelRender();
  std::string ClassName() const override { return "TQelRender"; }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Transform() const { return transform_; }
  void SetTransform(bool transform);
  TQelTranslation& Translation() { return translation_; }
  const TQelTranslation& Translation() const { return translation_; }
  void SetTranslation(const TQelVector& value) { translation_.Assign(value); }
  TQelRotation& Rotation() { return rotation_; }
  const TQelRotation& Rotation() const { return rotation_; }
  void SetRotation(const TQelVector& value) { rotation_.Assign(value); }
  TQelScale& Scale() { return scale_; }
  const TQelScale& Scale() const { return scale_; }
  void SetScale(const TQelVector& value) { scale_.Assign(value); }
  // Replaces the standard transform when set.
  TQelNotifyEvent OnTransform;

  // Copies Enabled, the three vectors and Transform (not OnTransform), then fires DoChange.
  void Assign(const TPersistent& source) override;

  // Whether the object may be written as keys (the base refuses).
  virtual bool CanStore() const { return false; }
  // Applies the transform when it is on; descendants draw after calling it.
  virtual void Render();
  // OnTransform, or rotation, scale and translation in that order.
  virtual void DoTransform();
  // Writes the object as key lines; raises EQelException when it cannot be stored.
  virtual void WriteKeys(TQelKeyWriter& writer);
  // Takes one key; true when its name was recognised.
  virtual bool ReadKey(const TQelKeyValueBase& key);
  virtual void ApplyRotation();
  virtual void ApplyScale();
  virtual void ApplyTranslation();
  // When enabled: pushes the matrix, renders and pops it again.
  virtual void Draw();

  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  TPersistent* FindSubObject(const std::string& name) override;

 protected:
  // Which transform properties the class publishes for streams.
  struct PublishedTransform {
    bool translation, rotation, scale, transform;
  };
  virtual PublishedTransform Published() const { return {false, false, false, false}; }

 private:
  bool enabled_ = true;
  bool transform_ = false;
  TQelTranslation translation_;
  TQelRotation rotation_;
  TQelScale scale_;
};

// A drawable scene object (3D text, shapes): drawing also saves and restores
// every GL attribute.
class TQelObject : public TQelRender {
 public:
  std::string ClassName() const override { return "TQelObject"; }
  void Draw() override;

 protected:
  PublishedTransform Published() const override { return {true, true, true, true}; }
};

// ---- Helpers for keys and streams shared by the library's classes ----------------------

// "<NAME X=.., Y=.., Z=..>"
void WriteVectorKey(TQelKeyWriter& writer, const std::string& name, const TQelVector& vector);
// "<NAME A=alpha, C=#colour>"
void WriteColorKey(TQelKeyWriter& writer, const std::string& name, const TQelColor& color);
void WriteIntegerKey(TQelKeyWriter& writer, const std::string& name, std::int64_t value);
void WriteFloatKey(TQelKeyWriter& writer, const std::string& name, double value);
void WriteTextKey(TQelKeyWriter& writer, const std::string& name, const std::string& value);
// Sub keys X, Y and Z that convert are taken; true (the key is recognised).
bool ReadVectorKey(const TQelKeyValueBase& key, TQelVector& vector);
// Sub keys A and C.
bool ReadColorKey(const TQelKeyValueBase& key, TQelColor& color);
// The value when it converts (and, for integers, lies in low .. high).
bool KeyFloat(const TQelKeyValueBase& key, double& value);
bool KeyInteger(const TQelKeyValueBase& key, std::int64_t low, std::int64_t high, std::int64_t& value);

// A Single property in streams: the published value is stored when it is not
// zero; a defined property of the same name carries an exact zero.
void WriteSingleProperty(TWriter& writer, const std::string& name, float value);
void DefineZeroSingle(TFiler& filer, const std::string& name, float value, const std::function<void(float)>& set);
// Reads an enumeration by its identifier; EReadError "Invalid property value" for another name.
int ReadEnumIdent(TReader& reader, const std::vector<std::string>& names);
// Sets up the library once: masks floating-point exceptions and registers
// the streamable classes.
void QelInitLibrary();
