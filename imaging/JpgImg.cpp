#include "imaging/JpgImg.h"

#include "imaging/rdbmp.h"
#include "imaging/wrbmp.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

const char* const SJpegFileWrite = "Output file write error --- out of disk space?";
const char* const SJpegInputEOF = "Premature end of input file";
const char* const SJpegBmpColormap = "Unsupported BMP colormap format";
const char* const SJpegBmpBadDepth = "Only 8- and 24-bit BMP files are supported";
const char* const SJpegBmpBadHeader = "Invalid BMP file: bad header length";
const char* const SJpegBmpBadPlanes = "Invalid BMP file: biPlanes not equal to 1";
const char* const SJpegBmpColorSpace = "BMP output must be grayscale or RGB";
const char* const SJpegBmpCompressed = "Sorry, compressed BMPs not yet supported";
const char* const SJpegBmpNotBmp = "Not a BMP file - does not start with BM";
const char* const SJpegBmpColormapSize = "Output file format cannot handle %d colormap entries";
const char* const SJpegBmpEmpty = "Empty BMP image";
const char* const SJpegImageTooLarge = "The image is too large for the JPEG bridge";
const char* const SJpegWarnings = "There are warnings";
const char* const SJpegTooManyScans = "Too many scans in the JPEG file";

// ---- libjpeg plumbing --------------------------------------------------------------------
//
// libjpeg reports errors by calling error_exit, which must not return. Ours
// longjmps back to the setjmp of the small C-style step function that made
// the library call; the step returns false and its C++ caller raises
// EJPEGException with the message. No C++ object with a destructor is ever
// alive between a setjmp and the library frames it guards, and no C++
// exception ever passes through libjpeg.

namespace {

// Memory held for libjpeg's own buffers of one image at most (whole-image
// coefficient buffers of progressive files count here).
constexpr long kMaxLibraryMemory = 512L << 20;
// Progressive files with more scans than this are refused: each scan passes
// over the whole image.
constexpr int kMaxScans = 1000;

struct TJpegErrorManager {
  jpeg_error_mgr pub;  // first, so that the library's pointer converts
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings are counted (the caller looks at num_warnings); nothing is printed.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0) cinfo->err->num_warnings++;
}

void OutputMessage(j_common_ptr) {}

// Called by libjpeg between passes and scans; stops files with too many scans.
void ProgressMonitor(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "%s", SJpegTooManyScans);
    std::longjmp(err->jump, 1);
  }
}

void InitErrorManager(TJpegErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.emit_message = EmitMessage;
  err.pub.output_message = OutputMessage;
  err.message[0] = '\0';
}

// The source: the JPEG bytes in memory. Reading past the end supplies an end
// marker with a warning, as libjpeg's own file source does.
const JOCTET kFakeEOI[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  WARNMS(cinfo, JWRN_JPEG_EOF);
  cinfo->src->next_input_byte = kFakeEOI;
  cinfo->src->bytes_in_buffer = 2;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  if (static_cast<unsigned long>(count) > src->bytes_in_buffer) {
    src->bytes_in_buffer = 0;
    (void)(*src->fill_input_buffer)(cinfo);
  } else {
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<std::size_t>(count);
  }
}

void TermSource(j_decompress_ptr) {}

int NextMarkerByte(j_decompress_ptr cinfo) {
  jpeg_source_mgr* src = cinfo->src;
  if (src->bytes_in_buffer == 0 && !(*src->fill_input_buffer)(cinfo)) ERREXIT(cinfo, JERR_CANT_SUSPEND);
  src->bytes_in_buffer--;
  return *src->next_input_byte++;
}

// Comment markers are skipped: a 2-byte big-endian length that counts itself.
boolean SkipCommentMarker(j_decompress_ptr cinfo) {
  long length = static_cast<long>(NextMarkerByte(cinfo)) << 8;
  length += NextMarkerByte(cinfo);
  if (length < 2) ERREXIT(cinfo, JERR_BAD_LENGTH);
  SkipInputData(cinfo, length - 2);
  return TRUE;
}

// The destination: a growing block of memory that libjpeg fills; the caller
// copies it to the target stream once compression has finished.
struct TMemoryDestination {
  jpeg_destination_mgr pub;  // first
  JOCTET* buffer;
  std::size_t capacity;
  std::size_t size;
};

constexpr std::size_t kDestinationChunk = 64 * 1024;

void InitDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<TMemoryDestination*>(cinfo->dest);
  dest->buffer = static_cast<JOCTET*>(std::malloc(kDestinationChunk));
  if (dest->buffer == nullptr) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
  dest->capacity = kDestinationChunk;
  dest->size = 0;
  dest->pub.next_output_byte = dest->buffer;
  dest->pub.free_in_buffer = dest->capacity;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  // Called when the whole buffer is full.
  auto* dest = reinterpret_cast<TMemoryDestination*>(cinfo->dest);
  const std::size_t grown = dest->capacity * 2;
  auto* bigger = static_cast<JOCTET*>(std::realloc(dest->buffer, grown));
  if (bigger == nullptr) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 11);
  dest->buffer = bigger;
  dest->pub.next_output_byte = bigger + dest->capacity;
  dest->pub.free_in_buffer = grown - dest->capacity;
  dest->capacity = grown;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<TMemoryDestination*>(cinfo->dest);
  dest->size = dest->capacity - dest->pub.free_in_buffer;
}

J_DCT_METHOD DctOf(TDCTMethod method) {
  switch (method) {
    case TDCTMethod::FastInteg: return JDCT_IFAST;
    case TDCTMethod::FloatingPoint: return JDCT_FLOAT;
    default: return JDCT_ISLOW;
  }
}

// ---- Decompression steps -------------------------------------------------------------------

struct TDecodeSession {
  jpeg_decompress_struct cinfo;
  TJpegErrorManager err;
  jpeg_source_mgr source;
  jpeg_progress_mgr progress;
  bool created;
};

void ApplyDecompressOptions(j_decompress_ptr cinfo, const TJPEGDecodeOptions& o) {
  switch (o.numOfColors) {
    case TNumOfColors::_16:
      cinfo->quantize_colors = TRUE;
      cinfo->desired_number_of_colors = 16;
      break;
    case TNumOfColors::_256:
      cinfo->quantize_colors = TRUE;
      cinfo->desired_number_of_colors = 256;
      break;
    case TNumOfColors::TrueColor:
      cinfo->quantize_colors = FALSE;
      break;
  }
  cinfo->dct_method = DctOf(o.dctMethod);
  switch (o.dither) {
    case TDither::None: cinfo->dither_mode = JDITHER_NONE; break;
    case TDither::FS: cinfo->dither_mode = JDITHER_FS; break;
    case TDither::Ordered: cinfo->dither_mode = JDITHER_ORDERED; break;
  }
  if (o.fastProcessing) {
    cinfo->two_pass_quantize = FALSE;
    cinfo->dither_mode = JDITHER_ORDERED;
    if (!cinfo->quantize_colors) cinfo->desired_number_of_colors = 216;
    cinfo->dct_method = JDCT_IFAST;
    cinfo->do_fancy_upsampling = FALSE;
  }
  if (o.grayScale) cinfo->out_color_space = JCS_GRAYSCALE;
  if (o.noSmooth) cinfo->do_fancy_upsampling = FALSE;
  if (o.onePass) cinfo->two_pass_quantize = FALSE;
}

bool DecodeCreate(TDecodeSession* s, const std::uint8_t* data, std::size_t size) {
  s->cinfo.err = &s->err.pub;
  if (setjmp(s->err.jump)) return false;
  jpeg_create_decompress(&s->cinfo);
  s->created = true;
  s->cinfo.mem->max_memory_to_use = kMaxLibraryMemory;
  s->source.init_source = InitSource;
  s->source.fill_input_buffer = FillInputBuffer;
  s->source.skip_input_data = SkipInputData;
  s->source.resync_to_restart = jpeg_resync_to_restart;
  s->source.term_source = TermSource;
  s->source.next_input_byte = data;
  s->source.bytes_in_buffer = size;
  s->cinfo.src = &s->source;
  s->progress.progress_monitor = ProgressMonitor;
  s->cinfo.progress = &s->progress;
  jpeg_set_marker_processor(&s->cinfo, JPEG_COM, SkipCommentMarker);
  return true;
}

bool DecodeReadHeader(TDecodeSession* s, const TJPEGDecodeOptions* options) {
  if (setjmp(s->err.jump)) return false;
  ApplyDecompressOptions(&s->cinfo, *options);
  jpeg_read_header(&s->cinfo, TRUE);
  ApplyDecompressOptions(&s->cinfo, *options);
  jpeg_calc_output_dimensions(&s->cinfo);
  return true;
}

bool DecodeStart(TDecodeSession* s) {
  if (setjmp(s->err.jump)) return false;
  jpeg_start_decompress(&s->cinfo);
  return true;
}

bool DecodeRows(TDecodeSession* s, JSAMPARRAY rows, JDIMENSION count, JDIMENSION* read) {
  if (setjmp(s->err.jump)) return false;
  *read = jpeg_read_scanlines(&s->cinfo, rows, count);
  return true;
}

bool DecodeFinish(TDecodeSession* s) {
  if (setjmp(s->err.jump)) return false;
  jpeg_finish_decompress(&s->cinfo);
  return true;
}

// Owns a session and destroys the decompressor on every path.
struct TDecodeSessionOwner {
  std::unique_ptr<TDecodeSession> session = std::make_unique<TDecodeSession>();
  TDecodeSessionOwner() { InitErrorManager(session->err); }
  ~TDecodeSessionOwner() {
    if (session->created) jpeg_destroy_decompress(&session->cinfo);
  }
  [[noreturn]] void Fail() const { throw EJPEGException(session->err.message); }
};

TBmpOutputInfo OutputInfoOf(const jpeg_decompress_struct& cinfo) {
  TBmpOutputInfo info;
  info.width = static_cast<std::int32_t>(cinfo.output_width);
  info.height = static_cast<std::int32_t>(cinfo.output_height);
  info.components = cinfo.output_components;
  switch (cinfo.out_color_space) {
    case JCS_GRAYSCALE: info.colorSpace = TBmpOutputInfo::TColorSpace::Grayscale; break;
    case JCS_RGB: info.colorSpace = TBmpOutputInfo::TColorSpace::RGB; break;
    default: info.colorSpace = TBmpOutputInfo::TColorSpace::Other; break;
  }
  info.colorMapped = cinfo.quantize_colors && cinfo.colormap != nullptr;
  if (info.colorMapped) {
    const int entries = cinfo.actual_number_of_colors;
    info.colorMap.resize(static_cast<std::size_t>(entries < 0 ? 0 : entries));
    for (int i = 0; i < entries; ++i) {
      // A grey map has one component, repeated here three times.
      const int last = cinfo.out_color_components - 1;
      info.colorMap[static_cast<std::size_t>(i)] = {
          static_cast<std::uint8_t>(cinfo.colormap[0][i]),
          static_cast<std::uint8_t>(cinfo.colormap[last >= 1 ? 1 : 0][i]),
          static_cast<std::uint8_t>(cinfo.colormap[last >= 2 ? 2 : 0][i])};
    }
  }
  info.densityUnit = cinfo.density_unit;
  info.xDensity = cinfo.X_density;
  info.yDensity = cinfo.Y_density;
  return info;
}

// Reports p = rows done * 100 div rows when it changed to a non-zero multiple of the step.
class TProgressCounter {
 public:
  TProgressCounter(int step, const TJPEGProgressReport& report) : step_(step), report_(report) {}
  void Rows(std::int64_t done, std::int64_t total) {
    if (step_ <= 0 || !report_ || total <= 0) return;
    const int p = static_cast<int>(done * 100 / total);
    if (p != last_ && p % step_ == 0) {
      last_ = p;
      report_(p);
    }
  }

 private:
  int step_;
  const TJPEGProgressReport& report_;
  int last_ = 0;
};

// ---- Compression steps -------------------------------------------------------------------------

struct TEncodeSession {
  jpeg_compress_struct cinfo;
  TJpegErrorManager err;
  TMemoryDestination dest;
  bool created;
};

struct TEncodeSetup {
  std::int32_t width;
  std::int32_t height;
  int densityUnit;
  int xDensity;
  int yDensity;
  const TJPEGEncodeOptions* options;
};

bool EncodeCreate(TEncodeSession* s) {
  s->cinfo.err = &s->err.pub;
  if (setjmp(s->err.jump)) return false;
  jpeg_create_compress(&s->cinfo);
  s->created = true;
  s->cinfo.mem->max_memory_to_use = kMaxLibraryMemory;
  s->dest.pub.init_destination = InitDestination;
  s->dest.pub.empty_output_buffer = EmptyOutputBuffer;
  s->dest.pub.term_destination = TermDestination;
  s->cinfo.dest = &s->dest.pub;
  return true;
}

bool EncodeSetParameters(TEncodeSession* s, const TEncodeSetup* setup) {
  if (setjmp(s->err.jump)) return false;
  jpeg_compress_struct* cinfo = &s->cinfo;
  cinfo->in_color_space = JCS_RGB;
  cinfo->input_components = 3;
  jpeg_set_defaults(cinfo);
  cinfo->image_width = static_cast<JDIMENSION>(setup->width);
  cinfo->image_height = static_cast<JDIMENSION>(setup->height);
  cinfo->data_precision = 8;
  if (setup->densityUnit != 0) {
    cinfo->density_unit = static_cast<UINT8>(setup->densityUnit);
    cinfo->X_density = static_cast<UINT16>(setup->xDensity);
    cinfo->Y_density = static_cast<UINT16>(setup->yDensity);
  }
  jpeg_default_colorspace(cinfo);
  const TJPEGEncodeOptions& o = *setup->options;
  if (o.grayScale) jpeg_set_colorspace(cinfo, JCS_GRAYSCALE);
  cinfo->dct_method = DctOf(o.dctMethod);
  if (o.fastProcessing) cinfo->dct_method = JDCT_IFAST;
  cinfo->optimize_coding = o.fastProcessing ? FALSE : TRUE;
  jpeg_set_quality(cinfo, o.quality, FALSE);
  if (o.progressive) jpeg_simple_progression(cinfo);
  return true;
}

bool EncodeStart(TEncodeSession* s) {
  if (setjmp(s->err.jump)) return false;
  jpeg_start_compress(&s->cinfo, TRUE);
  return true;
}

bool EncodeRow(TEncodeSession* s, JSAMPROW row) {
  if (setjmp(s->err.jump)) return false;
  JSAMPROW rows[1] = {row};
  jpeg_write_scanlines(&s->cinfo, rows, 1);
  return true;
}

bool EncodeFinish(TEncodeSession* s) {
  if (setjmp(s->err.jump)) return false;
  jpeg_finish_compress(&s->cinfo);
  return true;
}

struct TEncodeSessionOwner {
  std::unique_ptr<TEncodeSession> session = std::make_unique<TEncodeSession>();
  TEncodeSessionOwner() { InitErrorManager(session->err); }
  ~TEncodeSessionOwner() {
    if (session->created) jpeg_destroy_compress(&session->cinfo);
    std::free(session->dest.buffer);
  }
  [[noreturn]] void Fail() const { throw EJPEGException(session->err.message); }
};

// A progressive file is buffered whole before its first row comes out, so a
// few bytes stating a large size would make the library allocate hundreds of
// megabytes. With Huffman coding every 8 x 8 block costs at least one bit, so
// a file smaller than that is cut short.
bool CutShortForItsSize(const jpeg_decompress_struct& cinfo, std::int64_t size) {
  if (!cinfo.progressive_mode || cinfo.arith_code) return false;
  const std::int64_t blocks = ((static_cast<std::int64_t>(cinfo.image_width) + 7) / 8) *
                              ((static_cast<std::int64_t>(cinfo.image_height) + 7) / 8);
  return blocks > 8 * size;
}

}  // namespace

// ---- Decoding and encoding ------------------------------------------------------------------------

void DecodeJPEGToBMP(const std::uint8_t* jpeg, std::int64_t size, const TJPEGDecodeOptions& options, TStream& bmp,
                     int progressStep, const TJPEGProgressReport& progress) {
  TDecodeSessionOwner owner;
  TDecodeSession* s = owner.session.get();
  if (!DecodeCreate(s, jpeg, static_cast<std::size_t>(size < 0 ? 0 : size))) owner.Fail();
  if (!DecodeReadHeader(s, &options)) owner.Fail();
  const std::int64_t pixels = static_cast<std::int64_t>(s->cinfo.output_width) * s->cinfo.output_height;
  if (pixels > kMaxBmpBridgePixels) throw EJPEGException(SJpegImageTooLarge);
  if (CutShortForItsSize(s->cinfo, size)) throw EJPEGException(SJpegInputEOF);
  if (!DecodeStart(s)) owner.Fail();
  // A picture with warnings is never taken, so decoding stops at the first one
  // (a file cut short would otherwise be decoded to its stated size).
  const long& warnings = s->err.pub.num_warnings;
  if (warnings != 0) throw EJPEGException(SJpegWarnings);

  TBmpStreamWriter writer(bmp, OutputInfoOf(s->cinfo));
  const JDIMENSION rowSamples = s->cinfo.output_width * static_cast<JDIMENSION>(s->cinfo.output_components);
  constexpr int kBatch = 16;
  std::vector<JSAMPLE> buffer(static_cast<std::size_t>(rowSamples) * kBatch);
  JSAMPROW rows[kBatch];
  for (int i = 0; i < kBatch; ++i) rows[i] = buffer.data() + static_cast<std::size_t>(i) * rowSamples;
  TProgressCounter counter(progressStep, progress);
  const JDIMENSION height = s->cinfo.output_height;
  while (s->cinfo.output_scanline < height) {
    JDIMENSION read = 0;
    if (!DecodeRows(s, rows, kBatch, &read)) owner.Fail();
    if (warnings != 0) throw EJPEGException(SJpegWarnings);
    if (read == 0) break;  // cannot happen with a memory source; guards the loop
    writer.PutPixelRows(rows, static_cast<int>(read));
    counter.Rows(s->cinfo.output_scanline, height);
  }
  if (!DecodeFinish(s)) owner.Fail();
  if (warnings != 0) throw EJPEGException(SJpegWarnings);
  writer.FinishOutput();
}

void EncodeBMPToJPEG(TStream& bmp, const TJPEGEncodeOptions& options, TStream& out, int progressStep,
                     const TJPEGProgressReport& progress) {
  TBmpStreamReader reader(bmp);
  TEncodeSessionOwner owner;
  TEncodeSession* s = owner.session.get();
  if (!EncodeCreate(s)) owner.Fail();
  const TEncodeSetup setup{reader.Width(), reader.Height(), reader.DensityUnit(), reader.XDensity(),
                           reader.YDensity(), &options};
  if (!EncodeSetParameters(s, &setup)) owner.Fail();
  if (!EncodeStart(s)) owner.Fail();
  std::vector<JSAMPLE> row(static_cast<std::size_t>(reader.Width()) * 3);
  TProgressCounter counter(progressStep, progress);
  std::int64_t done = 0;
  while (reader.GetPixelRow(row.data())) {
    if (!EncodeRow(s, row.data())) owner.Fail();
    counter.Rows(++done, reader.Height());
  }
  reader.FinishInput();
  if (!EncodeFinish(s)) owner.Fail();
  const auto written = static_cast<std::int64_t>(s->dest.size);
  if (out.Write(s->dest.buffer, written) != written) throw EJPEGException(SJpegFileWrite);
}

// ---- The component ------------------------------------------------------------------------------------

TCustomJPEGImage::TCustomJPEGImage()
    : jpegData_(std::make_unique<TMemoryStream>()), bitmap_(std::make_unique<TBitmap>()) {}

TCustomJPEGImage::~TCustomJPEGImage() = default;

// Only JPEG bytes are decoded again: a picture that was assigned directly
// (and has no bytes yet) is kept.
void TCustomJPEGImage::SetDecodeOption(bool changed) {
  if (changed && jpegData_->Size() > 0) LoadJPEG();
}

void TCustomJPEGImage::SetNumOfColors(TNumOfColors value) {
  const bool changed = decode_.numOfColors != value;
  decode_.numOfColors = value;
  SetDecodeOption(changed);
}
void TCustomJPEGImage::SetDCTMethod(TDCTMethod value) {
  const bool changed = decode_.dctMethod != value;
  decode_.dctMethod = value;
  SetDecodeOption(changed);
}
void TCustomJPEGImage::SetDither(TDither value) {
  const bool changed = decode_.dither != value;
  decode_.dither = value;
  SetDecodeOption(changed);
}
void TCustomJPEGImage::SetFastProcessing(bool value) {
  const bool changed = decode_.fastProcessing != value;
  decode_.fastProcessing = value;
  SetDecodeOption(changed);
}
void TCustomJPEGImage::SetGrayScale(bool value) {
  const bool changed = decode_.grayScale != value;
  decode_.grayScale = value;
  SetDecodeOption(changed);
}
void TCustomJPEGImage::SetNoSmooth(bool value) {
  const bool changed = decode_.noSmooth != value;
  decode_.noSmooth = value;
  SetDecodeOption(changed);
}
void TCustomJPEGImage::SetOnePass(bool value) {
  const bool changed = decode_.onePass != value;
  decode_.onePass = value;
  SetDecodeOption(changed);
}

void TCustomJPEGImage::SetQuality(t_jpeg_quality value) { quality_ = value < 0 ? 0 : (value > 100 ? 100 : value); }

void TCustomJPEGImage::ReportProgress(int percent) {
  progress_ = percent;
  if (OnProgress) OnProgress(*this);
}

void TCustomJPEGImage::LoadJPEG() {
  if (jpegData_->Size() == 0) {
    bitmap_->Assign(nullptr);
    return;
  }
  jpegData_->SetPosition(0);
  TMemoryStream bmp;
  DecodeJPEGToBMP(jpegData_->Memory(), jpegData_->Size(), decode_, bmp, progressStep_,
                  [this](int percent) { ReportProgress(percent); });
  // Decode into a fresh bitmap first, so that the picture keeps its contents
  // when the BMP cannot be loaded.
  auto decoded = std::make_unique<TBitmap>();
  bmp.SetPosition(0);
  decoded->LoadFromStream(bmp);
  bitmap_->Assign(decoded.get());
}

void TCustomJPEGImage::ReplaceAndLoad(std::unique_ptr<TMemoryStream> bytes) {
  std::swap(jpegData_, bytes);
  try {
    LoadJPEG();
  } catch (...) {
    std::swap(jpegData_, bytes);
    throw;
  }
}

TJPEGEncodeOptions TCustomJPEGImage::EncodeOptions() const {
  TJPEGEncodeOptions o;
  o.quality = quality_;
  o.progressive = progressive_;
  o.grayScale = decode_.grayScale;
  o.fastProcessing = decode_.fastProcessing;
  o.dctMethod = decode_.dctMethod;
  return o;
}

void TJPEGImage::SetFileName(const std::string& name) {
  auto bytes = std::make_unique<TMemoryStream>();
  if (!name.empty()) bytes->LoadFromFile(name);
  ReplaceAndLoad(std::move(bytes));
  fileName_ = name;
}

void TJPEGImage::LoadFromMemoryStream(const TMemoryStream* stream) {
  auto bytes = std::make_unique<TMemoryStream>();
  if (stream != nullptr && !stream->Bytes().empty())
    bytes->WriteBuffer(stream->Bytes().data(), static_cast<std::int64_t>(stream->Bytes().size()));
  bytes->SetPosition(0);
  ReplaceAndLoad(std::move(bytes));
}

void TJPEGImage::SaveToStream(TStream& stream) {
  const TBitmap& picture = Bitmap();
  if (picture.Empty()) return;
  TMemoryStream bmp;
  const int bits = picture.BitCount();
  if (bits == 8 || bits == 24) {
    picture.SaveToStream(bmp);
  } else {
    TBitmap copy;
    copy.Assign(&picture);
    copy.SetPixelFormat(pf24bit);
    copy.SaveToStream(bmp);
  }
  bmp.SetPosition(0);
  EncodeBMPToJPEG(bmp, EncodeOptions(), stream, ProgressStep(), [this](int percent) { ReportProgress(percent); });
}

void TJPEGImage::SaveToFile(const std::string& name) {
  TFileStream file(name, fmCreate);
  SaveToStream(file);
}
