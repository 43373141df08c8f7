#include "imaging/Lzw.h"

#include <memory>
#include <new>
#include <vector>

namespace {

constexpr int N = LzhWindowSize;
constexpr int F = LzhLookAhead;
constexpr int Nil = N;  // no node

// The published LZHUF match finder: one binary search tree per first byte,
// nodes keyed by the following F bytes of the ring; the longest match is
// kept, the nearest position on equal length.
class TMatchTree {
 public:
  TMatchTree() : text(N + F - 1, 0), lson_(N + 1, Nil), rson_(N + 257, Nil), dad_(N + 1, Nil) {}

  // The ring, with the first F - 1 bytes mirrored past its end.
  std::vector<std::uint8_t> text;
  int matchPosition = 0;  // distance - 1 of the longest match found by Insert
  int matchLength = 0;

  void Insert(int r) {
    int cmp = 1;
    const std::uint8_t* key = &text[r];
    int p = N + 1 + key[0];
    rson_[r] = lson_[r] = Nil;
    matchLength = 0;
    for (;;) {
      if (cmp >= 0) {
        if (rson_[p] != Nil) {
          p = rson_[p];
        } else {
          rson_[p] = r;
          dad_[r] = p;
          return;
        }
      } else {
        if (lson_[p] != Nil) {
          p = lson_[p];
        } else {
          lson_[p] = r;
          dad_[r] = p;
          return;
        }
      }
      int i = 1;
      for (; i < F; ++i) {
        cmp = key[i] - text[p + i];
        if (cmp != 0) break;
      }
      if (i > lzhuf::Threshold) {
        const int position = ((r - p) & (N - 1)) - 1;
        if (i > matchLength) {
          matchPosition = position;
          matchLength = i;
          if (matchLength >= F) break;
        } else if (i == matchLength && position < matchPosition) {
          matchPosition = position;
        }
      }
    }
    // A full-length match: the new node takes the old one's place.
    dad_[r] = dad_[p];
    lson_[r] = lson_[p];
    rson_[r] = rson_[p];
    dad_[lson_[p]] = r;
    dad_[rson_[p]] = r;
    if (rson_[dad_[p]] == p) {
      rson_[dad_[p]] = r;
    } else {
      lson_[dad_[p]] = r;
    }
    dad_[p] = Nil;
  }

  void Delete(int p) {
    if (dad_[p] == Nil) return;  // not in the tree
    int q;
    if (rson_[p] == Nil) {
      q = lson_[p];
    } else if (lson_[p] == Nil) {
      q = rson_[p];
    } else {
      q = lson_[p];
      if (rson_[q] != Nil) {
        do {
          q = rson_[q];
        } while (rson_[q] != Nil);
        rson_[dad_[q]] = lson_[q];
        dad_[lson_[q]] = dad_[q];
        lson_[q] = lson_[p];
        dad_[lson_[p]] = q;
      }
      rson_[q] = rson_[p];
      dad_[rson_[p]] = q;
    }
    dad_[q] = dad_[p];
    if (rson_[dad_[p]] == p) {
      rson_[dad_[p]] = q;
    } else {
      lson_[dad_[p]] = q;
    }
    dad_[p] = Nil;
  }

 private:
  std::vector<int> lson_;  // N + 1 entries
  std::vector<int> rson_;  // N + 257: the last 256 are the roots of the trees
  std::vector<int> dad_;   // N + 1
};

void Compress(const std::uint8_t* input, std::int32_t inputLength, lzhuf::TBitWriter& bits, TMatchTree& tree) {
  lzhuf::TAdaptiveHuffman huffman(F);
  std::int32_t next = 0;  // the next input byte to read
  auto& text = tree.text;
  int s = 0;
  int r = N - F;
  for (int i = s; i < r; ++i) text[i] = ' ';
  int len = 0;
  for (; len < F && next < inputLength; ++len) text[r + len] = input[next++];
  for (int i = 1; i <= F; ++i) tree.Insert(r - i);
  tree.Insert(r);
  do {
    if (tree.matchLength > len) tree.matchLength = len;
    if (tree.matchLength <= lzhuf::Threshold) {
      tree.matchLength = 1;
      huffman.Encode(text[r], bits);
    } else {
      huffman.Encode(255 - lzhuf::Threshold + tree.matchLength, bits);
      lzhuf::EncodePosition(static_cast<std::uint32_t>(tree.matchPosition), bits);
    }
    const int lastMatchLength = tree.matchLength;
    int i = 0;
    for (; i < lastMatchLength && next < inputLength; ++i) {
      const std::uint8_t c = input[next++];
      tree.Delete(s);
      text[s] = c;
      if (s < F - 1) text[s + N] = c;
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      tree.Insert(r);
    }
    // At the end of the input only delete and advance.
    while (i++ < lastMatchLength) {
      tree.Delete(s);
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      if (--len != 0) tree.Insert(r);
    }
  } while (len > 0);
}

}  // namespace

std::int32_t LzhCompressBlock(const std::uint8_t* input, std::uint8_t* output, std::int32_t inputLength,
                              std::int32_t outputCapacity) {
  if (inputLength < 0 || (inputLength > 0 && input == nullptr)) throw ElzhException(SLzhBlockTooShort);
  lzhuf::WriteStatedLength(output, outputCapacity, static_cast<std::uint32_t>(inputLength));
  if (inputLength == 0) return lzhuf::HeaderSize;
  std::unique_ptr<TMatchTree> tree;
  try {
    tree = std::make_unique<TMatchTree>();
  } catch (const std::bad_alloc&) {
    throw ElzhException(SLzhNoMemory);
  }
  lzhuf::TBitWriter bits(output, outputCapacity, lzhuf::HeaderSize);
  Compress(input, inputLength, bits, *tree);
  bits.Flush();
  return static_cast<std::int32_t>(bits.Position());
}

std::int32_t LzhExpandBlock(const std::uint8_t* input, std::uint8_t* output, std::int32_t inputLength,
                            std::int32_t outputCapacity) {
  try {
    return lzhuf::ExpandBlock(input, inputLength, output, outputCapacity, N, F, false);
  } catch (const std::bad_alloc&) {
    throw ElzhException(SLzhNoMemory);
  }
}
