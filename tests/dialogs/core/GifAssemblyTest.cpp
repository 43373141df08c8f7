#include "dialogs/core/GifAssembly.h"

#include "imaging/utils.h"
#include "tests/dialogs/core/ExportTestSupport.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

namespace {

class GifAssembly : public testing::Test {
 protected:
  GifAssembly() { CancelFlag = 0; }
  ~GifAssembly() override { CancelFlag = 0; }

  void AddFrames(int count) {
    for (int i = 0; i < count; ++i)
      frames.push_back(IndexedItem(8, 6, {clWhite, clRed, clBlue, clBlack}, {{Point(i, 1), 1}}));
  }
  std::vector<std::uint8_t> Build() {
    std::unique_ptr<TGifFile> gif = CreateGifFile(frames, options, nullptr);
    EXPECT_NE(gif, nullptr);
    return gif ? GifBytes(*gif) : std::vector<std::uint8_t>{};
  }

  TSetOfBitmaps frames;
  TGifAssemblyOptions options;
};

}  // namespace

// ---- Structure -----------------------------------------------------------------------------------------

TEST_F(GifAssembly, TheLoopBlockComesFirstOnImageOneOnlyWhenSeveralImagesLoop) {
  struct Case {
    int images, loopCount;
    const char* loopData;  // nullptr: no loop block
  };
  for (const Case& c : {Case{3, 3, "\x01\x03\x00"}, Case{2, -1, "\x01\x00\x00"}, Case{2, 1000, "\x01\xE8\x03"},
                        Case{1, -1, nullptr}, Case{2, 0, nullptr}}) {
    SCOPED_TRACE(std::to_string(c.images) + " images, loop count " + std::to_string(c.loopCount));
    frames.clear();
    AddFrames(c.images);
    options.LoopCount = c.loopCount;
    std::string header;
    const auto blocks = GifBlocks(Build(), &header);
    EXPECT_EQ(header, "GIF89a");
    int loopBlocks = 0;
    for (const auto& b : blocks) loopBlocks += b.type == '!' && b.label == 0xFF;
    EXPECT_EQ(loopBlocks, c.loopData ? 1 : 0);
    if (c.loopData == nullptr) continue;
    ASSERT_GE(blocks.size(), 3u);
    EXPECT_EQ(blocks[0].fixed, "NETSCAPE2.0");
    EXPECT_EQ(blocks[0].data, std::string(c.loopData, 3));
    // Before image 1's graphic control block and image.
    EXPECT_EQ(blocks[1].label, 0xF9);
    EXPECT_EQ(blocks[2].type, ',');
  }
}

TEST_F(GifAssembly, CommentLinesAreTheLastBlockBeforeTheTrailerKeptWholeOverSubBlocks) {
  AddFrames(2);
  for (const auto& b : GifBlocks(Build())) EXPECT_FALSE(b.type == '!' && b.label == 0xFE);
  const std::string line(600, 'x');
  options.CommentLines = {line, "end"};
  const auto blocks = GifBlocks(Build());
  ASSERT_GE(blocks.size(), 2u);
  const GifBlock& comment = blocks[blocks.size() - 2];
  EXPECT_EQ(comment.type, '!');
  EXPECT_EQ(comment.label, 0xFE);
  EXPECT_EQ(comment.data, line + "\r\nend\r\n");
  EXPECT_EQ(blocks.back().type, ';');
  EXPECT_EQ(GifCommentBlocks({line}).size(), 3u);
}

// ---- Image attributes ------------------------------------------------------------------------------------

TEST_F(GifAssembly, DelayPositionDisposalAndInterlacingReachEachImageWithinTheirWords) {
  AddFrames(3);
  frames[1]->Delay = 37;
  frames[1]->Left = 5;
  frames[1]->Top = 300;
  frames[1]->Disposal = 2;
  frames[1]->Bitmap->SetSize(8, 12);
  frames[1]->SetInterlaced(1);
  frames[2]->Left = -4;
  frames[2]->Top = 70000;
  frames[2]->Delay = 70000;
  auto gif = ReadGif(Build());
  const auto images = GifImages(*gif);
  ASSERT_EQ(images.size(), 3u);
  EXPECT_EQ(gif->ScreenWidth(), 8);
  EXPECT_EQ(images[0]->GetDelay(), 10);
  EXPECT_FALSE(images[0]->Interlaced());
  EXPECT_FALSE(images[0]->Transparent());
  EXPECT_EQ(images[1]->GetDelay(), 37);
  EXPECT_EQ(images[1]->Left(), 5);
  EXPECT_EQ(images[1]->Top(), 300);
  EXPECT_EQ(images[1]->Disposal(), 2);
  EXPECT_TRUE(images[1]->Interlaced());
  EXPECT_EQ(images[2]->Left(), 0);
  EXPECT_EQ(images[2]->Top(), 65535);
  EXPECT_EQ(images[2]->GetDelay(), 65535);
}

TEST_F(GifAssembly, TheTransparentIndexIsTheHighestEntryOfTheColour) {
  // Entries 1 and 3 are both red; the frame's red pixels use the highest.
  frames.push_back(IndexedItem(4, 2, {clWhite, clRed, clBlue, clRed}, {{Point(0, 0), 3}, {Point(1, 0), 1}}));
  frames[0]->Transparent = 1;
  frames[0]->Bitmap->SetTransparentColor(clRed);
  // A colour missing from the table takes the nearest entry.
  frames.push_back(IndexedItem(4, 2, {clWhite, clBlue}));
  frames[1]->Transparent = 1;
  frames[1]->Bitmap->SetTransparentColor(RGB(0, 0, 250));
  auto gif = ReadGif(Build());
  TGifSubImage& image = *GifImages(*gif)[0];
  EXPECT_TRUE(image.Transparent());
  EXPECT_EQ(image.TransparentIndex(), 3);
  EXPECT_EQ(image.Pixels()->Data()[0], 3);
  EXPECT_EQ(image.Pixels()->Data()[1], 3);
  EXPECT_EQ(image.GetTransparentColor(), clRed);
  EXPECT_EQ(GifImages(*gif)[1]->GetTransparentColor(), clBlue);
}

TEST_F(GifAssembly, ATransparentBlackUsesTheIndexItsPixelsHaveInThePaddedTable) {
  // Three colours: the written table is padded with black, and black pixels
  // take the highest black entry (3), not the frame palette's entry 1.
  frames.push_back(IndexedItem(4, 2, {clWhite, clBlack, clRed}, {{Point(0, 0), 1}, {Point(1, 1), 2}}));
  frames[0]->Transparent = 1;
  frames[0]->Bitmap->SetTransparentColor(clBlack);
  auto gif = ReadGif(Build());
  TGifSubImage& image = *GifImages(*gif)[0];
  EXPECT_EQ(image.TransparentIndex(), 3);
  EXPECT_EQ(image.Pixels()->Data()[0], 3);
  EXPECT_NE(image.Pixels()->Data()[1], 3);
  EXPECT_EQ(image.GetTransparentColor(), clBlack);
}

TEST_F(GifAssembly, LocalColourTablesGiveEachImageItsOwn) {
  frames.push_back(IndexedItem(4, 4, {clWhite, clRed}, {{Point(0, 0), 1}}));
  frames.push_back(IndexedItem(4, 4, {clBlack, clLime}, {{Point(1, 1), 1}}));
  options.LocalColorTables = true;
  auto gif = ReadGif(Build());
  const auto images = GifImages(*gif);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_TRUE(images[0]->HasLocalTable());
  EXPECT_TRUE(images[1]->HasLocalTable());
  EXPECT_EQ(images[1]->LocalTable().ColorOf(images[1]->Pixels()->Data()[5]), clLime);
}

// ---- Refusals --------------------------------------------------------------------------------

TEST_F(GifAssembly, AnEmptyListGivesNothingSilentlyAndATrueColourFrameIsRefusedWithANote) {
  ScriptedUiServices ui;
  EXPECT_EQ(CreateGifFile(frames, options, nullptr), nullptr);
  EXPECT_TRUE(ui.messages.empty());
  AddFrames(1);
  frames.push_back(SolidItem(8, 6, clRed));
  EXPECT_EQ(CreateGifFile(frames, options, nullptr), nullptr);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "All images must be converted to 256 colors before saving as GIF.");
  EXPECT_EQ(ui.messages[0].caption, "Information");
  EXPECT_EQ(ui.messages[0].flags, static_cast<unsigned>(MB_ICONINFORMATION));
}
