// One image of a sprite: how long it shows, how it is made (a picture, plain
// text, 3D text, a rectangle, an ellipse or a line) and how it is drawn, with
// transparency, zoom, opacity and a soft drop shadow.
#pragma once

#include "imaging/MinGDIBitmapU.h"
#include "platform/Colors.h"
#include "platform/Geometry.h"
#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "scene/Painters.h"
#include "scene/Text3DFrame.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class TSprite;
class TAnimatedScene;
class TMoving;
class TGifFile;
class TAVIImage;
class TJPEGImage;
class TQelText;
class TQelCamera;
class TQelLight;
class TQelMaterial;
class TQelTexture;

// Kinds of frames.
enum : std::int32_t {
  fkPicture = 1,
  fkText = 2,
  fkText3D = 3,
  fkRectangle = 4,
  fkEllipse = 5,
  fkLine = 6,
};

// Kinds of kept sources of a picture frame.
enum : std::int32_t { fskJpeg = 1, fskGif = 2, fskAvi = 3 };

// Deleters of the kept source objects, so that this header needs only their names.
struct TGifFileDeleter {
  void operator()(TGifFile* gif) const;
};
struct TAVIImageDeleter {
  void operator()(TAVIImage* clip) const;
};
using TGifFilePtr = std::unique_ptr<TGifFile, TGifFileDeleter>;
using TAVIImagePtr = std::unique_ptr<TAVIImage, TAVIImageDeleter>;

// The bitmaps of a frame: memory-lean, so that hundreds of frames need few
// system resources. Restore before use, release after drawing on one.
using TFrameImage = TMinGDIBitmap;
void RestoreFrameImage(const TBitmap& image);
void ReleaseFrameImage(const TBitmap& image);

class TFrame {
 public:
  explicit TFrame(TSprite* sprite);
  ~TFrame();
  TFrame(const TFrame&) = delete;
  TFrame& operator=(const TFrame&) = delete;

  // ---- Picture and display image ----
  // Takes a copy of the bitmap as the picture and refreshes the display
  // image; a transparent frame picks its transparent colour (at x, y, or by
  // colour when x or y is below 0 or outside the image).
  void SetPicture(const TBitmap& bitmap, bool transparent, TColor color, int x, int y);
  void PickTransparentColor(TColor color, int x, int y);
  // Redraws the display image from the picture.
  void UpdateDisplayImage();
  // Draws the text into the picture with the 2D text parameters.
  void DrawTextImage();
  // Redraws the picture of a rectangle or ellipse frame from its shape integers.
  void RebuildImage();
  void SetFileName(const std::string& name) { FileName = name; }
  // Copies every field of the other frame (pictures, source, parameters), not its id.
  void Assign(const TFrame& other);

  // ---- Settings that record undo ----
  std::int32_t Duration() const { return duration_; }
  void SetDuration(std::int32_t value);
  // Sets the duration without recording undo (frames being built).
  void StoreDuration(std::int32_t value) { duration_ = value; }
  bool Transparent() const { return transparent_ != 0; }
  void SetTransparent(bool value);
  TColor TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(TColor value);
  // The transparent colour as drawn: the resolved colour when known, else the stored one.
  TColor DrawnTransparentColor() const { return ResolvedColorKnown != 0 ? ResolvedColor : transparentColor_; }
  // The transparent colour as the display image holds it: its pixel at the
  // pick point, or the stored colour when the point is not in the image.
  TColor SourceKeyColor();
  // Sets the transparency without recording undo.
  void StoreTransparency(bool transparent, TColor color);

  // ---- Kept sources ----
  bool HasSource() const;
  // Shows the next sub-frame of a kept source: -1 by elapsed time, n >= 1 sub-frame n.
  void AdvanceSource(int n);
  // Keeps the JPEG bytes and shows the decoded image.
  void LoadJpegSource(TJPEGImage& jpeg, bool transparent, TColor color);
  // Keeps the GIF file and shows its first composed image.
  void LoadGifSource(TGifFilePtr gif, bool transparent, TColor color);
  // Keeps the AVI clip and shows its first frame.
  void LoadAviSource(TAVIImagePtr clip, bool transparent, TColor color);
  // Forgets a kept source.
  void DropSource();
  TGifFile* GifSource() const { return gifSource_.get(); }
  TAVIImage* AviSource() const { return aviSource_.get(); }
  // Lets the three bitmaps and the images of a kept GIF give back their handles.
  void ReleaseImages();
  // True when the frame plays a kept GIF of several images or a kept AVI clip,
  // whose wrap to the start decides when the sprite moves to its next frame.
  bool PlaysKeptSource() const;
  // Whether the kept source wrapped to its start since the last call (the flag is consumed).
  bool TakeSourceWrap();
  // After the sprite moved on because of a wrap: the GIF starts again at its
  // first image, the clip's wrap flag is cleared.
  void RestartSourceAfterWrap();
  // A frame that keeps an AVI clip shows the clip's first frame, silently.
  void ShowFirstClipFrame();

  // ---- 3D text ----
  bool HasView() const { return Objects3D != nullptr; }
  // Renders the next 3D sub-frame when it is due.
  void RenderNext3D();
  // Sets the 3D objects to the look interpolated at t between the two
  // states (0 = start, 1 = end). Text, font, lights switched on and their
  // kinds come from the start state. The 3D text editor uses it too.
  static void Render3D(const T3DTextState& start, const T3DTextState& end, double t, TQelText& text,
                       TQelCamera& camera, TQelLight& light1, TQelLight& light2, TQelLight& light3,
                       TQelMaterial& material, TQelTexture& texture);
  // Loads a picture file (.BMP, .GIF, .JPG or .AVI) as the texture's bitmap,
  // each side cut to the largest power of two not above it. A file that
  // cannot be read leaves the texture without a picture; an empty name
  // changes nothing.
  static void LoadTextureFile(const std::string& fileName, TQelTexture& texture);

  // ---- Drawing ----
  // Draws the display image at (x, y) zoomed and with an opacity in per cent,
  // clipped to the scene's size (0 = no limit). Never raises.
  void Draw(TBitmap& target, int x, double zoomX, double zoomY, int y, int sceneWidth, int sceneHeight,
            double opacity);
  // Paints the motion's shadow through a mask made from image (the frame
  // drawn at its zoomed size on its transparent colour) at (x, y). Never raises.
  void DrawShadow(TBitmap& target, TBitmap& image, const TMoving& motion, int x, int y, int sceneWidth,
                  int sceneHeight);

  // ---- Records (written and read by the project file code) ----
  void SaveToStream(TStream& stream);
  void LoadFromStream(TStream& stream, bool fullRead);
  // The undo log's restore of a frame record into this frame, which the log
  // has just appended: with replace, the frame at the index (the one it
  // stands for) is freed; this frame then takes the index as its position.
  void RestoreFromUndo(TStream& stream, int index, bool replace);

  // Position in the sprite's frame list; -1 when not in one.
  int Index() const;
  TSprite* Sprite() const { return sprite_; }
  TAnimatedScene* Scene() const;

  std::uint8_t Dropped = 0;
  std::uint8_t ImageChanged = 0;
  TFrame3DObjectsPtr Objects3D;
  std::uint8_t SavePictures = 1;
  TPoint PickPoint{0, 0};
  std::uint8_t ResolvedColorKnown = 0;
  TColor ResolvedColor = 0;
  std::string FileName;
  TFrameImage Picture;
  TFrameImage DisplayImage;
  TFrameImage Mask;
  std::int32_t ImageWidth = 0, ImageHeight = 0;
  std::int32_t Kind = 0;
  std::uint8_t SourceKept = 0;
  std::int32_t SourceKind = 0;
  TMemoryStream KeptStream;
  std::int32_t SubFrameCounter = 0;
  std::string Text;
  TText2DParams TextParams;
  std::int32_t Id;
  T3DTextState StartState, EndState;
  std::int32_t SubFrameCount = 0;
  std::uint8_t Loop = 0;
  std::uint8_t Animation3D = 0;
  std::int32_t Countdown = 0;
  TShapeParams Shape;
  TPoint LineStart{0, 0}, LineEnd{0, 0};

 private:
  void DrawPlaceholder();
  void RecordFrameUndo(const char* caption);
  void ResolveTransparentColor(const TBitmap& target);
  void DrawImage(TBitmap& target, int x, int y, int w, int h, int opacity);
  void DrawTransparentUnscaled(TBitmap& target, int x, int y, int opacity);
  void DrawTransparentScaled(TBitmap& target, int x, int y, int w, int h, int opacity);
  void DrawOpaque(TBitmap& target, int x, int y, int w, int h, int opacity, bool zoomed);
  // Shows a drawing failure (once per run) and tells the scene, whose export
  // then refuses the step.
  void DrawingFailed(const std::string& text);
  void CopySourceFrom(const TFrame& other);
  void AdvanceGif(int n);
  void AdvanceAvi(int n);
  // After a full read: rebuilds a generated frame's picture when none was
  // stored, refreshes the display image and resets the mask.
  void FinishFullRead(bool pictureLoaded);
  // Redraws the picture of a generated frame (kinds 2 to 6) from its
  // parameters; false for other kinds. Errors are swallowed.
  bool RebuildPictureFromParameters();
  void RenderFirstSubFrameIntoPicture();

  TSprite* sprite_;
  std::int32_t duration_ = 1;
  std::uint8_t transparent_ = 0;
  TColor transparentColor_ = 0;
  // Pixel format of the target the resolved colour was determined for.
  TPixelFormat resolvedFormat_ = pf24bit;
  TGifFilePtr gifSource_;
  TAVIImagePtr aviSource_;

  // The last shadow mask made and what it was made from. A sprite's shadow
  // keeps its shape while the sprite moves, and the mask is the costly part
  // of drawing it.
  struct TShadowMaskCache {
    TBitmap image;  // the 24-bit picture that casts the shadow
    bool keyed = false;
    TColor key = 0;
    int blur = 0;
    TBitmap mask;
  };
  // The mask of image (keyed by key, blurred by blur), made or taken from the cache.
  const TBitmap& ShadowMaskOf(TBitmap& image, bool keyed, TColor key, int blur);
  std::unique_ptr<TShadowMaskCache> shadowMask_;

  // The last zoomed picture of a transparent frame and what it was made
  // from: a sprite's zoom changes its size only every few steps, and scaling
  // (resampling above all) costs more than drawing.
  struct TScaledPictureCache {
    TBitmap source;  // the display image as it was scaled
    int width = 0;
    int height = 0;
    TColor key = 0;
    bool resampled = false;
    TBitmap picture;
  };
  // The display image scaled to w x h on the key colour, made or taken from the cache.
  TBitmap& ScaledPictureOf(int w, int h, TColor key, bool resampled);
  std::unique_ptr<TScaledPictureCache> scaledPicture_;
};

// Shows a drawing failure in an error box once per run, so that a failing
// frame does not open a box at every step.
void ShowDrawingFailure(const std::string& text);
// How many drawing failure boxes were shown in this run: a caller that ends
// an operation over a failed drawing compares it with its count from before
// the operation, so that the failure is not told twice.
int ShownDrawingFailureCount();
// Forgets which failures were shown (for tests).
void ResetShownDrawingFailures();

// The first pixel of the colour (24 bits), searching column by column (x
// outer, y inner, both from 0); nullopt when none has it.
std::optional<TPoint> FindColorColumnwise(const TBitmap& image, TColor color);

// Whether a zoomed image of w x h placed at (x, y) shows inside a scene of the
// given size (0 = no limit), using the zoomed size for the left and top tests.
bool ImageShowsInScene(int x, int y, int w, int h, int sceneWidth, int sceneHeight);
