#include "imaging/DynArrB.h"
#include "tests/support/ErrorText.h"

#include <gtest/gtest.h>

TEST(BigByteArray, IndexesFromOneAndChecksBothEndsAndRefusesNegativeLengths) {
  TBigByteArray a(3);
  a.Set(1, 7);
  a.Set(3, 9);
  EXPECT_EQ(std::tuple(a.Get(1), a.Get(2), a.Get(3)), std::tuple(7, 0, 9));
  for (std::int64_t bad : {std::int64_t{0}, std::int64_t{4}, std::int64_t{-1}}) {
    EXPECT_EQ(ErrorText<EIndexOutOfBounds>([&] { a.Get(bad); }), "Dynamic array index out of bounds") << bad;
    EXPECT_THROW(a.Set(bad, 1), EIndexOutOfBounds);
  }
  // The text for a block too large is checked through a GIF image of 65535 x 65535.
  EXPECT_THROW(TBigByteArray(-5), ENotEnoughMemory);
  EXPECT_EQ(TBigByteArray(0).Length(), 0);
}

TEST(ByteMatrix, RowsLieOneAfterAnotherAndRowsAreCopiedAndStored) {
  TByteArray2D m(3, 2);
  m.Set(1, 1, 1);
  m.Set(3, 1, 3);
  m.Set(1, 2, 4);
  EXPECT_EQ(std::vector<std::uint8_t>(m.Data(), m.Data() + 6), (std::vector<std::uint8_t>{1, 0, 3, 4, 0, 0}));
  EXPECT_THROW(m.Get(4, 1), EIndexOutOfBounds);
  EXPECT_THROW(m.Get(1, 3), EIndexOutOfBounds);
  EXPECT_THROW(m.Set(0, 1, 0), EIndexOutOfBounds);
  auto row = m.CopyRow(1);
  ASSERT_EQ(row->Length(), 3);
  EXPECT_EQ(std::tuple(row->Get(1), row->Get(3)), std::tuple(1, 3));
  m.StoreRow(*row, 2);
  EXPECT_EQ(m.Get(3, 2), 3);
  // A row number outside the matrix stores into the last row.
  row->Set(2, 9);
  m.StoreRow(*row, 99);
  EXPECT_EQ(m.Get(2, 2), 9);
  row->Set(2, 8);
  m.StoreRow(*row, 0);
  EXPECT_EQ(m.Get(2, 2), 8);
  TBigByteArray wrong(2);
  EXPECT_EQ(ErrorText([&] { m.StoreRow(wrong, 1); }), "Row doesn't have equal number of elements as Matrix row");
  EXPECT_THROW(m.CopyRow(3), EIndexOutOfBounds);
}
