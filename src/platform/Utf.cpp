#include "platform/Utf.h"

#include <cstdint>
#include <cstring>

namespace NsOvrin::NsPlatform {
namespace {

// Decodes one code point at pos; returns false on malformed input.
bool NextCodePoint(std::string_view s, std::size_t& pos, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  int extra;
  char32_t min;
  if (b0 < 0x80) {
    cp = b0;
    ++pos;
    return true;
  } else if ((b0 & 0xE0) == 0xC0) {
    extra = 1; cp = b0 & 0x1F; min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2; cp = b0 & 0x0F; min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3; cp = b0 & 0x07; min = 0x10000;
  } else {
    return false;
  }
  if (pos + extra >= s.size()) return false;
  for (int i = 1; i <= extra; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + i]);
    if ((b & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  pos += extra + 1;
  return true;
}

template <typename Sink>
bool Decode(std::string_view s, Sink&& sink) {
  std::size_t pos = 0;
  char32_t cp;
  while (pos < s.size()) {
    if (!NextCodePoint(s, pos, cp)) return false;
    sink(cp);
  }
  return true;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsValidUtf8(std::string_view text) {
  std::size_t pos = 0;
  char32_t cp;
  while (pos < text.size()) {
    // Runs of ASCII, most of any project text, eight bytes at a time.
    if (text.size() - pos >= 8) {
      uint64_t word;
      std::memcpy(&word, text.data() + pos, 8);
      if ((word & 0x8080808080808080ULL) == 0) {
        pos += 8;
        continue;
      }
    }
    if (!NextCodePoint(text, pos, cp)) return false;
  }
  return true;
}

std::string ReplaceInvalidUtf8(std::string_view text, std::string_view replacement) {
  if (IsValidUtf8(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  char32_t cp;
  while (pos < text.size()) {
    const std::size_t start = pos;
    if (NextCodePoint(text, pos, cp)) {
      out.append(text.substr(start, pos - start));
    } else {
      out.append(replacement);
      pos = start + 1;
    }
  }
  return out;
}

std::wstring Utf8ToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  if (!Decode(text, [&](char32_t cp) { out += static_cast<wchar_t>(cp); })) return {};
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  const bool ok = Decode(text, [&](char32_t cp) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  });
  return ok ? out : std::u16string();
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) AppendUtf8(out, static_cast<char32_t>(c));
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::size_t Utf16Length(std::string_view text) {
  std::size_t n = 0;
  if (!Decode(text, [&](char32_t cp) { n += cp >= 0x10000 ? 2 : 1; })) return 0;
  return n;
}

}  // namespace NsOvrin::NsPlatform
