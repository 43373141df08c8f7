#include "app/core/ClipboardBlob.h"

#include "app/core/AddCommands.h"
#include "app/core/SizeLimits.h"
#include "scene/Frame.h"
#include "tests/app/core/AppCoreTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::int32_t IntAt(const TClipboardBlob& blob, std::size_t at) {
  std::int32_t value;
  std::memcpy(&value, blob.data() + at, 4);
  return value;
}

// A record as the project file writes it: newest format, no ids.
template <typename Record>
std::string FileRecord(Record& record) {
  const TUndoModeScope mode(0);
  return Written(record);
}

class Clipboard : public DocumentTest {
 protected:
  Clipboard() {
    FillSource();
    undo.Clear();
  }

  // A sprite with a picture frame, a rectangle, an interval and two steps.
  void FillSource() {
    int index = 0;
    TSprite& sprite = *source.AddSprite(index);
    sprite.Name = "Source";
    TBitmap picture;
    MakeTwoColour(picture, 12, 8, clRed, clBlue);
    TFrame& frame = *sprite.AddFrame();
    frame.SetPicture(picture, true, clBlue, -1, -1);
    frame.Kind = fkPicture;
    frame.SetFileName("red.bmp");
    sprite.AddShape(fkRectangle, 20, 10, TShapeParams{}, false, 0);
    sprite.AddInterval(2, 20);
    sprite.Motion().AddStepWith(LineFrom(0, 5, 100, 40, 2), &sprite);
    sprite.Motion().AddStepWith(HoldAt(20, 10, 5), &sprite);
  }
  TSprite& Source() { return source.Sprite(0); }

  // A sprite of the document with one frame and one step, made current.
  TSprite& Current() {
    const TAddedItem added = AddSpriteWithDefaultFrame(scene, nfkEllipse);
    undo.Clear();
    return *added.Sprite;
  }

  TPasteResult Paste(const TClipboardBlob& blob, TSprite* current) {
    return PasteClipboardBlob(scene, current, blob.data(), blob.size());
  }

  TAnimatedScene source;
};

// ---- Blob layout ---------------------------------------------------------------------------------------

TEST_F(Clipboard, ASpriteBlobIsSizeKind1AndTheFileRecordWithoutIds) {
  const TClipboardBlob blob = SpriteBlob(Source());
  ASSERT_GE(blob.size(), 8u);
  EXPECT_EQ(IntAt(blob, 0), static_cast<std::int32_t>(blob.size()));
  EXPECT_EQ(IntAt(blob, 4), 1);
  EXPECT_EQ(std::string(blob.begin() + 8, blob.end()), FileRecord(Source()));
}

TEST_F(Clipboard, FrameAndPathBlobsAreKinds2And3) {
  const TClipboardBlob frame = FrameBlob(Source().Frame(1));
  EXPECT_EQ(IntAt(frame, 0), static_cast<std::int32_t>(frame.size()));
  EXPECT_EQ(IntAt(frame, 4), 2);
  EXPECT_EQ(std::string(frame.begin() + 8, frame.end()), FileRecord(Source().Frame(1)));
  const TClipboardBlob path = PathBlob(Source().Motion());
  EXPECT_EQ(IntAt(path, 4), 3);
  EXPECT_EQ(std::string(path.begin() + 8, path.end()), FileRecord(Source().Motion()));
}

TEST_F(Clipboard, TheBlobIsWrittenInTheNewestFormatWhateverTheSaveVersion) {
  SaveVersion = 8;
  const TClipboardBlob blob = SpriteBlob(Source());
  EXPECT_EQ(SaveVersion, 8);
  EXPECT_EQ(std::string(blob.begin() + 8, blob.end()), FileRecord(Source()));
}

TEST_F(Clipboard, TheCopiedNodeDecidesTheBlob) {
  TSprite& sprite = Source();
  EXPECT_EQ(IntAt(CopyBlobForNode(1, sprite, &sprite.Frame(0)), 4), 1);
  for (int frameNode : {3, 4, 8, 9, 10}) EXPECT_EQ(IntAt(CopyBlobForNode(frameNode, sprite, &sprite.Frame(0)), 4), 2);
  for (int pathNode : {5, 11, 12}) EXPECT_EQ(IntAt(CopyBlobForNode(pathNode, sprite, nullptr), 4), 3);
}

TEST_F(Clipboard, TheSceneOrBackgroundNodeGivesA4ByteBlobHolding4WhichPastesNothing) {
  for (int otherNode : {0, 2, 6, 7, 13}) {
    const TClipboardBlob blob = CopyBlobForNode(otherNode, Source(), &Source().Frame(0));
    ASSERT_EQ(blob.size(), 4u);
    EXPECT_EQ(IntAt(blob, 0), 4);
    EXPECT_EQ(Paste(blob, nullptr).Kind, cbkNothing);
  }
  EXPECT_EQ(scene.SpriteCount(), 0);
  EXPECT_TRUE(undo.Empty());
}

TEST_F(Clipboard, AFrameNodeWithoutACurrentFrameGivesA4ByteBlobHolding0) {
  const TClipboardBlob blob = CopyBlobForNode(4, Source(), nullptr);
  ASSERT_EQ(blob.size(), 4u);
  EXPECT_EQ(IntAt(blob, 0), 0);
  EXPECT_EQ(Paste(blob, nullptr).FrameIndex, -1);
  EXPECT_EQ(scene.SpriteCount(), 0);
}

// ---- Decoding ----------------------------------------------------------------------------------------

TEST_F(Clipboard, DecodingGivesDetachedObjectsEqualToTheCopied) {
  const TClipboardBlob blob = SpriteBlob(Source());
  const TClipboardContent sprite = DecodeClipboardBlob(blob.data(), blob.size(), scene);
  ASSERT_EQ(sprite.Kind, cbkSprite);
  EXPECT_EQ(FileRecord(*sprite.Sprite), FileRecord(Source()));
  EXPECT_NE(sprite.Sprite->Id, Source().Id) << "a pasted object gets ids of its own";
  EXPECT_EQ(scene.SpriteCount(), 0) << "decoding adds nothing";

  const TClipboardBlob frameBlob = FrameBlob(Source().Frame(0));
  const TClipboardContent frame = DecodeClipboardBlob(frameBlob.data(), frameBlob.size(), scene);
  ASSERT_EQ(frame.Kind, cbkFrame);
  ASSERT_NE(frame.Frame, nullptr);
  EXPECT_EQ(FileRecord(*frame.Frame), FileRecord(Source().Frame(0)));

  const TClipboardBlob pathBlob = PathBlob(Source().Motion());
  const TClipboardContent path = DecodeClipboardBlob(pathBlob.data(), pathBlob.size(), scene);
  ASSERT_EQ(path.Kind, cbkPath);
  EXPECT_EQ(FileRecord(*path.Path), FileRecord(Source().Motion()));
}

// ---- Pasting -------------------------------------------------------------------------------------------

TEST_F(Clipboard, ASpritePastesAsAFurtherEqualSpriteThatOneUndoRemoves) {
  TSprite& current = Current();
  const std::string before = SceneSnapshot(scene);
  const TPasteResult result = Paste(SpriteBlob(Source()), &current);
  EXPECT_EQ(result.Kind, cbkSprite);
  EXPECT_TRUE(result.SpriteCreated);
  EXPECT_EQ(result.FrameIndex, 0);
  ASSERT_EQ(scene.SpriteCount(), 2);
  EXPECT_EQ(result.Sprite, &scene.Sprite(1));
  EXPECT_EQ(FileRecord(scene.Sprite(1)), FileRecord(Source()));
  EXPECT_EQ(scene.Sprite(1).Name, "Source");
  EXPECT_EQ(RecordCount(), 1);
  EXPECT_EQ(undo.Caption(), "Add Sprite");
  undo.Undo();
  EXPECT_TRUE(SceneSnapshot(scene) == before);
}

TEST_F(Clipboard, AFrameIsAppendedToTheCurrentSpriteWithAddFrame) {
  TSprite& current = Current();
  const std::string before = SceneSnapshot(scene);
  const TPasteResult result = Paste(FrameBlob(Source().Frame(0)), &current);
  EXPECT_EQ(result.Kind, cbkFrame);
  EXPECT_FALSE(result.SpriteCreated);
  EXPECT_EQ(result.FrameIndex, 1);
  ASSERT_EQ(current.FrameCount(), 2);
  EXPECT_EQ(FileRecord(current.Frame(1)), FileRecord(Source().Frame(0)));
  EXPECT_EQ(undo.Caption(), "Add Frame");
  EXPECT_EQ(LastInt(TUndo::kObjectKindAt), uokAddedFrame);
  undo.Undo();
  EXPECT_TRUE(SceneSnapshot(scene) == before);
}

TEST_F(Clipboard, AFramePastedIntoASpriteWithoutStepsAddsNoStepAndIsUndoneExactly) {
  int index = 0;
  TSprite& empty = *scene.AddSprite(index);
  undo.Clear();
  for (int round = 0; round < 2; ++round) {
    const std::string before = SceneSnapshot(scene);
    Paste(FrameBlob(Source().Frame(round)), &empty);
    EXPECT_EQ(empty.FrameCount(), round + 1);
    EXPECT_EQ(empty.Motion().StepCount(), 0);
    EXPECT_EQ(undo.Caption(), "Add Frame");
    undo.Undo();
    EXPECT_TRUE(SceneSnapshot(scene) == before);
    Paste(FrameBlob(Source().Frame(round)), &empty);
    undo.Clear();
  }
}

TEST_F(Clipboard, AFrameWithoutACurrentSpriteMakesASpriteWithOneStepAndOneRecord) {
  const TPasteResult result = Paste(FrameBlob(Source().Frame(1)), nullptr);
  ASSERT_EQ(scene.SpriteCount(), 1);
  EXPECT_TRUE(result.SpriteCreated);
  EXPECT_EQ(result.Sprite, &scene.Sprite(0));
  EXPECT_EQ(result.FrameIndex, 0);
  EXPECT_EQ(scene.Sprite(0).FrameCount(), 1);
  EXPECT_EQ(scene.Sprite(0).Motion().StepCount(), 1);
  EXPECT_EQ(RecordCount(), 1);
  EXPECT_EQ(undo.Caption(), "Add Sprite");
  undo.Undo();
  EXPECT_EQ(scene.SpriteCount(), 0);
}

TEST_F(Clipboard, APathReplacesTheCurrentPathAfterAChangeMotionSnapshot) {
  TSprite& current = Current();
  current.SetCurrentFrameIndex(0);
  const std::string before = SceneSnapshot(scene);
  const TPasteResult result = Paste(PathBlob(Source().Motion()), &current);
  EXPECT_EQ(result.Kind, cbkPath);
  EXPECT_EQ(result.FrameIndex, 0) << "the current frame index";
  EXPECT_EQ(FileRecord(current.Motion()), FileRecord(Source().Motion()));
  EXPECT_EQ(undo.Caption(), "Change Motion");
  EXPECT_EQ(LastInt(TUndo::kObjectKindAt), uokPath);
  undo.Undo();
  EXPECT_TRUE(SceneSnapshot(scene) == before);
}

TEST_F(Clipboard, APathWithoutACurrentSpritePastesNothing) {
  const TPasteResult result = Paste(PathBlob(Source().Motion()), nullptr);
  EXPECT_EQ(result.Kind, cbkNothing);
  EXPECT_EQ(result.FrameIndex, -1);
  EXPECT_TRUE(undo.Empty());
}

TEST_F(Clipboard, CopyAndPasteBetweenTwoDocumentsGivesEqualSprites) {
  TAnimatedScene other;
  other.Width = 200;
  other.Height = 100;
  const TClipboardBlob blob = SpriteBlob(Source());
  PasteClipboardBlob(other, nullptr, blob.data(), blob.size());
  const TClipboardBlob again = SpriteBlob(other.Sprite(0));
  Paste(again, nullptr);
  EXPECT_EQ(FileRecord(scene.Sprite(0)), FileRecord(Source()));
}

// ---- Hostile blobs ------------------------------------------------------------------------------------

class HostileBlobs : public Clipboard {
 protected:
  // Pastes the bytes as a path into the current sprite; nothing may change.
  void ExpectNothingPasted(const TClipboardBlob& blob, const char* what) {
    TSprite& current = scene.Sprite(0);
    const std::string before = SceneSnapshot(scene);
    const TPasteResult result = Paste(blob, &current);
    EXPECT_EQ(result.Kind, cbkNothing) << what;
    EXPECT_EQ(result.FrameIndex, -1) << what;
    EXPECT_TRUE(SceneSnapshot(scene) == before) << what;
    EXPECT_TRUE(undo.Empty()) << what;
  }
  void SetUp() override { Current(); }
};

TEST_F(HostileBlobs, ASizeFieldClaiming1000BytesIn12PastesNothingAndThePathStays) {
  TClipboardBlob blob = PathBlob(Source().Motion());
  blob.resize(12);
  std::int32_t claimed = 1000;
  std::memcpy(blob.data(), &claimed, 4);
  ExpectNothingPasted(blob, "size beyond the data");
  // The size check itself refuses, before any byte past the data is read.
  try {
    DecodeClipboardBlob(blob.data(), blob.size(), scene);
    ADD_FAILURE() << "a size beyond the data was accepted";
  } catch (const EReadError& error) {
    EXPECT_EQ(error.Message(), "The clipboard data is shorter than its size field states");
  }
}

TEST_F(HostileBlobs, SizeFieldsBelow8PasteNothing) {
  for (std::int32_t size : {-5, 0, 4, 7}) {
    TClipboardBlob blob = FrameBlob(Source().Frame(0));
    std::memcpy(blob.data(), &size, 4);
    ExpectNothingPasted(blob, "small size");
    EXPECT_EQ(DecodeClipboardBlob(blob.data(), blob.size(), scene).Kind, cbkNothing);
  }
}

TEST_F(HostileBlobs, UnknownKindsAndTooShortDataPasteNothing) {
  TClipboardBlob blob = FrameBlob(Source().Frame(0));
  for (std::int32_t kind : {0, 4, -1, 1000}) {
    std::memcpy(blob.data() + 4, &kind, 4);
    ExpectNothingPasted(blob, "kind");
  }
  ExpectNothingPasted(TClipboardBlob{1, 0}, "two bytes");
  ExpectNothingPasted(TClipboardBlob{}, "empty");
}

TEST_F(HostileBlobs, EveryTruncatedRecordWithAMatchingSizePastesNothing) {
  for (const TClipboardBlob& whole :
       {PathBlob(Source().Motion()), FrameBlob(Source().Frame(0)), FrameBlob(Source().Frame(1))}) {
    for (std::size_t length = 8; length < whole.size(); length += 1 + whole.size() / 97) {
      TClipboardBlob blob(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
      const std::int32_t size = static_cast<std::int32_t>(length);
      std::memcpy(blob.data(), &size, 4);
      ExpectNothingPasted(blob, "truncated");
    }
  }
}

TEST_F(HostileBlobs, ASizeFieldShorterThanTheRecordPastesNothing) {
  TClipboardBlob blob = SpriteBlob(Source());
  const std::int32_t size = static_cast<std::int32_t>(blob.size() - 3);
  std::memcpy(blob.data(), &size, 4);
  ExpectNothingPasted(blob, "size cuts the record");
}

TEST_F(HostileBlobs, TrailingBytesAfterTheRecordWithinTheSizePasteNothing) {
  TClipboardBlob blob = PathBlob(Source().Motion());
  blob.insert(blob.end(), {1, 2, 3, 4});
  const std::int32_t size = static_cast<std::int32_t>(blob.size());
  std::memcpy(blob.data(), &size, 4);
  ExpectNothingPasted(blob, "garbage inside the size");
}

TEST_F(HostileBlobs, BytesAfterTheStatedSizeAreIgnored) {
  TClipboardBlob blob = FrameBlob(Source().Frame(1));
  blob.insert(blob.end(), 16, 0xEE);  // a clipboard block larger than its blob
  EXPECT_EQ(Paste(blob, &scene.Sprite(0)).Kind, cbkFrame);
}

// ---- Bitmaps and paste as new sprite ---------------------------------------------------------------

TEST_F(Clipboard, ABitmapBecomesAClipboardFrameOfTheCurrentSprite) {
  TSprite& current = Current();
  TBitmap picture;
  MakeSolid(picture, 30, 20, clRed);
  const TPasteResult result = PasteBitmapFrame(scene, &current, picture);
  EXPECT_EQ(result.FrameIndex, 1);
  TFrame& frame = current.Frame(1);
  EXPECT_EQ(frame.FileName, "Clipboard 2");
  EXPECT_EQ(frame.Kind, fkPicture);
  EXPECT_FALSE(frame.Transparent());
  EXPECT_EQ(frame.TransparentColor(), clWhite);
  EXPECT_EQ(frame.ImageWidth, 30);
  EXPECT_EQ(undo.Caption(), "Add Frame");
}

TEST_F(Clipboard, ABitmapWithoutASpriteMakesSprite1WithClipboard1) {
  TBitmap picture;
  MakeSolid(picture, 5, 5, clRed);
  const TPasteResult result = PasteBitmapFrame(scene, nullptr, picture);
  EXPECT_TRUE(result.SpriteCreated);
  EXPECT_EQ(scene.Sprite(0).Frame(0).FileName, "Clipboard 1");
  EXPECT_EQ(scene.Sprite(0).Motion().StepCount(), 1);
  EXPECT_EQ(RecordCount(), 1);
  EXPECT_EQ(undo.Caption(), "Add Sprite");
}

TEST_F(Clipboard, ABitmapBeyondTheReaderLimitsIsRefusedAndAddsNothing) {
  TBitmap picture;
  picture.SetPixelFormat(pf8bit);
  picture.SetSize(65536, 1);
  EXPECT_THROW(PasteBitmapFrame(scene, nullptr, picture), ESizeRefused);
  EXPECT_EQ(scene.SpriteCount(), 0);
  EXPECT_TRUE(undo.Empty());
}

TEST_F(Clipboard, PasteAsNewSpriteOfAFrameIsOneSpriteWithOneRecord) {
  const TClipboardBlob blob = FrameBlob(Source().Frame(0));
  const TPasteResult result = PasteAsNewSprite(scene, nullptr, blob.data(), blob.size());
  ASSERT_EQ(scene.SpriteCount(), 1);
  EXPECT_EQ(result.Sprite, &scene.Sprite(0));
  EXPECT_EQ(result.FrameIndex, 0);
  EXPECT_EQ(scene.Sprite(0).FrameCount(), 1);
  EXPECT_EQ(scene.Sprite(0).Motion().StepCount(), 1);
  EXPECT_EQ(RecordCount(), 1);
  undo.Undo();
  EXPECT_EQ(scene.SpriteCount(), 0);
}

TEST_F(Clipboard, PasteAsNewSpriteOfASpriteRecordsBothSprites) {
  const TClipboardBlob blob = SpriteBlob(Source());
  const TPasteResult result = PasteAsNewSprite(scene, nullptr, blob.data(), blob.size());
  ASSERT_EQ(scene.SpriteCount(), 2);
  EXPECT_EQ(result.Sprite, &scene.Sprite(1));
  EXPECT_EQ(RecordCount(), 2);
  undo.Undo();
  undo.Undo();
  EXPECT_EQ(scene.SpriteCount(), 0);
}

TEST_F(Clipboard, PasteAsNewSpriteOfNothingMakesNothing) {
  const TClipboardBlob blob = CopyBlobForNode(0, Source(), nullptr);
  const TPasteResult result = PasteAsNewSprite(scene, nullptr, blob.data(), blob.size());
  EXPECT_EQ(result.Sprite, nullptr);
  EXPECT_EQ(scene.SpriteCount(), 0);
  EXPECT_TRUE(undo.Empty());
}

TEST_F(Clipboard, PasteAsNewSpriteOfABitmapAndAFrameHoldsBoth) {
  TBitmap picture;
  MakeSolid(picture, 5, 5, clRed);
  const TClipboardBlob blob = FrameBlob(Source().Frame(1));
  const TPasteResult result = PasteAsNewSprite(scene, &picture, blob.data(), blob.size());
  ASSERT_EQ(scene.SpriteCount(), 1);
  EXPECT_EQ(scene.Sprite(0).FrameCount(), 2);
  EXPECT_EQ(scene.Sprite(0).Frame(0).FileName, "Clipboard 1");
  EXPECT_EQ(result.FrameIndex, 1);
  EXPECT_EQ(RecordCount(), 1);
}

}  // namespace
