#pragma once
// A text laid out in a box of a maximum size, kept for its measurements.
#include <cstdint>

namespace NsOvrin::NsDx2d {

struct TextMetrics {
  // Widest line without its trailing blanks, and with them.
  float width = 0.0f;
  float widthIncludingTrailingWhitespace = 0.0f;
  // All lines together.
  float height = 0.0f;
  // The box the text was laid out in.
  float layoutWidth = 0.0f;
  float layoutHeight = 0.0f;
  uint32_t lineCount = 0;
};

class TextLayout {
 public:
  explicit TextLayout(const TextMetrics& metrics) : metrics_(metrics) {}
  virtual ~TextLayout() = default;

  const TextMetrics& GetMetrics() const { return metrics_; }

 private:
  TextMetrics metrics_;
};

}  // namespace NsOvrin::NsDx2d
