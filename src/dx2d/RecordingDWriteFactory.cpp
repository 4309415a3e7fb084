#include "dx2d/RecordingDWriteFactory.h"

#include <algorithm>

#include "platform/Utf.h"

namespace NsOvrin::NsDx2d {

std::unique_ptr<TextFormat> RecordingDWriteFactory::CreateTextFormat(
    const std::string& family, FontWeight weight, FontStyle style, FontStretch stretch,
    float fontSize, const std::string& locale) {
  if (failFormats) return nullptr;
  ++formatsCreated;
  return std::make_unique<TextFormat>(family, weight, style, stretch, fontSize, locale);
}

std::unique_ptr<TextLayout> RecordingDWriteFactory::CreateTextLayout(const std::string& text,
                                                                     const TextFormat& format,
                                                                     float maxWidth,
                                                                     float maxHeight) {
  if (failLayouts) return nullptr;
  ++layoutsCreated;
  std::wstring chars = NsPlatform::Utf8ToWide(text);
  // Malformed UTF-8 is measured byte by byte.
  if (chars.empty() && !text.empty()) chars.assign(text.begin(), text.end());
  const float size = format.GetFontSize();
  TextMetrics metrics;
  metrics.layoutWidth = maxWidth;
  metrics.layoutHeight = maxHeight;
  metrics.lineCount = 1;
  float line = 0.0f;         // whole line so far
  float lineTrimmed = 0.0f;  // up to its last non-blank character
  auto endLine = [&]() {
    metrics.width = std::max(metrics.width, lineTrimmed);
    metrics.widthIncludingTrailingWhitespace =
        std::max(metrics.widthIncludingTrailingWhitespace, line);
    line = 0.0f;
    lineTrimmed = 0.0f;
  };
  for (wchar_t c : chars) {
    if (c == L'\n') {
      endLine();
      ++metrics.lineCount;
      continue;
    }
    line += size * (static_cast<uint32_t>(c) < 0x80 ? kNarrowAdvance : kWideAdvance);
    if (c != L' ' && c != L'\t') lineTrimmed = line;
  }
  endLine();
  metrics.height = static_cast<float>(metrics.lineCount) * size * kLineHeight;
  return std::make_unique<TextLayout>(metrics);
}

}  // namespace NsOvrin::NsDx2d
