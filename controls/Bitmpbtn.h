// The editor's two button controls, painted through TCanvas:
//
// TBitmapButton: a speed button with a glyph strip and a caption whose face,
// bevel and caption colours are properties; the editor uses it mostly as a
// colour swatch (ButtonColor is the colour shown). Buttons of one parent with
// the same GroupIndex (not 0) act as a group: one of them is down at a time
// (all may be up when AllowAllUp).
//
//   auto* swatch = new TBitmapButton(page);
//   swatch->setObjectName("TextColor_Button");
//   swatch->SetBounds(8, 8, 40, 22);
//   swatch->SetButtonColor(clRed);
//   swatch->OnClick = [this](QObject* Sender) { ... };
//
// TBlackBitButton: a black push button (or a toggle when Fixed) with a lamp
// above its caption, lit in OnColor while IsOn and OffColor otherwise; a plain
// button's lamp is lit while its OnClick runs, a Fixed button's follows Down.
//
// The glyph companions: TGlyphList (an image list of one glyph size),
// TGlyphCache (one list per glyph size, shared by all buttons) and
// TButtonGlyph (a button's glyph strip, its state images and the layout and
// drawing of glyph and caption).
//
// Captions are Windows-1252 bytes; "&x" marks x as the accelerator (Alt+x
// clicks an enabled button) and is drawn underlined; "&&" is a plain "&".
// The font defaults to a new TFont's (MS Sans Serif, 8 points).
#pragma once

#include "controls/GraphicControl.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// The states a glyph strip has a cell for, in strip order.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// ---- Glyph images ---------------------------------------------------------------------

// An image list of one glyph size: slots holding an image and, for masked
// images, which pixels are background. Allocating takes the first free slot or
// appends one; deleting frees the slot (its image stays until reused).
class TGlyphList {
 public:
  TGlyphList(int AWidth, int AHeight);
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The number of used slots.
  int Count() const { return count_; }
  // Stores a copy of Image (its top-left glyph-sized part) and returns its index.
  int Add(const TBitmap& Image);
  // The same, with every pixel of MaskColor marked as background.
  int AddMasked(const TBitmap& Image, TColor MaskColor);
  void Delete(int Index);
  // Draws image Index with its top-left corner at (X, Y); background pixels
  // take Background.
  void Draw(TCanvas& Canvas, int X, int Y, int Index, TColor Background) const;

 private:
  struct Slot {
    std::unique_ptr<TBitmap> image;
    std::vector<bool> background;  // empty for an unmasked image
  };
  int AllocateIndex();
  int Store(const TBitmap& Image, std::optional<TColor> MaskColor);

  int width_;
  int height_;
  std::vector<Slot> slots_;
  std::vector<bool> used_;
  int count_ = 0;
};

// The glyph lists of all buttons, at most one per glyph size.
class TGlyphCache {
 public:
  // The list of that size (searched from the end), made when missing.
  TGlyphList& GetList(int AWidth, int AHeight);
  // Gives a list back: it is freed when no slot of it is used.
  void ReturnList(TGlyphList* List);
  bool Empty() const { return lists_.empty(); }
  int ListCount() const { return static_cast<int>(lists_.size()); }

 private:
  std::vector<std::unique_ptr<TGlyphList>> lists_;
};

// A button's glyph: the strip as assigned, the images of its states (built on
// first use, rebuilt after any change of the strip, the glyph count or the
// colours) and the drawing of glyph and caption.
class TButtonGlyph {
 public:
  TButtonGlyph();
  ~TButtonGlyph();
  TButtonGlyph(const TButtonGlyph&) = delete;
  TButtonGlyph& operator=(const TButtonGlyph&) = delete;

  // The strip. Drawing on it (its change event) re-reads the transparent
  // colour and drops the state images.
  TBitmap& Glyph() { return original_; }
  const TBitmap& Glyph() const { return original_; }
  // Copies Value into the strip (nullptr empties it). With a height, the
  // transparent colour becomes Value's own and, when the width is a whole
  // multiple of the height, the glyph count becomes width div height (1 when
  // that is 5 or more).
  void SetGlyph(const TBitmap* Value);
  int NumGlyphs() const { return numGlyphs_; }
  // 1 to 4; larger counts become 4, counts below 1 are refused.
  void SetNumGlyphs(int Value);
  TColor TransparentColor() const { return transparentColor_; }

  // The button's colours, copied in by its setters.
  void SetFaceColor(TColor Value);
  void SetLightColor(TColor Value);
  void SetDarkColor(TColor Value);
  void SetBevelWidth(int Value) { bevelWidth_ = Value; }
  void SetTextColor(TColor Value) { textColor_ = Value; }
  void SetTextShadowColor(TColor Value) { textShadowColor_ = Value; }
  void SetTextShadowShift(int Value) { textShadowShift_ = Value; }

  // Lays out glyph and caption in Client (moved by Offset) and draws them
  // with the canvas's font; returns the caption's rectangle.
  TRect Draw(TCanvas& Canvas, const TRect& Client, TPoint Offset, const std::string& Caption,
             TButtonLayout Layout, int Margin, int Spacing, TButtonState State);
  // Where the glyph's top-left corner and the caption's rectangle go.
  void CalcButtonLayout(TCanvas& Canvas, const TRect& Client, TPoint Offset, const std::string& Caption,
                        TButtonLayout Layout, int Margin, int Spacing, TPoint& GlyphPos, TRect& TextBounds) const;
  // The glyph-list index of a state's image, built when missing; -1 without a glyph.
  int CreateButtonGlyph(TButtonState State);
  // Drops every state image (they are rebuilt when next drawn).
  void Invalidate();
  // The size of one glyph cell; (0, 0) without a glyph.
  TSize GlyphSize() const;
  // The repaint of the owning button.
  std::function<void()> OnChange;

 private:
  void GlyphChanged();
  std::unique_ptr<TBitmap> StateImage(TButtonState State) const;

  TBitmap original_;
  TGlyphList* glyphList_ = nullptr;  // from the shared cache, given back when done
  std::array<int, 4> indexes_{-1, -1, -1, -1};
  TColor transparentColor_ = clOlive;
  int numGlyphs_ = 1;
  TColor faceColor_ = clBtnFace;
  TColor lightColor_ = clWindow;
  TColor darkColor_ = clBtnShadow;
  int bevelWidth_ = 2;
  TColor textColor_ = clWindow;
  TColor textShadowColor_ = clBtnText;
  int textShadowShift_ = 1;
};

// The cache shared by all glyphs; nullptr when no glyph exists.
TGlyphCache* GlyphCache();

// ---- TBitmapButton -------------------------------------------------------------------------

class TBitmapButton : public TGraphicControl {
  Q_OBJECT

 public:
  // 25 x 25 at creation.
  explicit TBitmapButton(QWidget* parent = nullptr);
  ~TBitmapButton() override;

  // ---- Glyph and caption ----
  TBitmap& Glyph() { return glyph_.Glyph(); }
  void SetGlyph(const TBitmap* Value);
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  // 1 to 4; larger counts become 4; counts below 1 are refused.
  void SetNumGlyphs(int Value);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& Value);

  // ---- Layout (a change repaints) ----
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout Value);
  // -1 centres glyph and caption; values below -1 are refused.
  int Margin() const { return margin_; }
  void SetMargin(int Value);
  // -1 spreads glyph and caption evenly.
  int Spacing() const { return spacing_; }
  void SetSpacing(int Value);

  // ---- Colours and widths (store, copy into the glyph, repaint) ----
  TColor ButtonColor() const { return buttonColor_; }
  void SetButtonColor(TColor Value);
  TColor ShadowLight() const { return shadowLight_; }
  void SetShadowLight(TColor Value);
  TColor ShadowDark() const { return shadowDark_; }
  void SetShadowDark(TColor Value);
  int ShadowWidth() const { return shadowWidth_; }
  void SetShadowWidth(int Value);
  TColor TextColor() const { return textColor_; }
  void SetTextColor(TColor Value);
  TColor TextShadowColor() const { return textShadowColor_; }
  void SetTextShadowColor(TColor Value);
  // Negative shifts are refused; 0 draws the caption without its shadow.
  int TextShadowShift() const { return textShadowShift_; }
  void SetTextShadowShift(int Value);

  // ---- Groups ----
  bool Down() const { return down_; }
  // Always false without a group; the down button of a group stays down
  // unless AllowAllUp. Going down raises the group's other down button.
  void SetDown(bool Value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int Value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool Value);
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int Value) { helpContext_ = Value; }
  TButtonState State() const { return state_; }

  // The notice of a button that went down (or changed its group settings),
  // sent to every TBitmapButton of the same parent: one of the same group
  // that is down goes up when the sender is down, and takes the sender's
  // AllowAllUp.
  void ButtonPressed(int AGroupIndex, TBitmapButton* Sender);

  // ---- Handlers ----
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  // A release inside after a press on the button fires OnClick (there is no
  // automatic click): in a group it toggles Down first.
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // OnDblClick fires only while Down.
  void DblClick() override;

 protected:
  void Paint() override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void UpdateExclusive();
  void CopyColorsToGlyph();
  bool Inside(int X, int Y) const;

  TButtonGlyph glyph_;
  std::string caption_;
  TFont font_;
  int shortcutId_ = 0;
  int groupIndex_ = 0;
  bool down_ = false;
  bool dragging_ = false;
  bool allowAllUp_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int spacing_ = 4;
  int margin_ = -1;
  TColor buttonColor_ = clBtnFace;
  TColor shadowLight_ = clWindow;
  TColor shadowDark_ = clBtnShadow;
  TColor textColor_ = clWindow;
  TColor textShadowColor_ = clBtnText;
  int textShadowShift_ = 1;
  int shadowWidth_ = 2;
  int helpContext_ = 0;
  TButtonState state_ = bsUp;
};

// ---- TBlackBitButton ----------------------------------------------------------------------

class TBlackBitButton : public TGraphicControl {
  Q_OBJECT

 public:
  // 65 x 35 at creation.
  explicit TBlackBitButton(QWidget* parent = nullptr);
  ~TBlackBitButton() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& Value);

  bool Down() const { return down_; }
  // Sets the pressed look when Value, and IsOn from Value.
  void SetDown(bool Value);
  // Which lamp colour shows.
  bool IsOn() const { return isOn_; }
  void SetIsOn(bool Value);
  // A Fixed button is a toggle: each press flips Down.
  bool Fixed() const { return fixed_; }
  void SetFixed(bool Value);
  TColor BtnColor() const { return btnColor_; }
  void SetBtnColor(TColor Value);
  TColor OnColor() const { return onColor_; }
  void SetOnColor(TColor Value);
  TColor OffColor() const { return offColor_; }
  void SetOffColor(TColor Value);
  int LightWidth() const { return lightWidth_; }
  void SetLightWidth(int Value);
  int LightHeight() const { return lightHeight_; }
  void SetLightHeight(int Value);
  // Whether the pressed look shows.
  bool Pressed() const { return pressed_; }
  // The lamp's rectangle (L, T, R, B) as painted: the sunken edge runs along
  // L and T, the lit edge along R and B, the light fills (L + 1, T + 1)-(R, B).
  TRect LampRect() const;

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Lights the lamp from the pressed look, then fires OnClick.
  void Click() override;

 protected:
  void Paint() override;
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  bool Inside(int X, int Y) const;

  std::string caption_;
  TFont font_;
  int shortcutId_ = 0;
  bool down_ = false;
  bool dragging_ = false;
  TColor btnColor_ = clBlack;
  TColor offColor_ = clLime;
  TColor onColor_ = clLime;
  bool pressed_ = false;
  bool isOn_ = false;
  int lightWidth_ = 15;
  int lightHeight_ = 8;
  bool fixed_ = false;
};
