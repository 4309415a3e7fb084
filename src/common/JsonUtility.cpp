#include "common/JsonUtility.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "common/ByteBuffer.h"
#include "common/Log.h"
#include "common/PathUtil.h"
#include "platform/AtomicFile.h"
#include "platform/Format.h"
#include "platform/Utf.h"

namespace NsOvrin {
namespace {

// A text parsed in place that knows where its bytes end, so that a run of
// plain string bytes can be read a word at a time without reading past them.
struct BoundedInsituStream : rapidjson::InsituStringStream {
  BoundedInsituStream(char* text, const char* end) : rapidjson::InsituStringStream(text), end(end) {}
  const char* end;
};

// UTF-8 to UTF-8 as RapidJSON's own; the parser takes a string's plain bytes
// from a BoundedInsituStream a run at a time instead of one by one.
struct RunCopyingUtf8 : rapidjson::UTF8<char> {};

// A bit set in the byte of w (in memory order) that is a quote, a backslash or
// below 0x20; bits above the first such byte may be set as well.
uint64_t StringEndBytes(uint64_t w) {
  constexpr uint64_t kOnes = 0x0101010101010101;
  constexpr uint64_t kHighs = 0x8080808080808080;
  const auto zero = [](uint64_t v) { return (v - kOnes) & ~v & kHighs; };
  return zero(w ^ (kOnes * '"')) | zero(w ^ (kOnes * '\\')) | ((w - kOnes * 0x20) & ~w & kHighs);
}

bool IsStringEnd(char c) { return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20; }

// Takes the plain bytes from the stream's read position up to the next quote,
// backslash or control byte; the first byte is plain. Until an escape has
// been undone the bytes stay where they are and are only passed over.
void TakePlainRun(BoundedInsituStream& stream) {
  char* from = stream.src_;
  const char* const end = stream.end;
  if (from != stream.dst_) {
    char* to = stream.dst_;
    do *to++ = *from++;
    while (from < end && !IsStringEnd(*from));
    stream.src_ = from;
    stream.dst_ = to;
    return;
  }
  ++from;
  if constexpr (std::endian::native == std::endian::little) {
    while (end - from >= 8) {
      uint64_t word = 0;
      std::memcpy(&word, from, sizeof word);
      if (const uint64_t found = StringEndBytes(word); found != 0) {
        from += std::countr_zero(found) / 8;
        stream.src_ = stream.dst_ = from;
        return;
      }
      from += 8;
    }
  }
  while (from < end && !IsStringEnd(*from)) ++from;
  stream.src_ = stream.dst_ = from;
}

}  // namespace
}  // namespace NsOvrin

namespace rapidjson {

template <>
struct StreamTraits<NsOvrin::BoundedInsituStream> {
  enum { copyOptimization = 1 };
};

template <>
struct Transcoder<NsOvrin::RunCopyingUtf8, NsOvrin::RunCopyingUtf8> {
  static bool Transcode(NsOvrin::BoundedInsituStream& is, NsOvrin::BoundedInsituStream& os) {
    // In place the two are one stream.
    if (&is != &os) return Transcoder<UTF8<>, UTF8<>>::Transcode(is, os);
    NsOvrin::TakePlainRun(is);
    return true;
  }
  template <class InputStream, class OutputStream>
  static bool Transcode(InputStream& is, OutputStream& os) {
    return Transcoder<UTF8<>, UTF8<>>::Transcode(is, os);
  }
  template <class InputStream, class OutputStream>
  static bool TranscodeUnsafe(InputStream& is, OutputStream& os) {
    return Transcoder<UTF8<>, UTF8<>>::TranscodeUnsafe(is, os);
  }
  template <class InputStream, class OutputStream>
  static bool Validate(InputStream& is, OutputStream& os) {
    return Transcoder<UTF8<>, UTF8<>>::Validate(is, os);
  }
};

}  // namespace rapidjson

namespace NsOvrin {
namespace {

bool ReadUnsigned(const rapidjson::Value* member, uint32_t& out) {
  if (member == nullptr || !member->IsUint()) return false;
  out = member->GetUint();
  return true;
}

bool ReadUnsigned16(const rapidjson::Value& object, std::string_view key, uint16_t& out) {
  uint32_t value = 0;
  if (!ReadUnsignedMember(object, key, value)) return false;
  out = static_cast<uint16_t>(value);
  return true;
}

// Nesting that no project file comes near. Deeper text goes to the iterative
// parser, which keeps it off the call stack; the recursive one is faster.
constexpr unsigned kRecursiveDepth = 64;

// The document as the recursive parser's handler, refusing to nest deeper
// than kRecursiveDepth.
class DepthGuard {
 public:
  explicit DepthGuard(rapidjson::Document& document) : document_(document) {}

  bool Null() { return document_.Null(); }
  bool Bool(bool b) { return document_.Bool(b); }
  bool Int(int i) { return document_.Int(i); }
  bool Uint(unsigned i) { return document_.Uint(i); }
  bool Int64(int64_t i) { return document_.Int64(i); }
  bool Uint64(uint64_t i) { return document_.Uint64(i); }
  bool Double(double d) { return document_.Double(d); }
  bool RawNumber(const char* text, rapidjson::SizeType length, bool copy) {
    return document_.RawNumber(text, length, copy);
  }
  bool String(const char* text, rapidjson::SizeType length, bool copy) {
    return document_.String(text, length, copy);
  }
  bool Key(const char* text, rapidjson::SizeType length, bool copy) { return document_.Key(text, length, copy); }
  bool StartObject() { return ++depth_ <= kRecursiveDepth && document_.StartObject(); }
  bool EndObject(rapidjson::SizeType count) {
    --depth_;
    return document_.EndObject(count);
  }
  bool StartArray() { return ++depth_ <= kRecursiveDepth && document_.StartArray(); }
  bool EndArray(rapidjson::SizeType count) {
    --depth_;
    return document_.EndArray(count);
  }

  bool TooDeep() const { return depth_ > kRecursiveDepth; }

 private:
  rapidjson::Document& document_;
  unsigned depth_ = 0;
};

// Fills a document from text parsed in place by the recursive parser. The
// text ends at end, or at a NUL byte before it.
struct GuardedInsituParse {
  char* text;
  const char* end;
  bool parsed = false;
  bool tooDeep = false;

  bool operator()(rapidjson::Document& document) {
    DepthGuard guard(document);
    rapidjson::GenericReader<RunCopyingUtf8, rapidjson::UTF8<>> reader;
    BoundedInsituStream stream(text, end);
    parsed = !reader.Parse<rapidjson::kParseInsituFlag>(stream, guard).IsError();
    tooDeep = !parsed && guard.TooDeep();
    return parsed;
  }
};

}  // namespace

bool LoadJsonFile(const std::string& path, rapidjson::Document& document) {
  if (path.empty()) return true;
  ByteBuffer contents;
  if (!ReadWholeFile(path, contents)) return false;
  const char* text = contents.Data() != nullptr ? reinterpret_cast<const char*>(contents.Data()) : "";
  // The parser's input stream drops the bytes of a UTF-8 byte-order mark one
  // by one, even a lone one. Only white space may come before the root, and
  // no JSON text starts with a byte above 0x7F.
  if (contents.Size() > 0 && static_cast<unsigned char>(text[0]) >= 0x80) return false;
  // The iterative parser accepts exactly the same texts; it only keeps deeply
  // nested input from exhausting the call stack.
  document.Parse<rapidjson::kParseIterativeFlag>(text, static_cast<std::size_t>(contents.Size()));
  return !document.HasParseError();
}

bool LoadJsonObjectFile(const std::string& path, rapidjson::Document& document) {
  if (path.empty()) return false;
  return LoadJsonFile(path, document) && document.IsObject();
}

bool LoadJsonObjectFileInPlace(const std::string& path, rapidjson::Document& document, ByteBuffer& text) {
  if (path.empty()) return false;
  // ReadWholeFile ends the bytes with NUL, so the text ends at the first NUL
  // byte as with LoadJsonFile; as there, nothing but white space may come
  // before the root (a byte-order mark included).
  const auto read = [&]() -> char* {
    if (!ReadWholeFile(path, text) || text.Data() == nullptr) return nullptr;
    char* begin = reinterpret_cast<char*>(text.Data());
    return static_cast<unsigned char>(*begin) >= 0x80 ? nullptr : begin;
  };
  char* begin = read();
  if (begin == nullptr) return false;
  GuardedInsituParse parse{begin, begin + text.Size()};
  document.Populate(parse);
  if (parse.parsed) return document.IsObject();
  if (!parse.tooDeep) return false;
  // The first parse changed the text in place: read it again.
  begin = read();
  if (begin == nullptr) return false;
  document.ParseInsitu<rapidjson::kParseIterativeFlag>(begin);
  return !document.HasParseError() && document.IsObject();
}

bool SaveJsonFile(const std::string& path, const rapidjson::StringBuffer& buffer) {
  const char* text = buffer.GetString();
  return NsPlatform::ReplaceFileAtomically(path, std::string_view(text, std::strlen(text)));
}

void WriteUtf8String(JsonWriter& writer, const std::string& text) {
  if (text.empty()) {
    writer.String("", 0);
    return;
  }
  if (text.size() > std::numeric_limits<rapidjson::SizeType>::max() || !NsPlatform::IsValidUtf8(text)) {
    OV_LOG(8).AppendText("异常的数据.");
    writer.String("", 0);
    return;
  }
  writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
}

void WriteFloat(JsonWriter& writer, float value) {
  const double widened = value;
  // The writer would leave a key without a value, and the file unreadable.
  writer.Double(std::isfinite(widened) ? widened : 0.0);
}

namespace {

// Whether the first and the last Word of the n bytes at a and b are equal,
// which covers all n bytes for sizeof(Word) <= n <= 2 * sizeof(Word).
template <class Word>
bool SameEnds(const char* a, const char* b, std::size_t n) {
  Word a0, b0, a1, b1;
  std::memcpy(&a0, a, sizeof(Word));
  std::memcpy(&b0, b, sizeof(Word));
  std::memcpy(&a1, a + n - sizeof(Word), sizeof(Word));
  std::memcpy(&b1, b + n - sizeof(Word), sizeof(Word));
  return a0 == b0 && a1 == b1;
}

// Whether the n bytes at a and b are equal. Keys are short: up to 16 bytes
// take overlapping word compares instead of a call.
bool SameBytes(const char* a, const char* b, std::size_t n) {
  if (n > 16) return std::memcmp(a, b, n) == 0;
  if (n >= 8) return SameEnds<uint64_t>(a, b, n);
  if (n >= 4) return SameEnds<uint32_t>(a, b, n);
  for (std::size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

}  // namespace

const rapidjson::Value* FindJsonMember(const rapidjson::Value& value, std::string_view key) {
  if (!value.IsObject()) return nullptr;
  // FindMember's first match, with the cheap tests first: most names differ
  // in length or in their first or last byte. A literal key's length is
  // known where it is written.
  const std::size_t length = key.size();
  const char* const text = key.data();
  for (auto member = value.MemberBegin(); member != value.MemberEnd(); ++member) {
    if (member->name.GetStringLength() != length) continue;
    if (length == 0) return &member->value;
    const char* name = member->name.GetString();
    if (name[0] == text[0] && name[length - 1] == text[length - 1] && SameBytes(name, text, length))
      return &member->value;
  }
  return nullptr;
}

const rapidjson::Value& AsJsonObject(const rapidjson::Value& value) {
  static const rapidjson::Value empty(rapidjson::kObjectType);
  return value.IsObject() ? value : empty;
}

bool ReadStringMember(const rapidjson::Value& object, std::string_view key, std::string& out) {
  const rapidjson::Value* member = FindJsonMember(object, key);
  if (member == nullptr || !member->IsString()) return false;
  out = Utf8ToCString(member->GetString(), member->GetStringLength());
  return true;
}

bool ReadUnsignedMember(const rapidjson::Value& object, std::string_view key, uint32_t& out) {
  return ReadUnsigned(FindJsonMember(object, key), out);
}

bool ReadUnsignedMember(const rapidjson::Value& object, std::string_view key, int32_t& out) {
  uint32_t value = 0;
  if (!ReadUnsigned(FindJsonMember(object, key), value)) return false;
  out = static_cast<int32_t>(value);
  return true;
}

bool ReadSignedMember(const rapidjson::Value& object, std::string_view key, int32_t& out) {
  const rapidjson::Value* member = FindJsonMember(object, key);
  if (member == nullptr || !member->IsInt()) return false;
  out = member->GetInt();
  return true;
}

bool ReadFloatMember(const rapidjson::Value& object, std::string_view key, float& out) {
  const rapidjson::Value* member = FindJsonMember(object, key);
  // IsFloat passes only numbers stored as doubles, within the float range.
  if (member == nullptr || !member->IsFloat()) return false;
  out = member->GetFloat();
  return true;
}

bool ReadBoolMember(const rapidjson::Value& object, std::string_view key, bool& out) {
  const rapidjson::Value* member = FindJsonMember(object, key);
  if (member == nullptr || !member->IsBool()) return false;
  out = member->GetBool();
  return true;
}

bool ReadText(const rapidjson::Value& object, std::string& out) {
  return ReadStringMember(object, "text", out);
}

bool ReadAddress(const rapidjson::Value& object, std::string& out) {
  return ReadStringMember(object, "address", out);
}

bool ReadSize(const rapidjson::Value& object, float& width, float& height) {
  const rapidjson::Value* size = FindJsonMember(object, "size");
  if (size == nullptr || !size->IsObject()) return false;
  ReadFloatMember(*size, "width", width);
  ReadFloatMember(*size, "height", height);
  return true;
}

bool ReadReadOnly(const rapidjson::Value& object, bool& out) {
  return ReadBoolMember(object, "read-only", out);
}

bool ReadIPv4Member(const rapidjson::Value& object, std::string_view key, uint32_t& out) {
  const rapidjson::Value* member = FindJsonMember(object, key);
  if (member == nullptr || !member->IsString()) return false;
  return ParseIPv4(std::string(member->GetString(), member->GetStringLength()), out);
}

void ReadStringList(const rapidjson::Value& array, std::vector<std::string>& out) {
  if (!array.IsArray()) return;
  for (const rapidjson::Value& element : array.GetArray()) {
    out.push_back(element.IsString() ? Utf8ToCString(element.GetString(), element.GetStringLength())
                                     : std::string());
  }
}

void ReadNonEmptyStringList(const rapidjson::Value& array, std::vector<std::string>& out) {
  if (!array.IsArray()) return;
  for (const rapidjson::Value& element : array.GetArray()) {
    if (!element.IsString()) break;
    std::string text = Utf8ToCString(element.GetString(), element.GetStringLength());
    if (!text.empty()) out.push_back(std::move(text));
  }
}

bool ReadTextColor(const rapidjson::Value& object, uint32_t& out) {
  return ReadUnsignedMember(object, "text-color", out);
}

bool ReadTextColor2(const rapidjson::Value& object, uint32_t& out) {
  return ReadUnsignedMember(object, "text-color2", out);
}

bool ReadBkColor(const rapidjson::Value& object, uint32_t& out) {
  return ReadUnsignedMember(object, "bk-color", out);
}

bool ReadBkColor2(const rapidjson::Value& object, uint32_t& out) {
  return ReadUnsignedMember(object, "bk-color2", out);
}

bool ReadBorderColor(const rapidjson::Value& object, uint32_t& out) {
  return ReadUnsignedMember(object, "border-color", out);
}

bool ReadTitleBkColor(const rapidjson::Value& object, uint32_t& out) {
  return ReadUnsignedMember(object, "title-bk-color", out);
}

bool ReadBorderStyle(const rapidjson::Value& object, int32_t& out) {
  return ReadUnsignedMember(object, "border-style", out);
}

bool ReadAccessPermission(const rapidjson::Value& object, int32_t& out) {
  return ReadUnsignedMember(object, "access-permission", out);
}

bool ReadTextAlign(const rapidjson::Value& object, uint16_t& out) {
  return ReadUnsigned16(object, "text-align", out);
}

bool ReadVerticalAlign(const rapidjson::Value& object, uint16_t& out) {
  return ReadUnsigned16(object, "vertical-align", out);
}

bool ReadFontSize(const rapidjson::Value& object, int32_t& out) {
  return ReadSignedMember(object, "font-size", out);
}

bool ReadImageStyle(const rapidjson::Value& object, int32_t& out) {
  return ReadSignedMember(object, "image-style", out);
}

bool ReadBkColorAlpha(const rapidjson::Value& object, float& out) {
  return ReadFloatMember(object, "bk-color-alpha", out);
}

void WriteReadOnly(JsonWriter& writer, bool readOnly) {
  writer.Key("read-only");
  writer.Bool(readOnly);
}

void WriteMinLimit(JsonWriter& writer, bool enabled, int32_t value) {
  writer.Key("enable-min-val");
  writer.Bool(enabled);
  writer.Key("min-val");
  writer.Uint(static_cast<uint32_t>(value));
}

void WriteMaxLimit(JsonWriter& writer, bool enabled, int32_t value) {
  writer.Key("enable-max-val");
  writer.Bool(enabled);
  writer.Key("max-val");
  writer.Uint(static_cast<uint32_t>(value));
}

void WriteIPv4Member(JsonWriter& writer, const char* key, uint32_t address) {
  uint8_t bytes[4];
  std::memcpy(bytes, &address, sizeof(bytes));  // network byte order: first byte first
  writer.Key(key);
  WriteUtf8String(writer, NsPlatform::StrFormat("%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]));
}

}  // namespace NsOvrin
