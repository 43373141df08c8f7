#include "dialogs/core/ExportFrameList.h"

#include "dialogs/core/ExportProgress.h"
#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "imaging/utils.h"
#include "tests/dialogs/core/ExportTestSupport.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class ExportFrames : public testing::Test {
 protected:
  ExportFrames() : list(frames, composition) {}

  TSetOfBitmapsItem& Add(int w, int h, TColor color, int delay = 10, int left = 0, int top = 0) {
    frames.push_back(SolidItem(w, h, color, delay));
    frames.back()->Left = left;
    frames.back()->Top = top;
    return *frames.back();
  }
  // The delays of the frames, in order.
  std::vector<int> Delays() const {
    std::vector<int> delays;
    for (const auto& f : frames) delays.push_back(f->Delay);
    return delays;
  }

  TSetOfBitmaps frames;
  TExportComposition composition;
  TExportFrameList list;
  TempDir dir;
};

}  // namespace

// ---- Grid texts ------------------------------------------------------------------------------------

TEST_F(ExportFrames, TheGridHasAHeaderRowOnceThereAreFramesAndEachThumbnailItsHint) {
  EXPECT_EQ(std::pair(list.GridRowCount(), list.FixedGridRows()), std::pair(1, 0));
  EXPECT_FALSE(list.CanEditFrames());
  frames.push_back(IndexedItem(468, 60, {clWhite, clRed}));
  Add(20, 10, clBlue);
  EXPECT_EQ(std::pair(list.GridRowCount(), list.FixedGridRows()), std::pair(3, 1));
  EXPECT_TRUE(list.CanMoveFrames());
  EXPECT_EQ(list.FrameHint(0), "Image: 468x60 pxs,\rFormat: 256 colors, (8 bit)\rTotal: 2 Images.");
  EXPECT_EQ(list.FrameHint(1), "Image: 20x10 pxs,\rFormat: 16 million colors, (24 bit)\rTotal: 2 Images.");
  EXPECT_EQ(list.FrameHint(2), "");
  EXPECT_EQ(TExportFrameList::FrameNumberText(0), "000");
  EXPECT_EQ(TExportFrameList::FrameNumberText(12), "012");
  EXPECT_EQ(TExportFrameList::FrameNumberText(1000), "1000");
}

// ---- The player ------------------------------------------------------------------------------------

TEST_F(ExportFrames, EachFrameShowsForItsDelayInWholeTicksAtLeastOne) {
  EXPECT_EQ(TExportFrameList::TicksForDelay(0), 1);
  EXPECT_EQ(TExportFrameList::TicksForDelay(5), 1);
  EXPECT_EQ(TExportFrameList::TicksForDelay(6), 2);
  EXPECT_EQ(TExportFrameList::TicksForDelay(12), 3);
  Add(4, 4, clRed, 12);
  Add(4, 4, clBlue, 0);
  Add(4, 4, clLime, 10);
  // Frame 1 (delay 12) for three ticks, frame 2 (0) for one, frame 3 (10) for two.
  std::vector<int> shown;
  for (int tick = 0; tick < 12; ++tick) {
    const TExportFrameList::TTick t = list.Tick(-1);
    EXPECT_FALSE(t.stop);
    if (t.advanced) shown.push_back(tick);
  }
  EXPECT_EQ(shown, (std::vector<int>{2, 3, 5, 8, 9, 11}));
}

TEST_F(ExportFrames, PlayingOnceStopsOnTheLastFrameAndAnEmptyListStopsAtOnce) {
  EXPECT_TRUE(list.Tick(0).stop);
  Add(4, 4, clRed, 5);
  Add(4, 4, clBlue, 5);
  Add(4, 4, clLime, 5);
  EXPECT_FALSE(list.Tick(0).stop);
  const TExportFrameList::TTick last = list.Tick(0);
  EXPECT_TRUE(last.advanced);
  EXPECT_TRUE(last.stop);
  EXPECT_EQ(list.CurrentFrame(), 2);
  const TExportFrameList::TTick repeating = list.Tick(3);  // any other loop count wraps
  EXPECT_EQ(std::tuple(repeating.advanced, repeating.stop, list.CurrentFrame()), std::tuple(true, false, 0));
}

TEST_F(ExportFrames, ThePlayerComposesTheFramesAtTheirPlacesOverGrey) {
  Add(6, 4, clWhite);
  Add(2, 2, clRed, 10, 1, 1);
  Add(2, 2, clBlue, 10, 3, 2).Disposal = 2;
  Add(1, 1, clLime, 10, 5, 0);
  TBitmap player;
  MakeSolid(player, 8, 5, clBlack);
  list.ShowComposedFrame(player, 2);
  EXPECT_EQ(list.CurrentFrame(), 2);
  EXPECT_EQ(std::tuple(player.Pixel(0, 0), player.Pixel(1, 1), player.Pixel(3, 2), player.Pixel(7, 4)),
            std::tuple(clWhite, clRed, clBlue, TColor{kPlayerBackground}));
  EXPECT_EQ(list.OutlineRect(2), Rect(2, 1, 5, 4));
  list.ShowNextFrame(player);  // the blue frame's area goes back to white first
  EXPECT_EQ(std::tuple(list.CurrentFrame(), player.Pixel(3, 2), player.Pixel(5, 0)), std::tuple(3, clWhite, clLime));
  list.ShowNextFrame(player);  // the last wraps to the first
  EXPECT_EQ(list.CurrentFrame(), 0);
  list.ShowPreviousFrame(player);  // the first stays the first
  EXPECT_EQ(list.CurrentFrame(), 0);
  list.SetCurrentFrame(3);
  list.ShowPreviousFrame(player);
  EXPECT_EQ(std::tuple(list.CurrentFrame(), player.Pixel(3, 2)), std::tuple(2, clBlue));
  list.SetCurrentFrame(9);
  EXPECT_EQ(list.CurrentFrame(), 0);
  EXPECT_TRUE(list.InsideFrame(2, Point(4, 3)));
  EXPECT_FALSE(list.InsideFrame(2, Point(3, 3)));  // on its edge
  EXPECT_EQ(TExportFrameList::DraggedPlace(Point(10, 7), Point(2, 1)), Point(8, 6));
}

// ---- Frame parameters ----------------------------------------------------------------------------

TEST_F(ExportFrames, ParametersGoToOneFrameOrToAllAndShortFramesAreNeverInterlaced) {
  Add(10, 12, clWhite);
  Add(10, 8, clWhite);
  list.SetDelay(0, 40);
  list.SetDisposal(1, 2);
  list.SetInterlaced(0, true);
  list.SetInterlaced(1, true);  // 8 rows: not stored
  EXPECT_EQ(std::tuple(frames[0]->Delay, frames[1]->Disposal, frames[0]->Interlaced(), frames[1]->Interlaced()),
            std::tuple(40, std::uint8_t{2}, std::uint8_t{1}, std::uint8_t{0}));
  list.SetLeftToAll(7);
  list.SetTopToAll(-3);
  list.SetDelayToAll(15);
  list.SetDisposalToAll(3);
  for (const auto& f : frames) EXPECT_EQ(std::tuple(f->Left, f->Top, f->Delay, f->Disposal), std::tuple(7, -3, 15, std::uint8_t{3}));
  list.SetDelay(5, 99);  // no such frame: nothing happens
  EXPECT_EQ(Delays(), (std::vector<int>{15, 15}));
}

TEST_F(ExportFrames, TransparencyKeepsThePickAndPaletteIndexUnlessTheyAreLeftAlone) {
  Add(4, 4, clWhite);
  Add(4, 4, clWhite);
  list.SetFrameTransparency(1, clRed, true, TExportFrameList::PaletteIndexOfCell(2, 3), -1, -1);
  EXPECT_EQ(std::tuple(frames[1]->Transparent, frames[1]->Bitmap->TransparentColor(), frames[1]->TransparentIndex),
            std::tuple(std::uint8_t{1}, clRed, 35));
  list.SetFrameTransparency(1, clBlue, false, -2, -2, -2);  // the check box alone
  EXPECT_EQ(std::tuple(frames[1]->Transparent, frames[1]->TransparentIndex, frames[1]->TransparentX),
            std::tuple(std::uint8_t{0}, 35, -1));
  list.SetFrameTransparency(0, clLime, true, -1, 2, 3);  // picked in the player
  EXPECT_EQ(std::tuple(frames[0]->TransparentX, frames[0]->TransparentY), std::tuple(3, 2));
  list.SetTransparencyToAll(clBlack, true);
  for (const auto& f : frames) EXPECT_EQ(std::pair(f->Transparent, f->Bitmap->TransparentColor()), std::pair(std::uint8_t{1}, clBlack));
}

// ---- List editing ----------------------------------------------------------------------------------

TEST_F(ExportFrames, FramesAreDeletedAndMovedOnePlaceAtATime) {
  for (int delay : {1, 2, 3}) Add(4, 4, clWhite, delay);
  EXPECT_FALSE(list.MoveUp(0));
  EXPECT_FALSE(list.MoveDown(2));
  EXPECT_TRUE(list.MoveUp(2));
  EXPECT_EQ(Delays(), (std::vector<int>{1, 3, 2}));
  EXPECT_TRUE(list.MoveDown(0));
  EXPECT_EQ(Delays(), (std::vector<int>{3, 1, 2}));
  list.SetCurrentFrame(2);
  list.Delete(2);
  EXPECT_EQ(Delays(), (std::vector<int>{3, 1}));
  EXPECT_EQ(list.CurrentFrame(), 1);
  list.Delete(0);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.CurrentFrame(), 0);
  EXPECT_FALSE(list.CanEditFrames());
}

namespace {

// A GIF of three 4 x 3 images and two 1 x 1 placeholders: the second image
// is transparent in a colour it does not have, the third in one it has.
std::string WriteGifWithPlaceholders(const TempDir& dir) {
  TGifFile gif;
  gif.GlobalTable() = TColorTable(4);
  const TColor colors[] = {clRed, clLime, clBlue, clWhite};
  for (int i = 0; i < 4; ++i) gif.GlobalTable().SetColor(i, colors[i]);
  gif.GlobalTable().ColorsToTriples();
  gif.SetScreenWidth(8);
  gif.SetScreenHeight(6);
  const auto add = [&](int w, int h, std::uint8_t index, int delay, int left) -> TGifSubImage& {
    auto image = std::make_unique<TGifSubImage>(4, &gif);
    auto pixels = std::make_unique<TByteArray2D>(w, h);
    std::fill_n(pixels->Data(), pixels->Size(), index);
    image->SetPixels(std::move(pixels));
    image->SetDelay(delay);
    image->SetLeft(left);
    gif.AddSubImage(std::move(image));
    return *gif.GetSubImage(gif.ImageCount());
  };
  add(1, 1, 0, 7, 0);  // before any image: adds to nothing
  add(4, 3, 0, 10, 1);
  add(1, 1, 0, 20, 0);
  add(4, 3, 1, 30, 2).SetTransparentIndex(2);  // blue: none of its pixels
  TGifSubImage& third = add(4, 3, 2, 40, 3);
  third.SetTransparentIndex(2);
  third.SetDisposal(2);
  add(1, 1, 0, 5, 0);
  TMemoryStream bytes;
  gif.SaveToStream(bytes);
  bytes.SaveToFile(dir.File("placeholders.gif"));
  return dir.File("placeholders.gif");
}

}  // namespace

TEST_F(ExportFrames, AGifAddsItsImagesWithTheirAttributesAndFoldsPlaceholdersIntoTheFrameBefore) {
  Add(4, 4, clWhite, 3);
  std::vector<std::pair<int, int>> progress;
  struct Progress : TExportProgress {
    std::vector<std::pair<int, int>>& calls;
    explicit Progress(std::vector<std::pair<int, int>>& c) : calls(c) {}
    void ShowLabel(const std::string&) override {}
    void SetProgress(int done, int total) override { calls.emplace_back(done, total); }
  } recorder(progress);
  EXPECT_EQ(list.InsertImageFile(WriteGifWithPlaceholders(dir), nullptr, &recorder), 3);
  EXPECT_EQ(Delays(), (std::vector<int>{3, 30, 30, 45}));
  EXPECT_EQ(std::tuple(frames[1]->Left, frames[2]->Left, frames[3]->Left, frames[3]->Disposal),
            std::tuple(1, 2, 3, std::uint8_t{2}));
  EXPECT_EQ(frames[1]->Bitmap->Pixel(3, 2), clRed);
  EXPECT_EQ(frames[2]->Transparent, 0);  // blue appears nowhere in it
  EXPECT_EQ(std::pair(frames[3]->Transparent, frames[3]->Bitmap->TransparentColor()), std::pair(std::uint8_t{1}, clBlue));
  EXPECT_EQ(progress.front(), (std::pair<int, int>{0, 5}));
  EXPECT_EQ(progress.back(), (std::pair<int, int>{5, 5}));
}

TEST_F(ExportFrames, BmpAndJpegPicturesAreAppendedWithTheDefaultsAndOtherFilesAddNothing) {
  TBitmap picture;
  MakeSolid(picture, 5, 3, RGB(10, 200, 30));
  picture.SaveToFile(dir.File("p.bmp"));
  TJPEGImage jpeg;
  jpeg.Bitmap().Assign(&picture);
  jpeg.SetQuality(100);
  jpeg.SaveToFile(dir.File("p.JPG"));
  dir.WriteFile("notes.txt", "no picture");
  EXPECT_EQ(list.InsertImageFile(dir.File("p.bmp"), nullptr, nullptr), 1);
  EXPECT_EQ(list.InsertImageFile(dir.File("p.JPG"), nullptr, nullptr), 1);
  EXPECT_EQ(list.InsertImageFile(dir.File("notes.txt"), nullptr, nullptr), 0);
  ASSERT_EQ(list.Count(), 2);
  for (const auto& f : frames) {
    EXPECT_EQ(std::tuple(f->Delay, f->Transparent, f->Left, f->Top, f->Disposal), std::tuple(10, std::uint8_t{0}, 0, 0, std::uint8_t{0}));
    EXPECT_EQ(std::pair(f->Bitmap->Width(), f->Bitmap->Height()), std::pair(5, 3));
  }
  EXPECT_EQ(frames[0]->Bitmap->Pixel(4, 2), RGB(10, 200, 30));
  dir.WriteFile("broken.bmp", "BM not really");
  EXPECT_ANY_THROW(list.InsertImageFile(dir.File("broken.bmp"), nullptr, nullptr));
  EXPECT_EQ(list.Count(), 2);
}

TEST_F(ExportFrames, AVideoAddsTheChosenIntervalOfItsFrames) {
  {
    TAVIObject writer;
    writer.SetOptionsChosen(true);
    const PAVIFILE file = writer.CreateAVIFile(dir.File("clip.avi"), 10);
    TBitmap frame;
    MakeSolid(frame, 6, 4, clBlack);
    const PAVISTREAM stream = writer.CreateVideoStream(file, frame);
    for (int i = 0; i < 5; ++i) {
      MakeSolid(frame, 6, 4, RGB(static_cast<std::uint8_t>(40 * i), 0, 0));
      writer.WriteFrame(file, stream, frame, i, 16);
    }
    writer.ReleaseStream(stream);
    writer.CloseAVIFile(file);
  }
  int offeredCount = 0;
  const auto chooseSecondAndThird = [&](const std::string& name, int frameCount, int& first, int& count) {
    EXPECT_EQ(std::tuple(name, first, count), std::tuple(dir.File("clip.avi"), 1, frameCount));
    offeredCount = frameCount;
    first = 2;
    count = 2;
    return true;
  };
  EXPECT_EQ(list.InsertImageFile(dir.File("clip.avi"), chooseSecondAndThird, nullptr), 2);
  EXPECT_EQ(offeredCount, 5);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(frames[0]->Bitmap->Pixel(0, 0), RGB(40, 0, 0));
  EXPECT_EQ(frames[1]->Bitmap->Pixel(5, 3), RGB(80, 0, 0));
  EXPECT_EQ(list.InsertImageFile(dir.File("clip.avi"), [](const std::string&, int, int&, int&) { return false; }, nullptr), 0);
  EXPECT_EQ(list.Count(), 2);
}

// ---- Colour tables ------------------------------------------------------------------------------------

TEST_F(ExportFrames, AnEditedColourTableRecoloursTheFrameOrEveryFrameKeepingIndicesAndTransparentColour) {
  frames.push_back(IndexedItem(4, 2, {clWhite, clRed, clBlue, clBlack}, {{Point(1, 0), 1}, {Point(2, 1), 2}}));
  frames.back()->Bitmap->SetTransparentColor(clBlue);
  frames.push_back(IndexedItem(4, 2, {clWhite, clRed, clBlue, clBlack}, {{Point(0, 0), 1}}));
  Add(4, 2, clLime);
  EXPECT_TRUE(list.HasColorTable(0));
  EXPECT_FALSE(list.HasColorTable(2));
  EXPECT_EQ(std::string(SImageHasNoPalette), "The image has more than 256 colors and doesn't have palette.");
  const std::vector<TColor> edited = {clYellow, clNavy, clBlue, clBlack};
  list.ApplyColorTable(0, false, edited, nullptr);
  const TBitmap& first = *frames[0]->Bitmap;
  EXPECT_EQ(std::tuple(first.PixelFormat(), first.Pixel(0, 0), first.Pixel(1, 0), first.Pixel(2, 1)),
            std::tuple(pf8bit, clYellow, clNavy, clBlue));
  EXPECT_EQ(first.TransparentColor(), clBlue);
  EXPECT_EQ(frames[1]->Bitmap->Pixel(0, 0), clRed);  // the others stay
  list.ApplyColorTable(1, true, edited, nullptr);
  EXPECT_EQ(frames[1]->Bitmap->Pixel(0, 0), clNavy);
  EXPECT_EQ(frames[2]->Bitmap->Pixel(0, 0), clLime);  // no table to edit
}
