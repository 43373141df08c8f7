#include "app/core/StarterSet.h"

#include "app/core/FrameDefaults.h"
#include "imaging/GifUnit.h"
#include "imaging/utils.h"
#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

const char* const kBannersFolder = "Animations/Banners/";
const char* const kButtonsFolder = "Animations/Buttons/";
const char* const kLogosFolder = "Animations/Logos/";
const char* const k3DAnimationPresetsFolder = "Animations/3D Animation Presets/";
const char* const kColorPresetsFolder = "Animations/Color Presets/";
const char* const kMotionPresetsFolder = "Animations/Motion Presets/";
const char* const kPicturePresetsFolder = "Pictures/Presets/";

namespace {

constexpr TColor kNavy = 0x00603010, kSky = 0x00F0C080, kGold = 0x0000C0FF, kOrange = 0x000080FF;

std::unique_ptr<TAnimatedScene> NewScene(int width, int height, TColor from, TColor to, int angle) {
  auto scene = std::make_unique<TAnimatedScene>();
  scene->Width = width;
  scene->Height = height;
  scene->StepCount = 60;
  scene->BackgroundMode = bgmFillAndPicture;
  scene->StartColor = from;
  scene->FinishColor = to;
  scene->FillAngle = angle;
  scene->SetBackground(true, bgmFillAndPicture, "", from, to, ppNone, nullptr);
  return scene;
}

TSprite& NewSprite(TAnimatedScene& scene, const std::string& name) {
  int index = 0;
  TSprite& sprite = *scene.AddSprite(index);
  sprite.Name = name;
  return sprite;
}

TText2DParams TextLook(TColor color, int height, bool bold, TColor background) {
  TText2DParams params = DefaultPlainText().Params;
  params.FontName = "Arial";
  params.FontHeight = -height;
  params.Style = bold ? fsBold : 0;
  params.TextColor = static_cast<std::int32_t>(color);
  params.BackgroundColor = static_cast<std::int32_t>(background);
  params.Charset = 0;
  return params;
}

// A plain text frame keyed on its background colour.
void AddTextFrame(TSprite& sprite, const std::string& text, const TText2DParams& params) {
  TBitmap picture;
  DrawText2D(picture, text, params);
  sprite.AddFrame();
  sprite.ChangeText(sprite.FrameCount() - 1, text, params, picture, true,
                    static_cast<TColor>(params.BackgroundColor));
}

void AddShapeFrame(TSprite& sprite, std::int32_t kind, int w, int h, TColor from, TColor to, int corner) {
  TShapeFrameDefaults look = kind == fkRectangle ? DefaultRectangleFrame() : DefaultEllipseFrame();
  look.Shape.FillColor1 = static_cast<std::int32_t>(from);
  look.Shape.FillColor2 = static_cast<std::int32_t>(to);
  look.Shape.CornerSize = corner;
  look.Shape.BevelWidth = kind == fkRectangle ? 2 : 0;
  sprite.AddShape(kind, w, h, look.Shape, true, clWhite);
}

TMovingStepValues Line(double x1, double y1, double x2, double y2, double speed) {
  TMovingStepValues v;
  v.Kind = mskLine;
  v.X1 = x1, v.Y1 = y1, v.X2 = x2, v.Y2 = y2;
  v.StartX = x1, v.StartY = y1;
  v.SpeedStart = v.SpeedEnd = speed;
  return v;
}

TMovingStepValues Hold(double x, double y, int duration) {
  TMovingStepValues v;
  v.Kind = mskHold;
  v.X1 = x, v.Y1 = y, v.X2 = x + 40, v.Y2 = y + 40;
  v.StartX = x, v.StartY = y;
  v.Duration = duration;
  return v;
}

void AddStep(TSprite& sprite, const TMovingStepValues& values) { sprite.Motion().AddStepWith(values, &sprite); }

// Writes the project file and its checksum trailer.
void SaveProject(TAnimatedScene& scene, const std::string& fileName) {
  {
    TFileStream out(fileName, fmCreate);
    scene.SaveToStream(out, 0, 1024);
  }
  if (scene.Failed != 0) throw EWriteError("Cannot write " + fileName);
  if (!StampFileChecksum(fileName)) throw EWriteError("Cannot stamp " + fileName);
}

// 3D text frames get their pictures by a round trip without pictures: the
// reader renders the first sub-frame of every 3D text frame it rebuilds.
std::unique_ptr<TAnimatedScene> WithRendered3DPictures(TAnimatedScene& scene) {
  TMemoryStream body;
  scene.OmitGeneratedImages = 1;
  scene.WritePreview = 0;
  scene.SaveToStream(body, 0, 1024);
  body.SetPosition(0);
  auto rendered = std::make_unique<TAnimatedScene>();
  rendered->LoadFromStream(body);
  if (rendered->Failed != 0) throw EReadError("A starter scene could not be read back");
  rendered->OmitGeneratedImages = 0;
  rendered->WritePreview = 1;
  return rendered;
}

// ---- Templates ---------------------------------------------------------------------------------------

void Banner(const std::string& file, int w, int h, TColor from, TColor to, const std::string& title,
            const std::string& subtitle) {
  auto scene = NewScene(w, h, from, to, 0);
  TSprite& box = NewSprite(*scene, "Badge");
  AddShapeFrame(box, fkEllipse, h - 10, h - 10, kGold, kOrange, 0);
  AddStep(box, Hold(8, 5, 20));
  AddStep(box, Line(8, 5, w - h, 5, 12));
  AddStep(box, Line(w - h, 5, 8, 5, 12));
  TSprite& text = NewSprite(*scene, title);
  AddTextFrame(text, title, TextLook(clWhite, h / 3, true, clBlack));
  AddStep(text, Hold(h + 10, h / 8, -1));
  TSprite& second = NewSprite(*scene, subtitle);
  AddTextFrame(second, subtitle, TextLook(kGold, h / 4, false, clBlack));
  AddStep(second, Hold(h + 10, h / 2 + 4, -1));
  second.AddInterval(1, 40);
  SaveProject(*scene, file);
}

void Button(const std::string& file, int w, int h, TColor from, TColor to, const std::string& caption) {
  auto scene = NewScene(w, h, clWhite, clWhite, 90);
  TSprite& face = NewSprite(*scene, "Face");
  AddShapeFrame(face, fkRectangle, w, h, from, to, h / 2);
  AddShapeFrame(face, fkRectangle, w, h, to, from, h / 2);
  face.Frame(0).StoreDuration(10);
  face.Frame(1).StoreDuration(10);
  AddStep(face, Hold(0, 0, -1));
  TSprite& label = NewSprite(*scene, caption);
  AddTextFrame(label, caption, TextLook(clWhite, h / 2, true, clBlack));
  AddStep(label, Hold(w / 4, h / 4, -1));
  SaveProject(*scene, file);
}

void Logo(const std::string& file, int w, int h, TColor from, TColor to, const std::string& name) {
  auto scene = NewScene(w, h, from, to, 90);
  TSprite& sun = NewSprite(*scene, "Sun");
  AddShapeFrame(sun, fkEllipse, h / 2, h / 2, kGold, kOrange, 0);
  AddStep(sun, Hold(w / 2 - h / 4, h / 10, 20));
  AddStep(sun, Line(w / 2 - h / 4, h / 10, w / 2 - h / 4, h / 5, 1));
  AddStep(sun, Line(w / 2 - h / 4, h / 5, w / 2 - h / 4, h / 10, 1));
  TSprite& title = NewSprite(*scene, name);
  AddTextFrame(title, name, TextLook(clWhite, h / 5, true, clBlack));
  AddStep(title, Hold(w / 8, h * 2 / 3, -1));
  SaveProject(*scene, file);
}

// ---- Gallery presets --------------------------------------------------------------------------------

// A preset scene: one sprite whose one frame is 3D text between two states.
void Preset3D(const std::string& file, const std::function<void(T3DTextState&, T3DTextState&)>& shape) {
  auto scene = NewScene(230, 80, clBlack, clBlack, 0);
  TSprite& sprite = NewSprite(*scene, "Preset");
  T3DTextState start = Default3DTextState(), end = Default3DTextState();
  start.Text = end.Text = "Gleam";
  for (T3DTextState* state : {&start, &end}) {
    // The text's middle at the origin, as the editor centres it, seen from further away.
    state->TextPositionX = -1.25;
    state->TextPositionY = -0.35;
    state->TextPositionZ = state->Depth / 2;
    state->CameraPositionZ = 5.5;
  }
  shape(start, end);
  TBitmap blank;
  blank.SetPixelFormat(pf24bit);
  blank.SetSize(start.ImageWidth, start.ImageHeight);
  const int index = sprite.Add3DText(start, blank, false, clWhite);
  TFrame& frame = sprite.Frame(index);
  frame.EndState = end;
  frame.Text = start.Text;
  frame.Animation3D = start == end ? 0 : 1;
  frame.SubFrameCount = 15;
  frame.Loop = 1;
  AddStep(sprite, Hold(0, 0, -1));
  auto rendered = WithRendered3DPictures(*scene);
  SaveProject(*rendered, file);
}

void SetLight(T3DTextState& state, TColor color, double x, double y) {
  state.Lights[0].Color = color;
  state.Lights[0].DirectionX = x;
  state.Lights[0].DirectionY = y;
}

void MotionPreset(const std::string& file, const std::vector<TMovingStepValues>& steps) {
  auto scene = NewScene(400, 150, kSky, clWhite, 90);
  TSprite& sprite = NewSprite(*scene, "Motion");
  AddShapeFrame(sprite, fkEllipse, 30, 30, kOrange, kGold, 0);
  for (const TMovingStepValues& step : steps) AddStep(sprite, step);
  SaveProject(*scene, file);
}

// ---- Preset pictures ---------------------------------------------------------------------------------

void PresetGif(const std::string& file, const std::vector<std::function<void(TCanvas&)>>& images, TColor key) {
  TGifFile gif;
  for (const auto& draw : images) {
    TBitmap image;
    image.SetPixelFormat(pf24bit);
    image.Canvas().Brush().Color = key;
    image.SetSize(48, 48);
    image.Canvas().FillRect(Rect(0, 0, 48, 48));
    draw(image.Canvas());
    image.SetPixelFormat(pf8bit);
    gif.AddGraphic(image);
    TGifSubImage& sub = *gif.GetSubImage(gif.ImageCount());
    sub.SetDelay(images.size() > 1 ? 40 : 0);
    sub.SetTransparentColor(key);
  }
  if (images.size() > 1) gif.GetSubImage(1)->SetLoopCount(0);
  gif.SaveToFile(file);
}

void FillPolygon(TCanvas& canvas, TColor color, const std::vector<TPoint>& points) {
  canvas.Brush().Color = color;
  canvas.Pen().Color = color;
  canvas.Polygon(points);
}

}  // namespace

void WriteStarterSet(const std::string& programFolder) {
  std::string root = programFolder;
  if (!root.empty() && root.back() != '/') root += '/';
  for (const char* folder : {kBannersFolder, kButtonsFolder, kLogosFolder, k3DAnimationPresetsFolder,
                             kColorPresetsFolder, kMotionPresetsFolder, kPicturePresetsFolder})
    std::filesystem::create_directories(root + folder);

  // Projects are written in the newest format whatever was set before.
  SaveVersion = kNewestFormatVersion;

  const std::string banners = root + kBannersFolder;
  Banner(banners + "Spring Sale.GLM", 468, 60, kNavy, 0x00C06020, "Spring Sale", "Everything must go!");
  Banner(banners + "Welcome.GLM", 400, 51, 0x00206020, 0x0060C060, "Welcome", "to our new web site");
  Banner(banners + "Grand Opening.GLM", 468, 60, 0x00202080, 0x004040F0, "Grand Opening", "Come and see");

  const std::string buttons = root + kButtonsFolder;
  Button(buttons + "Click Here.GLM", 250, 40, 0x00C06000, 0x00FFC080, "Click Here");
  Button(buttons + "Buy Now.GLM", 250, 40, 0x00008000, 0x0080FF80, "Buy Now");
  Button(buttons + "Next.GLM", 120, 40, 0x00404040, 0x00C0C0C0, "Next");

  const std::string logos = root + kLogosFolder;
  Logo(logos + "Sunrise.GLM", 400, 150, kNavy, kSky, "Sunrise Studio");
  Logo(logos + "Evening.GLM", 400, 150, 0x00400020, 0x004080F0, "Evening Cafe");
  Logo(logos + "Blue Sky.GLM", 300, 150, kSky, clWhite, "Blue Sky");

  const std::string animations = root + k3DAnimationPresetsFolder;
  Preset3D(animations + "Spin.GLM", [](T3DTextState&, T3DTextState& e) { e.TextRotationY = 360; });
  Preset3D(animations + "Zoom In.GLM", [](T3DTextState& s, T3DTextState&) { s.CameraPositionZ = 14; });
  Preset3D(animations + "Swing.GLM", [](T3DTextState& s, T3DTextState& e) {
    s.TextRotationZ = -25;
    e.TextRotationZ = 25;
  });
  Preset3D(animations + "Tumble.GLM", [](T3DTextState& s, T3DTextState& e) {
    s.TextRotationX = -90;
    e.Depth = 0.6;
  });

  const std::string colors = root + kColorPresetsFolder;
  Preset3D(colors + "Gold.GLM", [](T3DTextState& s, T3DTextState& e) {
    for (T3DTextState* state : {&s, &e}) {
      SetLight(*state, 0x0080FFFF, 0.2, 0.2);
      state->MaterialColor = 0x000090D0;
      state->Shininess = 90;
    }
  });
  Preset3D(colors + "Ice.GLM", [](T3DTextState& s, T3DTextState& e) {
    for (T3DTextState* state : {&s, &e}) {
      SetLight(*state, 0x00FFFFFF, -0.3, 0.3);
      state->MaterialColor = 0x00FFD0A0;
      state->Shininess = 120;
    }
  });
  Preset3D(colors + "Fire.GLM", [](T3DTextState& s, T3DTextState& e) {
    for (T3DTextState* state : {&s, &e}) {
      SetLight(*state, 0x000060FF, 0.0, -0.3);
      state->Lights[1] = state->Lights[0];
      state->Lights[1].Color = 0x0000C0FF;
      state->Lights[1].DirectionX = 0.5;
      state->MaterialColor = 0x000020A0;
    }
  });

  const std::string motions = root + kMotionPresetsFolder;
  MotionPreset(motions + "Fly In From Left.GLM", {Line(-40, 60, 180, 60, 8), Hold(180, 60, 20)});
  MotionPreset(motions + "Drop And Bounce.GLM",
               {Line(180, 0, 180, 110, 10), Line(180, 110, 180, 70, 4), Line(180, 70, 180, 110, 4),
                Hold(180, 110, 20)});
  MotionPreset(motions + "Zigzag.GLM",
               {Line(10, 20, 110, 100, 5), Line(110, 100, 210, 20, 5), Line(210, 20, 310, 100, 5),
                Hold(310, 100, 10)});
  TMovingStepValues grow = Hold(185, 60, 30);
  grow.ZoomXStart = grow.ZoomYStart = 0.2;
  grow.ZoomXEnd = grow.ZoomYEnd = 2.0;
  MotionPreset(motions + "Grow.GLM", {grow});

  const std::string pictures = root + kPicturePresetsFolder;
  PresetGif(pictures + "Star.gif",
            {[](TCanvas& c) {
              FillPolygon(c, kGold, {{24, 2}, {30, 18}, {46, 18}, {33, 28}, {38, 45}, {24, 35}, {10, 45}, {15, 28},
                                     {2, 18}, {18, 18}});
            }},
            clWhite);
  PresetGif(pictures + "Arrow.gif",
            {[](TCanvas& c) {
              FillPolygon(c, 0x00C03000, {{4, 18}, {26, 18}, {26, 6}, {44, 24}, {26, 42}, {26, 30}, {4, 30}});
            }},
            clWhite);
  PresetGif(pictures + "New.gif",
            {[](TCanvas& c) {
               FillPolygon(c, clRed, {{24, 2}, {46, 24}, {24, 46}, {2, 24}});
               c.Font().Color = clWhite;
               c.Font().Name = "Arial";
               c.Font().SetHeight(-13);
               c.Font().Style = fsBold;
               c.Brush().Style = bsClear;
               c.TextOut(9, 16, "NEW");
             },
             [](TCanvas& c) { FillPolygon(c, kGold, {{24, 2}, {46, 24}, {24, 46}, {2, 24}}); }},
            clWhite);
}
