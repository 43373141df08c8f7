#include "imaging/GifUnit.h"

#include "imaging/utils.h"
#include "platform/PictureFormats.h"
#include "platform/Streams.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint8_t kExtensionIntroducer = 0x21;  // '!'
constexpr std::uint8_t kImageIntroducer = 0x2C;      // ','
constexpr std::uint8_t kTrailer = 0x3B;              // ';'

// All pixel matrices of one file together; a file that declares more is
// refused instead of allocated.
constexpr std::int64_t kMaxPixelsPerFile = std::int64_t{1} << 30;
// The composed picture of a file: frames placed far off make it refuse
// instead of allocating gigabytes.
constexpr std::int64_t kMaxComposedPixels = std::int64_t{1} << 26;

// The most pixels an image's coded data can stand for: codes are at least
// 3 bits and each stands for at most 4096 pixels. An image cut short keeps
// zeros for what is missing, up to a few megapixels.
std::int64_t MostPixelsCodedIn(std::int64_t codedBytes) {
  constexpr std::int64_t kPixelsPerCodedByte = 8 * 4096 / 3 + 1;
  constexpr std::int64_t kShortImageAllowance = std::int64_t{1} << 22;
  return codedBytes * kPixelsPerCodedByte + kShortImageAllowance;
}

// 1..8 for 2, 4, ..., 256 colours; -1 otherwise.
int SizeBitsOfCount(int count) {
  for (int bits = 1; bits <= 8; ++bits)
    if ((1 << bits) == count) return bits;
  return -1;
}

bool ReadOneByte(TStream& stream, std::uint8_t& value) { return stream.Read(&value, 1) == 1; }

// Reads count bytes; false when the stream ends first.
bool ReadFully(TStream& stream, void* buffer, std::int64_t count) {
  return stream.Read(buffer, count) == count;
}

// Reads data sub-blocks (a length byte and that many bytes each) up to a
// length of 0 or the end of the stream, and leaves the stream just past what
// they took. The bytes come in large pieces: most images are a long chain of
// full blocks, and a call per length byte and per block costs more than the
// decoding. A block cut short by the end of the stream is kept with the bytes
// that are there.
void ReadDataSubBlocks(TStream& stream, TByteBuffer& data) {
  constexpr std::int64_t kPiece = 64 * 1024;
  const std::unique_ptr<std::uint8_t[]> piece(new std::uint8_t[kPiece]);
  for (;;) {
    const std::int64_t got = stream.Read(piece.get(), kPiece);
    if (got <= 0) return;
    bool terminated = false;
    const auto taken =
        static_cast<std::int64_t>(data.AddSubBlocks(piece.get(), static_cast<std::size_t>(got), terminated));
    if (taken == 0 && !terminated) {
      // Not even one block stands whole in what the stream still gives:
      // the stream ends inside it.
      data.AddBlock(piece.get() + 1, static_cast<int>(got - 1));
      return;
    }
    // What follows the blocks taken is read again: the next block or the
    // next part of the file.
    if (taken < got) stream.Seek(taken - got, TSeekOrigin::soCurrent);
    if (terminated) return;
  }
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

// ================================================================================================
// TGifSubImage
// ================================================================================================

TGifSubImage::TGifSubImage(int numColors, TGifFile* owner) : owner_(owner), localTable_(numColors) {
  const int bits = SizeBitsOfCount(numColors);
  if (bits < 0)
    throw EGifException("Number of colors (" + IntToStr(numColors) + ") wrong; must be a power of 2");
  sizeBits_ = static_cast<std::uint8_t>(bits);
  lzwMinCodeSize_ = static_cast<std::uint8_t>(bits == 1 ? 2 : bits);
  RebuildPackedByte();
}

TGifSubImage::TGifSubImage(TGifFile* owner) : owner_(owner), localTable_(0) {}

TGifSubImage::~TGifSubImage() = default;

void TGifSubImage::SetInterlaced(bool interlaced) {
  const std::uint8_t value = interlaced ? 1 : 0;
  if (value == interlaced_) return;
  interlaced_ = value;
  // The held data stores the rows in the old order.
  if (pixels_) lzwData_.Clear();
}

void TGifSubImage::SetSizeBits(int bits) { sizeBits_ = static_cast<std::uint8_t>(std::clamp(bits, 1, 8)); }

void TGifSubImage::RebuildPackedByte() {
  std::uint8_t packed = 0;
  if (localTableFlag_) {
    // The size field tells readers how many entries follow: it covers the count.
    while ((1 << sizeBits_) < localTable_.Count() && sizeBits_ < 8) ++sizeBits_;
    packed = static_cast<std::uint8_t>(0x80 + (sizeBits_ - 1));
  }
  if (interlaced_) packed += 0x40;
  descriptor_[8] = packed;
}

void TGifSubImage::UnpackPackedByte(std::uint8_t packed) {
  descriptor_[8] = packed;
  localTableFlag_ = (packed & 0x80) ? 1 : 0;
  interlaced_ = (packed & 0x40) ? 1 : 0;
  sizeBits_ = static_cast<std::uint8_t>((packed & 7) + 1);
  localTable_.SetCount(1 << sizeBits_);
}

std::array<std::uint8_t, 9> TGifSubImage::Descriptor() {
  RebuildPackedByte();
  return descriptor_;
}

const TColorTable& TGifSubImage::ActiveTable() const {
  if (localTableFlag_ || owner_ == nullptr) return localTable_;
  return owner_->GlobalTable();
}

void TGifSubImage::SetPixels(std::unique_ptr<TByteArray2D> pixels) {
  pixels_ = std::move(pixels);
  SetWord(4, pixels_ ? pixels_->Width() : 0);
  SetWord(6, pixels_ ? pixels_->Height() : 0);
  lzwData_.Clear();
  bitmap_.reset();
}

void TGifSubImage::DropPixels() {
  pixels_.reset();
  lzwData_.Clear();
  bitmap_.reset();
}

void TGifSubImage::Decode() {
  const int width = Width();
  const int height = Height();
  auto matrix = std::make_unique<TByteArray2D>(width, height);
  const std::int64_t count = matrix->Size();
  if (count > 0) {
    const auto& data = lzwData_.Bytes();
    const auto size = static_cast<std::int64_t>(data.size());
    if (!interlaced_) {
      LzwDecode(data.data(), size, lzwMinCodeSize_, matrix->Data(), count);
    } else {
      // Left uninitialised: the decoder writes every pixel, zeros where the data ends.
      std::unique_ptr<std::uint8_t[]> rows(new std::uint8_t[static_cast<std::size_t>(count)]);
      LzwDecode(data.data(), size, lzwMinCodeSize_, rows.get(), count);
      const std::vector<int> order = InterlacedRowOrder(height);
      for (std::size_t k = 0; k < order.size(); ++k)
        std::memcpy(matrix->Data() + static_cast<std::int64_t>(order[k]) * width,
                    rows.get() + static_cast<std::int64_t>(k) * width, static_cast<std::size_t>(width));
    }
  }
  pixels_ = std::move(matrix);
  bitmap_.reset();
}

void TGifSubImage::Encode() {
  if (!pixels_) return;
  if (lzwMinCodeSize_ < 2 || lzwMinCodeSize_ > 9) throw EGifException("Bad code Size");
  const int width = pixels_->Width();
  const int height = pixels_->Height();
  const std::int64_t count = pixels_->Size();
  if (!interlaced_ || count == 0) {
    LzwEncode(pixels_->Data(), count, lzwMinCodeSize_, lzwData_);
    return;
  }
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(count));
  const std::vector<int> order = InterlacedRowOrder(height);
  for (std::size_t k = 0; k < order.size(); ++k)
    std::memcpy(rows.data() + static_cast<std::int64_t>(k) * width,
                pixels_->Data() + static_cast<std::int64_t>(order[k]) * width, static_cast<std::size_t>(width));
  LzwEncode(rows.data(), count, lzwMinCodeSize_, lzwData_);
}

// ---- Extensions and attributes -------------------------------------------------------------------

void TGifSubImage::SetExtensions(TExtensionList extensions) {
  extensions_ = std::move(extensions);
  disposal_ = 0;
  transparent_ = 0;
  for (auto it = extensions_.rbegin(); it != extensions_.rend(); ++it) {
    if ((*it)->Kind() != ekGraphicControl) continue;
    disposal_ = static_cast<std::uint8_t>(((*it)->Packed() >> 2) & 7);
    transparent_ = (*it)->Packed() & 1;
    break;
  }
}

TExtension& TGifSubImage::AppendGraphicControl(std::uint8_t packed, int delay, int index) {
  auto extension = std::make_unique<TExtension>(ekGraphicControl);
  extension->SetPacked(packed);
  extension->SetDelay(static_cast<std::uint16_t>(delay));
  extension->SetTransparentIndex(static_cast<std::uint8_t>(index));
  extensions_.push_back(std::move(extension));
  return *extensions_.back();
}

int TGifSubImage::GetDelay() const {
  for (auto it = extensions_.rbegin(); it != extensions_.rend(); ++it)
    if ((*it)->Kind() == ekGraphicControl) return (*it)->Delay();
  return 0;
}

void TGifSubImage::SetDelay(int delay) {
  bool found = false;
  for (auto& e : extensions_) {
    if (e->Kind() != ekGraphicControl) continue;
    e->SetDelay(static_cast<std::uint16_t>(delay));
    found = true;
  }
  if (!found) AppendGraphicControl(8, delay, 0);
}

void TGifSubImage::SetTransparent(int transparent) {
  const auto t = static_cast<std::uint8_t>(transparent & 1);
  bool found = false;
  for (auto& e : extensions_) {
    if (e->Kind() != ekGraphicControl) continue;
    e->SetPacked(static_cast<std::uint8_t>(t | (e->Packed() & 0xFE)));
    found = true;
  }
  if (!found) AppendGraphicControl(static_cast<std::uint8_t>(t | 8), 0, 0);
  transparent_ = t;
}

void TGifSubImage::SetDisposal(int disposal) {
  const auto n = static_cast<std::uint8_t>(disposal & 7);
  disposal_ = n;
  bool found = false;
  for (auto& e : extensions_) {
    if (e->Kind() != ekGraphicControl) continue;
    e->SetPacked(static_cast<std::uint8_t>((e->Packed() & 0xE3) | (n << 2)));
    found = true;
  }
  if (!found) AppendGraphicControl(static_cast<std::uint8_t>(n << 2), 0, 0);
}

void TGifSubImage::SetTransparencyIndex(int index) {
  bool found = false;
  for (auto& e : extensions_) {
    if (e->Kind() != ekGraphicControl) continue;
    e->SetPacked(static_cast<std::uint8_t>(e->Packed() | 1));
    e->SetTransparentIndex(static_cast<std::uint8_t>(index));
    found = true;
  }
  if (!found) AppendGraphicControl(9, 0, index);
  transparent_ = 1;
}

void TGifSubImage::SetTransparentColor(TColor color) { SetTransparencyIndex(ActiveTable().NearestIndex(color)); }

void TGifSubImage::SetTransparentIndex(int index) { SetTransparencyIndex(index); }

int TGifSubImage::TransparentIndex() const {
  for (const auto& e : extensions_)
    if (e->Kind() == ekGraphicControl && (e->Packed() & 1)) return e->TransparentIndex();
  return -1;
}

TColor TGifSubImage::GetTransparentColor() const {
  const int index = TransparentIndex();
  if (index < 0) return kNoTransparentColor;
  return ActiveTable().ColorOf(index);
}

void TGifSubImage::SetLoopCount(int count) {
  const std::string block{'\x01', static_cast<char>(count & 0xFF), static_cast<char>((count >> 8) & 0xFF)};
  bool found = false;
  for (auto& e : extensions_) {
    if (e->Kind() != ekApplication) continue;
    e->Strings() = {block};
    found = true;
  }
  if (found) return;
  auto extension = std::make_unique<TExtension>(ekApplication);
  static constexpr char kIdentifier[] = "NETSCAPE2.0";
  std::memcpy(extension->Fixed().data() + 1, kIdentifier, 11);
  extension->Strings() = {block};
  extensions_.push_back(std::move(extension));
}

void TGifSubImage::SetComments(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  bool found = false;
  for (auto& e : extensions_) {
    if (e->Kind() != ekComment) continue;
    e->Strings() = lines;
    found = true;
  }
  if (found) return;
  auto extension = std::make_unique<TExtension>(ekComment);
  extension->Strings() = lines;
  extensions_.push_back(std::move(extension));
}

const std::vector<std::string>* TGifSubImage::GetComments() const {
  for (auto it = extensions_.rbegin(); it != extensions_.rend(); ++it)
    if ((*it)->Kind() == ekComment) return &(*it)->Strings();
  return nullptr;
}

// ---- Bitmaps ---------------------------------------------------------------------------------------

void TGifSubImage::SaveAsBMP(TStream& stream) const {
  if (!pixels_) return;
  const int width = pixels_->Width();
  const int height = pixels_->Height();
  const std::int64_t rowBytes = (static_cast<std::int64_t>(width) + 3) / 4 * 4;
  constexpr std::uint32_t kPixelOffset = 14 + 40 + 256 * 4;  // 1078
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<std::size_t>(kPixelOffset + rowBytes * height));
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<std::uint32_t>(kPixelOffset + rowBytes * height));
  Put32(out, 0);  // two reserved words
  Put32(out, kPixelOffset);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));  // positive: rows bottom-up
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);    // no compression
  Put32(out, 0);    // image size
  Put32(out, 143);  // pixels per metre
  Put32(out, 143);
  Put32(out, 0);  // colours used
  Put32(out, 0);  // colours important
  const TColorTable& table = ActiveTable();
  for (int i = 0; i < 256; ++i) {
    const auto& t = table.Triple(i);
    out.push_back(t[2]);
    out.push_back(t[1]);
    out.push_back(t[0]);
    out.push_back(0);
  }
  for (int y = height - 1; y >= 0; --y) {
    const std::uint8_t* row = pixels_->Data() + static_cast<std::int64_t>(y) * width;
    out.insert(out.end(), row, row + width);
    out.insert(out.end(), static_cast<std::size_t>(rowBytes - width), 0);
  }
  stream.SetPosition(0);
  stream.WriteBuffer(out.data(), static_cast<std::int64_t>(out.size()));
  stream.SetPosition(0);
}

TMinGDIBitmap* TGifSubImage::GetBitmap() {
  if (!pixels_) return nullptr;
  if (!bitmap_) {
    TMemoryStream image;
    SaveAsBMP(image);
    auto bitmap = std::make_unique<TMinGDIBitmap>();
    bitmap->LoadFromStream(image);
    bitmap_ = std::move(bitmap);
  }
  return bitmap_.get();
}

// ================================================================================================
// TGifFile: model and reading
// ================================================================================================

TGifFile::TGifFile() = default;
TGifFile::~TGifFile() = default;

void TGifFile::SetScreenWidth(int width) {
  screen_[0] = static_cast<std::uint8_t>(width & 0xFF);
  screen_[1] = static_cast<std::uint8_t>((width >> 8) & 0xFF);
}

void TGifFile::SetScreenHeight(int height) {
  screen_[2] = static_cast<std::uint8_t>(height & 0xFF);
  screen_[3] = static_cast<std::uint8_t>((height >> 8) & 0xFF);
}

void TGifFile::RebuildScreenPackedByte() {
  const int resolution = SizeBitsOfCount(globalTable_.Count());
  if (resolution < 0) throw EGifException("unexpected number of colors");
  // The size field tells readers how many entries follow: it covers the count.
  while ((1 << globalColorBits_) < globalTable_.Count() && globalColorBits_ < 8) ++globalColorBits_;
  std::uint8_t packed = globalTableFlag_ ? 0x80 : 0;
  packed = static_cast<std::uint8_t>(packed + ((resolution - 1) << 4) + (globalColorBits_ - 1));
  screen_[4] = packed;
}

std::array<std::uint8_t, 7> TGifFile::ScreenDescriptor() {
  RebuildScreenPackedByte();
  return screen_;
}

TGifSubImage* TGifFile::GetSubImage(int index) {
  if (index < 1 || index > ImageCount()) return nullptr;
  return images_[static_cast<std::size_t>(index - 1)].get();
}

const TGifSubImage* TGifFile::GetSubImage(int index) const {
  if (index < 1 || index > ImageCount()) return nullptr;
  return images_[static_cast<std::size_t>(index - 1)].get();
}

void TGifFile::AddSubImage(std::unique_ptr<TGifSubImage> image) {
  image->owner_ = this;
  images_.push_back(std::move(image));
}

int TGifFile::LargestWidth() const {
  int largest = 0;
  for (const auto& image : images_) largest = std::max(largest, image->Width());
  return largest;
}

int TGifFile::LargestHeight() const {
  int largest = 0;
  for (const auto& image : images_) largest = std::max(largest, image->Height());
  return largest;
}

void TGifFile::SetComments(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  bool found = false;
  for (auto& image : images_) {
    if (image->Pixels() != nullptr) continue;
    image->SetComments(lines);
    found = true;
  }
  if (found) return;
  auto holder = std::make_unique<TGifSubImage>(this);
  holder->SetComments(lines);
  AddSubImage(std::move(holder));
}

void TGifFile::SendProgress(std::int64_t position, std::int64_t total) const {
  if (progressWindow_ != 0)
    SendMessage(progressWindow_, WM_IMAGEPROGRESS, static_cast<WPARAM>(position), static_cast<LPARAM>(total));
}

void TGifFile::LoadFromFile(const std::string& fileName) {
  TMemoryStream file;
  file.LoadFromFile(fileName);
  LoadFromStream(file);
}

void TGifFile::LoadFromStream(TStream& stream) {
  const std::int64_t start = stream.Position();
  // The byte count and the final progress message come also after an error.
  const auto finish = [&] {
    bytesRead_ = stream.Position() - start;
    SendProgress(1, 1);
  };
  try {
    ReadFrames(stream);
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TGifFile::ReadFrames(TStream& stream) {
  std::array<std::uint8_t, 6> header{};
  if (!ReadFully(stream, header.data(), 6)) throw EGifException("Gif Version must be 87a or 89a");
  const std::string version(header.begin() + 3, header.end());
  if (version != "87a" && version != "89a" && version != "87A" && version != "89A")
    throw EGifException("Gif Version must be 87a or 89a");
  header_ = header;

  // A stream that ends early ends the file quietly, here and below.
  std::array<std::uint8_t, 7> screen{};
  if (!ReadFully(stream, screen.data(), 7)) return;
  screen_ = screen;
  globalTableFlag_ = (screen[4] & 0x80) ? 1 : 0;
  globalColorBits_ = static_cast<std::uint8_t>((screen[4] & 7) + 1);
  globalTable_.SetCount(1 << globalColorBits_);
  if (globalTableFlag_) {
    if (!ReadFully(stream, globalTable_.TripleBytes(), globalTable_.Count() * 3)) return;
    globalTable_.TriplesToColors();
  }

  std::uint8_t introducer = 0;
  if (!ReadOneByte(stream, introducer)) return;
  std::int64_t pixelBudget = kMaxPixelsPerFile;
  std::int64_t lastPosition = -1;
  while (introducer != kTrailer) {
    const std::int64_t position = stream.Position();
    if (position >= stream.Size() || position == lastPosition) break;
    lastPosition = position;

    TExtensionList extensions;
    bool ended = false;
    while (introducer == kExtensionIntroducer) {
      std::uint8_t label = 0;
      if (!ReadOneByte(stream, label)) {
        ended = true;
        break;
      }
      TExtensionKind kind;
      if (!TExtension::KindOfLabel(label, kind))
        throw EGifException("Unrecognized extension block.\r\nCode = $" + FormatStr("%02X", label));
      auto extension = std::make_unique<TExtension>(kind);
      if (!ReadFully(stream, extension->Fixed().data(), TExtension::FixedLength(kind))) {
        ended = true;
        break;
      }
      if (kind != ekGraphicControl) {
        std::uint8_t length = 0;
        while (ReadOneByte(stream, length) && length != 0) {
          std::string block(length, '\0');
          const std::int64_t got = stream.Read(block.data(), length);
          block.resize(static_cast<std::size_t>(got));
          extension->Strings().push_back(std::move(block));
          if (got < length) break;
        }
      }
      extensions.push_back(std::move(extension));
      if (!ReadOneByte(stream, introducer)) {
        ended = true;
        break;
      }
    }
    // The end of the data counts as the trailer, so that blocks read up to
    // there are kept.
    if (ended) introducer = kTrailer;

    if (introducer == kImageIntroducer) {
      if (!ReadImage(stream, std::move(extensions), pixelBudget)) break;
      if (stream.Position() >= stream.Size() || !ReadOneByte(stream, introducer)) introducer = kTrailer;
    } else if (introducer == kTrailer && !extensions.empty()) {
      auto holder = std::make_unique<TGifSubImage>(this);
      holder->SetExtensions(std::move(extensions));
      AddSubImage(std::move(holder));
    }
    SendProgress(stream.Position(), stream.Size());
  }
}

bool TGifFile::ReadImage(TStream& stream, TExtensionList extensions, std::int64_t& pixelBudget) {
  std::array<std::uint8_t, 9> descriptor{};
  if (!ReadFully(stream, descriptor.data(), 9)) return false;
  auto image = std::make_unique<TGifSubImage>(globalTable_.Count(), this);
  image->SetExtensions(std::move(extensions));
  image->descriptor_ = descriptor;
  image->UnpackPackedByte(descriptor[8]);
  if (image->HasLocalTable()) {
    if (!ReadFully(stream, image->localTable_.TripleBytes(), image->localTable_.Count() * 3)) return false;
    image->localTable_.TriplesToColors();
  }
  const std::int64_t area = static_cast<std::int64_t>(image->Width()) * image->Height();

  std::uint8_t minCodeSize = 0;
  if (!ReadOneByte(stream, minCodeSize)) return false;
  image->lzwMinCodeSize_ = minCodeSize;
  ReadDataSubBlocks(stream, image->lzwData_);
  // Missing data decodes as zeros, so a few bytes could otherwise declare
  // gigabytes of pixels.
  if (area > pixelBudget || area > MostPixelsCodedIn(image->lzwData_.Count())) RaiseNotEnoughMemory(area);
  pixelBudget -= area;
  if (area > 0) {
    image->Decode();
  } else {
    // Nothing to decode: the coded data stays as read and is written back unchanged.
    image->pixels_ = std::make_unique<TByteArray2D>(image->Width(), image->Height());
  }
  AddSubImage(std::move(image));
  return true;
}

// ================================================================================================
// TGifFile: writing
// ================================================================================================

void TGifFile::SaveToFile(const std::string& fileName) {
  TMemoryStream memory;
  SaveToStream(memory);
  memory.SaveToFile(fileName);
}

void TGifFile::WriteFrame(std::vector<std::uint8_t>& out, TGifSubImage& image) {
  if (image.Pixels() != nullptr && image.LzwData().Count() == 0) image.Encode();
  // The whole frame goes into one buffer: its size is known ahead.
  std::size_t size = 16 + 3 * 256;
  for (const auto& extension : image.Extensions()) {
    size += 16;
    for (const std::string& text : extension->Strings()) size += 1 + text.size();
  }
  size += static_cast<std::size_t>(image.LzwData().Count() + image.LzwData().SubBlockCount());
  out.reserve(out.size() + size);
  for (const auto& extension : image.Extensions()) {
    out.push_back(kExtensionIntroducer);
    out.push_back(extension->Label());
    std::vector<std::uint8_t> fixed = extension->Fixed();
    fixed.resize(static_cast<std::size_t>(TExtension::FixedLength(extension->Kind())), 0);
    out.insert(out.end(), fixed.begin(), fixed.end());
    if (extension->Kind() == ekGraphicControl) continue;
    for (const std::string& text : extension->Strings()) {
      // An empty sub-block would end the block early: empty strings are left out.
      if (text.empty()) continue;
      const std::size_t length = std::min<std::size_t>(text.size(), 255);
      out.push_back(static_cast<std::uint8_t>(length));
      out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
    }
    out.push_back(0);
  }
  // A frame added as coded data has no pixel matrix; one with neither holds only extensions.
  if (image.Pixels() == nullptr && image.LzwData().Count() == 0) return;
  out.push_back(kImageIntroducer);
  const auto descriptor = image.Descriptor();
  out.insert(out.end(), descriptor.begin(), descriptor.end());
  if (image.HasLocalTable()) {
    const std::uint8_t* triples = image.LocalTable().TripleBytes();
    out.insert(out.end(), triples, triples + (1 << image.SizeBits()) * 3);
  }
  out.push_back(image.LzwMinCodeSize());
  const TByteBuffer& data = image.LzwData();
  const std::uint8_t* bytes = data.Bytes().data();
  std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(data.Count() + data.SubBlockCount()) + 1);
  for (int i = 0; i < data.SubBlockCount(); ++i) {
    const int length = data.SubBlockLength(i);
    out[at++] = static_cast<std::uint8_t>(length);
    std::memcpy(out.data() + at, bytes, static_cast<std::size_t>(length));
    at += static_cast<std::size_t>(length);
    bytes += length;
  }
  out[at] = 0;
}

void TGifFile::WriteHeader(TStream& stream) {
  std::vector<std::uint8_t> out(header_.begin(), header_.end());
  const auto screen = ScreenDescriptor();
  out.insert(out.end(), screen.begin(), screen.end());
  if (globalTableFlag_) {
    const std::uint8_t* triples = globalTable_.TripleBytes();
    out.insert(out.end(), triples, triples + (1 << globalColorBits_) * 3);
  }
  stream.WriteBuffer(out.data(), static_cast<std::int64_t>(out.size()));
}

void TGifFile::WriteSubImage(TStream& stream, int index) {
  TGifSubImage* image = GetSubImage(index);
  if (image == nullptr) return;
  writeBuffer_.clear();
  WriteFrame(writeBuffer_, *image);
  stream.WriteBuffer(writeBuffer_.data(), static_cast<std::int64_t>(writeBuffer_.size()));
}

void TGifFile::WriteTrailer(TStream& stream) { stream.WriteByte(kTrailer); }

void TGifFile::SaveToStream(TStream& stream) {
  WriteHeader(stream);
  const int count = ImageCount();
  for (int k = 0; k < count; ++k) {
    WriteSubImage(stream, k + 1);
    SendProgress(k, count - 1);
    if (CancelFlag) break;
  }
  // The trailer ends the file also when the write was cancelled.
  WriteTrailer(stream);
}

// ================================================================================================
// TGifFile: frames from bitmaps
// ================================================================================================

namespace {

// A table whose colours are its triples, for lookups in tables that were
// read from a file or edited by their triples.
TColorTable LookupTableOf(const TColorTable& table) {
  TColorTable lookup = table;
  lookup.TriplesToColors();
  return lookup;
}

// The distinct indices of an 8-bit picture in the order they first appear,
// row by row: every mapping of a picture decides index by index in this
// order, so that one pass over the pixels applies all of them.
std::vector<std::uint8_t> IndicesInOrderOfAppearance(const TBitmap& picture) {
  std::vector<std::uint8_t> order;
  std::array<bool, 256> seen{};
  for (int y = 0; y < picture.Height() && order.size() < 256; ++y) {
    const std::uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x) {
      if (seen[row[x]]) continue;
      seen[row[x]] = true;
      order.push_back(row[x]);
    }
  }
  return order;
}

// The distinct indices of an 8-bit picture in ascending order.
std::vector<std::uint8_t> IndicesUsed(const TBitmap& picture) {
  std::array<std::uint8_t, 256> used{};
  const int width = picture.Width();
  for (int y = 0; y < picture.Height(); ++y) {
    const std::uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < width; ++x) used[row[x]] = 1;
  }
  std::vector<std::uint8_t> indices;
  for (int i = 0; i < 256; ++i)
    if (used[static_cast<std::size_t>(i)] != 0) indices.push_back(static_cast<std::uint8_t>(i));
  return indices;
}

}  // namespace

// The colours of an 8-bit picture's palette, at most 256; an index past them
// reads as the first (black when there is none).
struct TSourcePalette {
  std::vector<TColor> colors;
  TColor ColorAt(int index) const {
    if (index < static_cast<int>(colors.size())) return colors[static_cast<std::size_t>(index)];
    return colors.empty() ? 0 : colors[0];
  }
};

TGifFile::TColorMapping TGifFile::MapColors(const TSourcePalette& palette, const std::vector<std::uint8_t>& order,
                                            const TColorTable& global) const {
  TColorMapping mapping;
  TColorTable& table = mapping.table;
  const int paletteCount = static_cast<int>(palette.colors.size());
  if (!differentPalettes_) {
    for (int i = 0; i < paletteCount; ++i) table.SetColor(i, palette.colors[static_cast<std::size_t>(i)]);
    table.SetCount(std::min(paletteCount + 1, 256));
  }
  mapping.becomesGlobal = global.Count() == 0;
  mapping.becomesLocal = !mapping.becomesGlobal && differentPalettes_;
  // Indices of a frame that keeps no table of its own refer to the shared
  // global table, so they are looked up among its own entries only.
  const bool ownTable = mapping.becomesGlobal || mapping.becomesLocal;
  TColorTable shared = ownTable ? TColorTable(0) : LookupTableOf(global);
  TColorTable& lookup = ownTable ? table : shared;
  // The exact lookups find the highest matching entry, as IndexOf does.
  TColorIndexMap exact;
  for (int i = lookup.Count() - 1; i >= 0; --i) exact.Insert(lookup.Color(i), i);
  mapping.mapped.fill(-1);
  // Each index maps to one table index, decided where it first appears.
  for (const std::uint8_t paletteIndex : order) {
    const TColor color = palette.ColorAt(paletteIndex);
    int index = exact.Find(color);
    if (index < 0) {
      if (differentPalettes_ && lookup.Count() < 256) {
        index = lookup.Count();
        lookup.SetColor(index, color);
        lookup.SetCount(index + 1);
        exact.Insert(color, index);
      } else {
        index = lookup.NearestIndex(color);
      }
    }
    mapping.mapped[paletteIndex] = index;
  }
  table.RoundCount();
  table.ColorsToTriples();
  return mapping;
}

void TGifFile::CommitGlobalTable(const TColorMapping& mapping) {
  if (mapping.becomesGlobal) globalTable_ = mapping.table;
  while ((1 << globalColorBits_) < globalTable_.Count() && globalColorBits_ < 8) ++globalColorBits_;
}

std::unique_ptr<TGifSubImage> TGifFile::MakeFrame(const TColorMapping& mapping, std::unique_ptr<TByteArray2D> matrix) {
  // A frame without a table of its own needs code sizes for the shared table's indices.
  int colors = mapping.table.Count();
  if (!mapping.becomesGlobal && !mapping.becomesLocal) colors = std::max(colors, globalTable_.Count());
  auto image = std::make_unique<TGifSubImage>(colors, this);
  CommitGlobalTable(mapping);
  if (mapping.becomesLocal) {
    image->localTableFlag_ = 1;
    image->localTable_ = mapping.table;
  }
  image->RebuildPackedByte();
  image->SetPixels(std::move(matrix));
  if (image->Width() > ScreenWidth()) SetScreenWidth(image->Width());
  if (image->Height() > ScreenHeight()) SetScreenHeight(image->Height());
  RebuildScreenPackedByte();
  return image;
}

TGifFile::TGraphicPlan TGifFile::PlanGraphic(const std::vector<TColor>& colors, const std::vector<std::uint8_t>& order,
                                             const TColorTable& global) const {
  TSourcePalette palette{colors};
  if (palette.colors.size() > 256) palette.colors.resize(256);
  TGraphicPlan plan;
  // A first mapping settles the tables; the graphic drawn onto its colours
  // (each index to the nearest of the table's own entries) is then mapped
  // again into the frame that is kept.
  plan.first = MapColors(palette, order, global);
  const TColorTable& settledGlobal = plan.first.becomesGlobal ? plan.first.table : global;
  const TColorTable& settled = plan.first.becomesLocal ? plan.first.table : settledGlobal;
  std::array<TPaletteEntry, 256> entries{};
  // The nearest entry of a colour the table holds is its lowest such entry.
  TColorIndexMap exact;
  for (int i = 0; i < settled.Count(); ++i) {
    entries[static_cast<std::size_t>(i)] = PaletteEntryOf(settled.ColorOf(i));
    exact.Insert(settled.ColorOf(i), i);
  }
  TSourcePalette drawnPalette;
  for (int i = 0; i < 256; ++i) drawnPalette.colors.push_back(settled.ColorOf(i));
  std::array<int, 256> drawn;
  drawn.fill(-1);
  std::vector<std::uint8_t> drawnOrder;
  std::array<bool, 256> drawnSeen{};
  for (const std::uint8_t source : order) {
    const TColor color = palette.ColorAt(source);
    int index = exact.Find(ColorToRGB(color) & 0xFFFFFF);
    if (index < 0) index = std::max(0, NearestColorIndex(entries.data(), settled.Count(), color));
    drawn[source] = index;
    if (!drawnSeen[static_cast<std::size_t>(index)]) {
      drawnSeen[static_cast<std::size_t>(index)] = true;
      drawnOrder.push_back(static_cast<std::uint8_t>(index));
    }
  }
  plan.kept = MapColors(drawnPalette, drawnOrder, settledGlobal);

  // Both mappings in one: the index each picture index becomes.
  std::array<bool, 256> seen{};
  for (const std::uint8_t source : order) {
    const auto index = static_cast<std::uint8_t>(plan.kept.mapped[static_cast<std::size_t>(drawn[source])]);
    plan.final[source] = index;
    if (!seen[index]) {
      seen[index] = true;
      plan.order.push_back(index);
    }
  }
  return plan;
}

TGifFile::TGraphicPlan TGifFile::AddGraphic(const TBitmap& graphic) {
  TBitmap converted;
  const TBitmap* picture = &graphic;
  if (graphic.PixelFormat() != pf8bit) {
    converted.Assign(&graphic);
    converted.SetPixelFormat(pf8bit);
    picture = &converted;
  }
  std::vector<TColor> colors;
  for (const TPaletteEntry& e : picture->Palette().Entries()) colors.push_back(ColorOf(e));
  // Only tables built entry by entry (frames with tables of their own)
  // depend on the order in which the indices appear; shared tables map each
  // index alike whatever the order, so the indices used are enough there.
  const std::vector<std::uint8_t> order =
      differentPalettes_ ? IndicesInOrderOfAppearance(*picture) : IndicesUsed(*picture);
  TGraphicPlan plan = PlanGraphic(colors, order, globalTable_);
  bool unchanged = true;
  for (const std::uint8_t index : order) unchanged = unchanged && plan.final[index] == index;
  const int width = picture->Width(), height = picture->Height();
  auto matrix = std::make_unique<TByteArray2D>(width, height);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = picture->ScanLine(y);
    std::uint8_t* out = matrix->Data() + static_cast<std::int64_t>(y) * width;
    if (unchanged) {
      std::memcpy(out, row, static_cast<std::size_t>(width));
      continue;
    }
    for (int x = 0; x < width; ++x) out[x] = plan.final[row[x]];
  }
  CommitGlobalTable(plan.first);
  AddSubImage(MakeFrame(plan.kept, std::move(matrix)));
  return plan;
}

TGifSubImage& TGifFile::AddCodedGraphic(const TGraphicPlan& plan, int width, int height, const TByteBuffer& data) {
  CommitGlobalTable(plan.first);
  std::unique_ptr<TGifSubImage> image = MakeFrame(plan.kept, nullptr);
  image->SetWord(4, width);
  image->SetWord(6, height);
  image->lzwData_ = data;
  if (width > ScreenWidth()) SetScreenWidth(width);
  if (height > ScreenHeight()) SetScreenHeight(height);
  RebuildScreenPackedByte();
  AddSubImage(std::move(image));
  return *images_.back();
}

// ================================================================================================
// TGifFile: playback
// ================================================================================================

TSize TGifFile::CompositionSize() const {
  TSize size{0, 0};
  for (const auto& image : images_) {
    // An image without pixels (or of zero width or height) covers nothing,
    // wherever its descriptor places it.
    if (image->Pixels() == nullptr || image->Width() == 0 || image->Height() == 0) continue;
    size.cx = std::max(size.cx, image->Left() + image->Width());
    size.cy = std::max(size.cy, image->Top() + image->Height());
  }
  return size;
}

void TGifFile::FillArea(const TRect& rect, TColor color) {
  TRect area;
  if (!IntersectRect(area, rect, Rect(0, 0, composed_.Width(), composed_.Height()))) return;
  const auto b = GetBValue(color), g = GetGValue(color), r = GetRValue(color);
  for (int y = area.Top; y < area.Bottom; ++y) {
    std::uint8_t* row = composed_.ScanLine(y);
    for (int x = area.Left; x < area.Right; ++x) {
      row[3 * x] = b;
      row[3 * x + 1] = g;
      row[3 * x + 2] = r;
    }
  }
}

void TGifFile::ComposeFrame(const TGifSubImage& image, bool first) {
  const TRect frameRect = Bounds(image.Left(), image.Top(), image.Width(), image.Height());
  const TColor transparentColor = image.GetTransparentColor();
  const int transparentIndex = image.Transparent() ? image.TransparentIndex() : -1;

  if (first) {
    backgroundColor_ = transparentColor == kNoTransparentColor ? clWhite : (transparentColor & 0xFFFFFF);
    const TSize size = CompositionSize();
    const std::int64_t area = std::int64_t{size.cx} * size.cy;
    if (area > kMaxComposedPixels) RaiseNotEnoughMemory(area * 3);
    composed_.SetPixelFormat(pf24bit);
    composed_.SetTransparent(false);
    composed_.Canvas().Brush().Color = backgroundColor_;
    composed_.Canvas().Pen().Color = backgroundColor_;
    composed_.SetSize(size.cx, size.cy);
    FillArea(Rect(0, 0, size.cx, size.cy), backgroundColor_);
  } else if (previousDisposal_ == 2) {
    // Back to the background: the current frame's transparent colour when
    // the previous frame was transparent, else white.
    TColor fill = clWhite;
    if (previousTransparent_)
      fill = transparentColor == kNoTransparentColor ? backgroundColor_ : (transparentColor & 0xFFFFFF);
    FillArea(previousRect_, fill);
  } else if (previousDisposal_ == 3 && !savedArea_.empty()) {
    const int columns = savedRect_.Width();
    for (int y = savedRect_.Top; y < savedRect_.Bottom; ++y)
      std::memcpy(composed_.ScanLine(y) + 3 * savedRect_.Left,
                  savedArea_.data() + static_cast<std::size_t>(y - savedRect_.Top) * columns * 3,
                  static_cast<std::size_t>(columns) * 3);
  }

  TRect visible;
  const bool onCanvas = IntersectRect(visible, frameRect, Rect(0, 0, composed_.Width(), composed_.Height()));
  savedArea_.clear();
  if (image.Disposal() == 3 && onCanvas) {
    // What the frame covers, as it is before the frame is drawn.
    savedRect_ = visible;
    const int columns = visible.Width();
    savedArea_.resize(static_cast<std::size_t>(columns) * 3 * visible.Height());
    for (int y = visible.Top; y < visible.Bottom; ++y)
      std::memcpy(savedArea_.data() + static_cast<std::size_t>(y - visible.Top) * columns * 3,
                  composed_.ScanLine(y) + 3 * visible.Left, static_cast<std::size_t>(columns) * 3);
  }

  if (onCanvas) {
    const TColorTable& table = image.ActiveTable();
    std::array<std::array<std::uint8_t, 3>, 256> bgr;
    for (int i = 0; i < 256; ++i) bgr[static_cast<std::size_t>(i)] = {table.Triple(i)[2], table.Triple(i)[1], table.Triple(i)[0]};
    const TByteArray2D& pixels = *image.Pixels();
    // The first frame is drawn without transparency.
    const int skip = first ? -1 : transparentIndex;
    for (int y = visible.Top; y < visible.Bottom; ++y) {
      std::uint8_t* row = composed_.ScanLine(y);
      const std::uint8_t* source =
          pixels.Data() + static_cast<std::int64_t>(y - frameRect.Top) * pixels.Width() - frameRect.Left;
      for (int x = visible.Left; x < visible.Right; ++x) {
        const std::uint8_t index = source[x];
        if (index == skip) continue;
        const auto& c = bgr[index];
        row[3 * x] = c[0];
        row[3 * x + 1] = c[1];
        row[3 * x + 2] = c[2];
      }
    }
  }
  previousRect_ = frameRect;
  previousTransparent_ = image.Transparent() ? 1 : 0;
  previousDisposal_ = static_cast<std::uint8_t>(image.Disposal());
}

void TGifFile::ComposeNext() {
  const int count = ImageCount();
  if (count == 0) return;
  if (frameCounter_ < 1) frameCounter_ = 1;
  if (frameCounter_ > count) {
    frameCounter_ = 1;
    looped_ = 1;
  }
  const TGifSubImage& image = *images_[static_cast<std::size_t>(frameCounter_ - 1)];
  lastComposed_ = frameCounter_;
  // A frame of extensions only draws nothing.
  if (image.Pixels() != nullptr) ComposeFrame(image, frameCounter_ == 1 || composed_.Empty());
  composedIndex_ = frameCounter_;
  ++frameCounter_;
}

void TGifFile::DrawNextFrame(TBitmap& target) {
  if (ImageCount() == 0) return;
  ComposeNext();
  if (&target != &composed_) target.Assign(&composed_);
  target.SetTransparent(false);
  if (lastComposed_ == 1) {
    target.Canvas().Brush().Color = backgroundColor_;
    target.Canvas().Pen().Color = backgroundColor_;
  }
}

void TGifFile::GetFrameBitmap(int index, TBitmap& target) {
  const int count = ImageCount();
  if (count == 0) return;
  index = std::clamp(index, 1, count);
  if (composedIndex_ != index) {
    if (index < frameCounter_ || frameCounter_ < 1 || frameCounter_ > count) frameCounter_ = 1;
    while (frameCounter_ <= index) ComposeNext();
  }
  if (&target != &composed_) target.Assign(&composed_);
  target.SetTransparent(false);
}

TBitmap* TGifFile::GetBitmap() {
  GetFrameBitmap(1, composed_);
  return &composed_;
}

bool TGifFile::TakeLooped() {
  const bool looped = looped_ != 0;
  looped_ = 0;
  return looped;
}

// ================================================================================================
// TGifBitmap and its registration
// ================================================================================================

void TGifBitmap::LoadFromStream(TStream& stream) {
  TGifFile gif;
  gif.LoadFromStream(stream);
  for (int i = 1; i <= gif.ImageCount(); ++i) {
    const TGifSubImage* image = gif.GetSubImage(i);
    if (image->Pixels() == nullptr) continue;
    TMemoryStream bmp;
    image->SaveAsBMP(bmp);
    TBitmap::LoadFromStream(bmp);
    return;
  }
  throw EInvalidGraphic("The GIF file holds no image");
}

namespace {

// Registers the GIF picture format while the program runs.
struct TGifFormatRegistration {
  TGifFormatRegistration() {
    RegisterFileFormat("gif", "GIF-Format", [](const std::string& fileName, TBitmap& bitmap) {
      TGifBitmap gif;
      gif.LoadFromFile(fileName);
      bitmap.Assign(&gif);
    });
  }
  ~TGifFormatRegistration() { UnregisterFileFormat("gif"); }
} gifFormatRegistration;

}  // namespace
