#pragma once
// A font and the paragraph settings a text is laid out with. The face, size
// and weight are fixed at creation; the alignments and the wrapping may be
// changed afterwards and hold for every later use of the same format (the
// cached formats are shared, and the painters rely on that).
#include <cstdint>
#include <string>

namespace NsOvrin::NsDx2d {

// 100 (thin) .. 900 (black); any value in between is allowed.
enum class FontWeight : int32_t { Normal = 400, Bold = 700 };
enum class FontStyle { Normal, Oblique, Italic };
// 1 (ultra-condensed) .. 9 (ultra-expanded).
enum class FontStretch : int32_t { Normal = 5 };
enum class TextAlignment { Leading, Trailing, Center };
enum class ParagraphAlignment { Near, Far, Center };
enum class WordWrapping { Wrap, NoWrap };

class TextFormat {
 public:
  TextFormat(std::string family, FontWeight weight, FontStyle style, FontStretch stretch,
             float fontSize, std::string locale);
  TextFormat(const TextFormat&) = delete;
  TextFormat& operator=(const TextFormat&) = delete;
  virtual ~TextFormat() = default;

  const std::string& GetFontFamilyName() const { return family_; }
  FontWeight GetFontWeight() const { return weight_; }
  FontStyle GetFontStyle() const { return style_; }
  FontStretch GetFontStretch() const { return stretch_; }
  // In DIPs.
  float GetFontSize() const { return fontSize_; }
  const std::string& GetLocaleName() const { return locale_; }

  void SetTextAlignment(TextAlignment alignment) { textAlignment_ = alignment; }
  TextAlignment GetTextAlignment() const { return textAlignment_; }
  void SetParagraphAlignment(ParagraphAlignment alignment) { paragraphAlignment_ = alignment; }
  ParagraphAlignment GetParagraphAlignment() const { return paragraphAlignment_; }
  void SetWordWrapping(WordWrapping wrapping) { wordWrapping_ = wrapping; }
  WordWrapping GetWordWrapping() const { return wordWrapping_; }

 private:
  std::string family_;
  FontWeight weight_;
  FontStyle style_;
  FontStretch stretch_;
  float fontSize_;
  std::string locale_;
  TextAlignment textAlignment_ = TextAlignment::Leading;
  ParagraphAlignment paragraphAlignment_ = ParagraphAlignment::Near;
  WordWrapping wordWrapping_ = WordWrapping::Wrap;
};

}  // namespace NsOvrin::NsDx2d
