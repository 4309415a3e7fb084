#pragma once
// A complete drawing context over the recording target, for tests: the
// factories, the target and the three caches wired as a page view wires
// them. Info() is the D2ResInfo to hand to draw routines.
#include "dx2d/BitmapCache.h"
#include "dx2d/BrushCache.h"
#include "dx2d/D2Factory.h"
#include "dx2d/D2ResInfo.h"
#include "dx2d/RecordingDWriteFactory.h"
#include "dx2d/RecordingRenderTarget.h"
#include "dx2d/TextFormatCache.h"

namespace NsOvrin::NsDx2d {

struct RecordingDrawContext {
  RecordingDrawContext() {
    textFormats.SetFactory(&dwrite);
    brushes.SetRenderTarget(&target);
    bitmaps.SetRenderTarget(&target);
  }

  D2ResInfo Info() { return {&d2Factory, &dwrite, &target, &textFormats, &brushes, &bitmaps}; }
  // The logged calls as text, one per call.
  std::vector<std::string> Calls() const { return DescribeDrawCalls(target.calls); }

  D2Factory d2Factory;
  RecordingDWriteFactory dwrite;
  RecordingRenderTarget target;
  TextFormatCache textFormats;
  BrushCache brushes;
  BitmapCache bitmaps;
};

}  // namespace NsOvrin::NsDx2d
