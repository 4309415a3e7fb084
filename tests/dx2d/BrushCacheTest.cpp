#include "dx2d/BrushCache.h"

#include <gtest/gtest.h>

#include "dx2d/RecordingRenderTarget.h"

using namespace NsOvrin::NsDx2d;

TEST(BrushCache, NoBrushWithoutRenderTarget) {
  BrushCache cache;
  EXPECT_EQ(cache.GetBrush(0x0000FF, 1.0f), nullptr);
}

TEST(BrushCache, ColourRefIsRedGreenBlueFromTheLowByteUp) {
  RecordingRenderTarget target;
  BrushCache cache;
  cache.SetRenderTarget(&target);

  SolidColorBrush* red = cache.GetBrush(0x0000FF, 0.5f);
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(red->GetColor(), (D2D_COLOR_F{1.0f, 0.0f, 0.0f, 0.5f}));

  SolidColorBrush* mixed = cache.GetBrush(0x00FF8040, 1.0f);
  ASSERT_NE(mixed, nullptr);
  EXPECT_FLOAT_EQ(mixed->GetColor().r, 0x40 / 255.0f);
  EXPECT_FLOAT_EQ(mixed->GetColor().g, 0x80 / 255.0f);
  EXPECT_FLOAT_EQ(mixed->GetColor().b, 1.0f);
  EXPECT_FLOAT_EQ(mixed->GetColor().a, 1.0f);
}

TEST(BrushCache, OneBrushPerTargetRecolouredOnEveryRequest) {
  RecordingRenderTarget target;
  BrushCache cache;
  cache.SetRenderTarget(&target);

  SolidColorBrush* first = cache.GetBrush(0x112233, 1.0f);
  SolidColorBrush* second = cache.GetBrush(0x445566, 0.25f);
  EXPECT_EQ(first, second);
  EXPECT_EQ(target.brushesCreated, 1);
  EXPECT_EQ(ColorToRef(second->GetColor()), 0x445566u);
  EXPECT_FLOAT_EQ(second->GetColor().a, 0.25f);

  // Naming the same target again keeps the brush.
  cache.SetRenderTarget(&target);
  cache.GetBrush(0x000000, 1.0f);
  EXPECT_EQ(target.brushesCreated, 1);
}

TEST(BrushCache, ANewTargetGetsItsOwnBrush) {
  RecordingRenderTarget oldTarget;
  RecordingRenderTarget newTarget;
  BrushCache cache;
  cache.SetRenderTarget(&oldTarget);
  cache.GetBrush(0x000000, 1.0f);

  cache.SetRenderTarget(&newTarget);
  EXPECT_EQ(cache.GetRenderTarget(), &newTarget);
  cache.GetBrush(0x000000, 1.0f);
  EXPECT_EQ(oldTarget.brushesCreated, 1);
  EXPECT_EQ(newTarget.brushesCreated, 1);

  // After a failed frame the owner drops the brush; it is made again.
  cache.ReleaseBrush();
  cache.GetBrush(0x000000, 1.0f);
  EXPECT_EQ(newTarget.brushesCreated, 2);
}

TEST(BrushCache, FailedCreationGivesNullAndIsTriedAgain) {
  RecordingRenderTarget target;
  BrushCache cache;
  cache.SetRenderTarget(&target);
  target.failBrushes = true;
  EXPECT_EQ(cache.GetBrush(0x0000FF, 1.0f), nullptr);
  target.failBrushes = false;
  EXPECT_NE(cache.GetBrush(0x0000FF, 1.0f), nullptr);
}
