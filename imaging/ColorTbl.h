// One GIF colour table: up to 256 red, green, blue triples in file order, and
// the same colours as $00BBGGRR numbers for the colour lookups.
#pragma once

#include "platform/Colors.h"

#include <array>
#include <cstdint>

class TColorTable {
 public:
  // kind 0 or 2: black and white; 16: the sixteen standard colours; 256: a
  // grey ramp. The count becomes the kind itself (kind 0: no table yet).
  explicit TColorTable(int kind = 0);

  int Count() const { return count_; }
  // Clamped to 0..256.
  void SetCount(int count);

  // Triple i as a colour value (red | green shl 8 | blue shl 16).
  TColor ColorOf(int index) const;
  const std::array<std::uint8_t, 3>& Triple(int index) const { return triples_.at(static_cast<std::size_t>(index)); }
  void SetTriple(int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  // The 768 triple bytes in file order.
  std::uint8_t* TripleBytes() { return triples_[0].data(); }
  const std::uint8_t* TripleBytes() const { return triples_[0].data(); }

  TColor Color(int index) const { return colors_.at(static_cast<std::size_t>(index)); }
  void SetColor(int index, TColor color) { colors_.at(static_cast<std::size_t>(index)) = color; }

  // Exact search of the colours from entry count-1 down to 0: the highest
  // matching index, or -1.
  int IndexOf(TColor color) const;
  // The colour masked to 24 bits; IndexOf when it is there, else the nearest
  // of the table's own entries (lowest index on ties). 0 for an empty table.
  int NearestIndex(TColor color) const;

  // A count of 1..4 becomes 4, 5..8 8, ... 129..255 256; 0 and 256 stay.
  void RoundCount();
  // The first count colours into the triples.
  void ColorsToTriples();
  // The first count triples into the colours (tables read from a file).
  void TriplesToColors();

 private:
  int count_ = 0;
  std::array<std::array<std::uint8_t, 3>, 256> triples_{};
  std::array<TColor, 256> colors_{};
};

// True when both tables have the same count and the same colours and
// triples up to it: every lookup and every written byte agrees.
bool SameEntries(const TColorTable& a, const TColorTable& b);

// Exact colour lookups among at most 256 table entries without a search:
// each colour leads to the index recorded for it first. Filled from the
// lowest index up it answers as a forward search does (the lowest match),
// from the highest down as TColorTable::IndexOf does (the highest).
class TColorIndexMap {
 public:
  TColorIndexMap() { Clear(); }
  void Clear();
  // Records the index unless the colour has one already.
  void Insert(TColor color, int index);
  // The recorded index of the colour, or -1.
  int Find(TColor color) const;

 private:
  static constexpr std::size_t kSlots = 1024;  // at most a quarter full
  static std::size_t SlotOf(TColor color) { return (color * 0x9E3779B1u) >> 22; }
  std::array<TColor, kSlots> colors_;
  std::array<std::int16_t, kSlots> indices_;
};
