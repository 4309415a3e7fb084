#include "alarm/CircArray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alarm/HistData.h"

using namespace NsOvrin::NsAlarm;

namespace {

using Ring = CircArray<HistData>;

void AppendNumbered(Ring& ring, int from, int to) {
  for (int i = from; i <= to; ++i) {
    HistData* slot = ring.Append();
    ASSERT_NE(slot, nullptr);
    slot->onTime = i;
    slot->message = std::to_string(i);
  }
}

std::vector<std::string> Messages(const Ring& ring) {
  std::vector<std::string> out;
  for (uint32_t i = 0; i < ring.Count(); ++i) out.push_back(ring.At(i).message);
  return out;
}

}  // namespace

TEST(CircArray, FillsThenOverwritesTheOldest) {
  Ring ring(3, 0);
  EXPECT_EQ(ring.Count(), 0u);
  AppendNumbered(ring, 1, 2);
  EXPECT_EQ(ring.Count(), 2u);
  EXPECT_EQ(ring.Head(), 0u);
  EXPECT_EQ(ring.WriteIndex(), 2u);
  EXPECT_FALSE(ring.IsFull());

  AppendNumbered(ring, 3, 3);
  EXPECT_TRUE(ring.IsFull());
  EXPECT_EQ(ring.Count(), 3u);
  EXPECT_EQ(Messages(ring), (std::vector<std::string>{"1", "2", "3"}));

  AppendNumbered(ring, 4, 5);
  EXPECT_TRUE(ring.IsFull());
  EXPECT_EQ(ring.Head(), 2u);
  EXPECT_EQ(ring.WriteIndex(), 2u);
  EXPECT_EQ(Messages(ring), (std::vector<std::string>{"3", "4", "5"}));
  EXPECT_EQ(ring.At(0).onTime, 3);
}

TEST(CircArray, StartsAtTheGivenHead) {
  Ring ring(4, 3);
  EXPECT_EQ(ring.Head(), 3u);
  AppendNumbered(ring, 1, 2);  // slots 3, then 0
  EXPECT_EQ(ring.WriteIndex(), 1u);
  EXPECT_EQ(ring.Count(), 2u);
  EXPECT_EQ(Messages(ring), (std::vector<std::string>{"1", "2"}));

  Ring clamped(4, 4);
  EXPECT_EQ(clamped.Head(), 0u);
}

TEST(CircArray, AppendGivesAnEmptiedSlot) {
  Ring ring(1, 0);
  HistData* slot = ring.Append();
  slot->offTime = 9;
  slot->sourceText = "old";
  slot = ring.Append();
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(*slot, HistData{});
}

TEST(CircArray, PastTheCountIsTheEmptyRecord) {
  Ring ring(3, 0);
  AppendNumbered(ring, 1, 1);
  EXPECT_EQ(ring.At(1), HistData{});
  EXPECT_EQ(&ring.At(1), &ring.At(7));
  EXPECT_EQ(ring.At(0xFFFFFFFFu), HistData{});
}

TEST(CircArray, WithoutCapacityTakesNothing) {
  Ring ring(0, 0);
  EXPECT_EQ(ring.Append(), nullptr);
  EXPECT_EQ(ring.Count(), 0u);
  EXPECT_EQ(ring.At(0), HistData{});

  Ring resized(3, 0);
  AppendNumbered(resized, 1, 2);
  EXPECT_EQ(resized.Resize(0, 0), 3u);
  EXPECT_EQ(resized.Append(), nullptr);
  EXPECT_EQ(resized.Count(), 0u);
}

TEST(CircArray, Resize) {
  Ring ring(3, 0);
  AppendNumbered(ring, 1, 2);

  // Same capacity and head: nothing changes.
  EXPECT_EQ(ring.Resize(3, 0), 3u);
  EXPECT_EQ(Messages(ring), (std::vector<std::string>{"1", "2"}));

  EXPECT_EQ(ring.Resize(5, 0), 3u);
  EXPECT_EQ(ring.Capacity(), 5u);
  EXPECT_EQ(ring.Allocated(), 5u);
  EXPECT_EQ(ring.Count(), 0u);
  EXPECT_FALSE(ring.IsFull());
  EXPECT_EQ(ring.At(0), HistData{});

  // Shrinking keeps the larger storage; growing within it reuses it.
  AppendNumbered(ring, 1, 5);
  EXPECT_EQ(ring.Resize(2, 0), 5u);
  EXPECT_EQ(ring.Allocated(), 5u);
  EXPECT_EQ(ring.Count(), 0u);
  AppendNumbered(ring, 6, 8);
  EXPECT_EQ(Messages(ring), (std::vector<std::string>{"7", "8"}));
  EXPECT_EQ(ring.Resize(4, 0), 2u);
  EXPECT_EQ(ring.Allocated(), 5u);

  // A head below the capacity is taken; another one becomes 0.
  ring.Resize(4, 2);
  EXPECT_EQ(ring.Head(), 2u);
  EXPECT_EQ(ring.WriteIndex(), 2u);
  ring.Resize(4, 9);
  EXPECT_EQ(ring.Head(), 0u);
}

TEST(CircArray, SameSizeWithAMovedHeadEmptiesTheRing) {
  Ring ring(3, 0);
  AppendNumbered(ring, 1, 4);
  ASSERT_EQ(ring.Head(), 1u);
  EXPECT_EQ(ring.Resize(3, 0), 3u);
  EXPECT_EQ(ring.Count(), 0u);
  EXPECT_EQ(ring.Head(), 0u);
}

TEST(CircArray, ClearEmptiesAndKeepsTheCapacity) {
  Ring ring(3, 0);
  AppendNumbered(ring, 1, 4);
  ring.Clear();
  EXPECT_EQ(ring.Count(), 0u);
  EXPECT_EQ(ring.Head(), 0u);
  EXPECT_EQ(ring.WriteIndex(), 0u);
  EXPECT_FALSE(ring.IsFull());
  EXPECT_EQ(ring.Capacity(), 3u);
  EXPECT_EQ(ring.At(0), HistData{});
  AppendNumbered(ring, 5, 8);
  EXPECT_EQ(Messages(ring), (std::vector<std::string>{"6", "7", "8"}));
}
