#pragma once
// UTF-8 is the text of the whole core; these convert at the places that need
// code points or UTF-16 units (lengths the program counts).
#include <cstddef>
#include <string>
#include <string_view>

namespace NsOvrin::NsPlatform {

// The byte-order mark that marks a file of UTF-8 text.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// U+FFFD, what stands for bytes that are no character.
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// Strict decoder: overlong forms, surrogates, values above U+10FFFF and
// truncated sequences are refused.
bool IsValidUtf8(std::string_view text);

// Empty result for malformed input (a failed conversion).
std::wstring Utf8ToWide(std::string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// Unpaired surrogates and out-of-range values become U+FFFD.
std::string WideToUtf8(std::wstring_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// text with every byte that is not part of a valid sequence (see
// IsValidUtf8) replaced by replacement, one replacement per byte: a stray
// byte costs no text around it.
std::string ReplaceInvalidUtf8(std::string_view text, std::string_view replacement);

// Number of UTF-16 code units of a UTF-8 text; 0 for malformed input.
std::size_t Utf16Length(std::string_view text);

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace NsOvrin::NsPlatform
