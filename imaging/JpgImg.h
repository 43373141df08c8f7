// The JPEG image component: JPEG bytes held in memory and their decoded
// picture, decoded and encoded through libjpeg. Pixels move between libjpeg
// and the bitmap as an in-memory BMP file (imaging/wrbmp.h, imaging/rdbmp.h).
#pragma once

#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// libjpeg's errors (with the library's message) and the component's own.
class EJPEGException : public Exception {
 public:
  using Exception::Exception;
};

// Texts of the BMP bridge (the numbers of libjpeg's add-on table in brackets)
// and the component.
extern const char* const SJpegFileWrite;        // (36) "Output file write error --- out of disk space?"
extern const char* const SJpegInputEOF;         // (42) "Premature end of input file"
extern const char* const SJpegBmpColormap;      // (121) "Unsupported BMP colormap format"
extern const char* const SJpegBmpBadDepth;      // (122) "Only 8- and 24-bit BMP files are supported"
extern const char* const SJpegBmpBadHeader;     // (123) "Invalid BMP file: bad header length"
extern const char* const SJpegBmpBadPlanes;     // (124) "Invalid BMP file: biPlanes not equal to 1"
extern const char* const SJpegBmpColorSpace;    // (125) "BMP output must be grayscale or RGB"
extern const char* const SJpegBmpCompressed;    // (126) "Sorry, compressed BMPs not yet supported"
extern const char* const SJpegBmpNotBmp;        // (127) "Not a BMP file - does not start with BM"
extern const char* const SJpegBmpColormapSize;  // (134) "Output file format cannot handle %d colormap entries"
extern const char* const SJpegBmpEmpty;         // "Empty BMP image"
extern const char* const SJpegImageTooLarge;    // an image beyond the bridge's pixel limit
extern const char* const SJpegWarnings;         // "There are warnings"
extern const char* const SJpegTooManyScans;     // a progressive file of more than 1,000 scans

enum class TNumOfColors { _16, _256, TrueColor };
enum class TDCTMethod { Integ, FastInteg, FloatingPoint };
enum class TDither { None, FS, Ordered };
// 0..100; libjpeg treats 0 as 1.
using t_jpeg_quality = int;

// The decoding options.
struct TJPEGDecodeOptions {
  TNumOfColors numOfColors = TNumOfColors::TrueColor;
  TDCTMethod dctMethod = TDCTMethod::Integ;
  TDither dither = TDither::FS;
  bool fastProcessing = false;
  bool grayScale = false;
  bool noSmooth = false;
  bool onePass = false;
};

// The encoding options.
struct TJPEGEncodeOptions {
  t_jpeg_quality quality = 75;
  bool progressive = false;
  bool grayScale = false;
  bool fastProcessing = false;
  TDCTMethod dctMethod = TDCTMethod::Integ;
};

// Called with the percentage of rows done; see ProgressStep.
using TJPEGProgressReport = std::function<void(int percent)>;

// Decodes JPEG bytes into a BMP file written to bmp (through TBmpStreamWriter).
// progress is called when the percentage of rows done changes to a non-zero
// multiple of progressStep (never with a step of 0). Raises EJPEGException
// with libjpeg's message on errors, and "There are warnings" when libjpeg
// warned (bmp is then left unwritten).
void DecodeJPEGToBMP(const std::uint8_t* jpeg, std::int64_t size, const TJPEGDecodeOptions& options,
                     TStream& bmp, int progressStep = 0, const TJPEGProgressReport& progress = {});

// Encodes the BMP file at bmp's position (read with TBmpStreamReader) as a
// JPEG file written to out at its position. Raises EJPEGException.
void EncodeBMPToJPEG(TStream& bmp, const TJPEGEncodeOptions& options, TStream& out, int progressStep = 0,
                     const TJPEGProgressReport& progress = {});

// The component: JPEG bytes and the decoded picture, with the decoding
// options; changing a decoding option decodes the bytes again (when there are
// any; a picture assigned directly is kept).
class TCustomJPEGImage {
 public:
  TCustomJPEGImage();
  virtual ~TCustomJPEGImage();
  TCustomJPEGImage(const TCustomJPEGImage&) = delete;
  TCustomJPEGImage& operator=(const TCustomJPEGImage&) = delete;

  // The decoded picture (Picture.Bitmap).
  TBitmap& Bitmap() { return *bitmap_; }
  const TBitmap& Bitmap() const { return *bitmap_; }
  // The JPEG bytes.
  const std::vector<std::uint8_t>& JPEGBytes() const { return jpegData_->Bytes(); }

  TNumOfColors NumOfColors() const { return decode_.numOfColors; }
  void SetNumOfColors(TNumOfColors value);
  TDCTMethod DCTMethod() const { return decode_.dctMethod; }
  void SetDCTMethod(TDCTMethod value);
  TDither Dither() const { return decode_.dither; }
  void SetDither(TDither value);
  bool FastProcessing() const { return decode_.fastProcessing; }
  void SetFastProcessing(bool value);
  bool GrayScale() const { return decode_.grayScale; }
  void SetGrayScale(bool value);
  bool NoSmooth() const { return decode_.noSmooth; }
  void SetNoSmooth(bool value);
  bool OnePass() const { return decode_.onePass; }
  void SetOnePass(bool value);

  // Percent between progress reports (10); 0 means no reports.
  int ProgressStep() const { return progressStep_; }
  void SetProgressStep(int percent) { progressStep_ = percent; }
  // The percentage last reported to OnProgress.
  int Progress() const { return progress_; }
  std::function<void(TCustomJPEGImage&)> OnProgress;

  t_jpeg_quality Quality() const { return quality_; }
  void SetQuality(t_jpeg_quality value);
  bool Progressive() const { return progressive_; }
  void SetProgressive(bool value) { progressive_ = value; }

  // Decodes the JPEG bytes into the picture; empty bytes clear it. On any
  // error the picture keeps its previous contents.
  void LoadJPEG();

 protected:
  // Replaces the JPEG bytes and decodes them; when decoding fails, the old
  // bytes and picture stay and the error is raised.
  void ReplaceAndLoad(std::unique_ptr<TMemoryStream> bytes);
  TJPEGEncodeOptions EncodeOptions() const;
  void ReportProgress(int percent);

 private:
  void SetDecodeOption(bool changed);

  std::unique_ptr<TMemoryStream> jpegData_;
  std::unique_ptr<TBitmap> bitmap_;
  TJPEGDecodeOptions decode_;
  int progressStep_ = 10;
  int progress_ = 0;
  t_jpeg_quality quality_ = 75;
  bool progressive_ = false;
};

class TJPEGImage : public TCustomJPEGImage {
 public:
  const std::string& FileName() const { return fileName_; }
  // '' clears the JPEG bytes and the picture; otherwise the file's bytes
  // replace the JPEG bytes and are decoded. A missing file raises the stream
  // error and changes nothing; the name is stored only after a successful load.
  void SetFileName(const std::string& name);
  // The stream's bytes replace the JPEG bytes (nullptr clears them), then decodes.
  void LoadFromMemoryStream(const TMemoryStream* stream);
  // Encodes the picture as a JPEG file at the stream's position (nothing for
  // an empty picture). Pictures of other than 8 or 24 bits are encoded from a
  // 24-bit copy.
  void SaveToStream(TStream& stream);
  void SaveToFile(const std::string& name);

 private:
  std::string fileName_;
};
