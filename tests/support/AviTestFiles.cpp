#include "tests/support/AviTestFiles.h"

namespace {

std::string FourCC(const std::string& s) { return (s + "    ").substr(0, 4); }

std::string Chunk(const std::string& id, const std::string& data) {
  std::string out = FourCC(id) + Le32(static_cast<std::uint32_t>(data.size())) + data;
  if (data.size() % 2 != 0) out += '\0';
  return out;
}

std::string List(const std::string& type, const std::string& content) {
  return Chunk("LIST", FourCC(type) + content);
}

}  // namespace

std::string DibFormat(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression,
                      const std::vector<std::uint32_t>& colors) {
  std::string s = Le32(40) + Le32(static_cast<std::uint32_t>(width)) + Le32(static_cast<std::uint32_t>(height)) +
                  Le16(1) + Le16(static_cast<std::uint32_t>(bits)) + Le32(compression) + Le32(0) + Le32(0) +
                  Le32(0) + Le32(static_cast<std::uint32_t>(colors.size())) + Le32(0);
  for (std::uint32_t c : colors) s += Le32(c & 0xFFFFFF);  // blue, green, red, 0
  return s;
}

std::string PcmFormat(int channels, int samplesPerSecond, int bitsPerSample) {
  const int blockAlign = channels * bitsPerSample / 8;
  return Le16(1) + Le16(static_cast<std::uint32_t>(channels)) + Le32(static_cast<std::uint32_t>(samplesPerSecond)) +
         Le32(static_cast<std::uint32_t>(samplesPerSecond * blockAlign)) + Le16(static_cast<std::uint32_t>(blockAlign)) +
         Le16(static_cast<std::uint32_t>(bitsPerSample)) + Le16(0);
}

std::string AviTestFile::Build() const {
  std::string strls;
  for (std::size_t n = 0; n < streams.size(); ++n) {
    const AviTestStream& s = streams[n];
    std::uint32_t length = 0;
    if (s.length >= 0) {
      length = static_cast<std::uint32_t>(s.length);
    } else {
      const std::string prefix = (n < 10 ? "0" : "") + std::to_string(n);
      for (const AviTestChunk& c : chunks)
        if (c.id.compare(0, 2, prefix) == 0) ++length;
    }
    std::string strh = FourCC(s.type) + (s.handler.empty() ? Le32(0) : FourCC(s.handler)) + Le32(0) + Le16(0) +
                       Le16(0) + Le32(0) + Le32(s.scale) + Le32(s.rate) + Le32(s.start) + Le32(length) + Le32(0) +
                       Le32(0xFFFFFFFFu) + Le32(s.sampleSize);
    if (!s.shortHeader) strh += Le16(0) + Le16(0) + Le16(0) + Le16(0);
    strls += List("strl", Chunk("strh", strh) + Chunk("strf", s.format));
  }
  const std::string avih = Le32(100000) + Le32(0) + Le32(0) + Le32(0x10) + Le32(0) + Le32(0) +
                           Le32(static_cast<std::uint32_t>(streams.size())) + std::string(36, '\0');
  const std::string hdrl = List("hdrl", Chunk("avih", avih) + strls);

  std::string movi;
  std::string idx;
  const std::size_t moviTypeAt = 12 + hdrl.size() + 8;  // file offset of "movi"
  for (const AviTestChunk& c : chunks) {
    const std::size_t at = 4 + movi.size();  // from "movi"
    const std::size_t offset = absoluteIndex ? moviTypeAt + at : at;
    idx += FourCC(c.id) + Le32(c.flags) + Le32(static_cast<std::uint32_t>(offset)) +
           Le32(static_cast<std::uint32_t>(c.data.size()));
    movi += Chunk(c.id, c.data);
  }
  std::string body = "AVI " + hdrl + List("movi", movi);
  if (index) body += Chunk("idx1", idx);
  return "RIFF" + Le32(static_cast<std::uint32_t>(body.size())) + body;
}
