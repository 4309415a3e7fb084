#pragma once
// What every project file shares: loading and saving a JSON document, texts
// written as UTF-8 strings, and the readers and writers of the keys many files
// and element entries have in common.
//
// Readers look a member up by name and take it only when its JSON type passes
// the reader's test; otherwise the target keeps its value and the reader
// returns false. A missing or mistyped member is never an error. A value that
// is not an object reads as an object with no members.
//
// Writers are called while an object is open in the writer and write one or
// more key/value pairs.
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace NsOvrin {

class ByteBuffer;

// The compact writer every project file is written with: no spaces, no line
// breaks.
using JsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

// File level.

// Parses the whole file as one JSON text (strict JSON, white space around the
// root allowed). An empty path returns true and leaves the document as it
// was; a missing or unreadable file, an empty file, a byte-order mark or any
// other byte but white space before the root, or a parse error give
// false.
bool LoadJsonFile(const std::string& path, rapidjson::Document& document);
// LoadJsonFile for files whose root must be an object: an empty path or any
// other root fails like a parse error.
bool LoadJsonObjectFile(const std::string& path, rapidjson::Document& document);
// LoadJsonObjectFile that parses the file's bytes in place, without copying
// its strings: the document's strings point into text, which must outlive
// it. Accepts and refuses exactly the texts LoadJsonObjectFile does.
bool LoadJsonObjectFileInPlace(const std::string& path, rapidjson::Document& document, ByteBuffer& text);
// Writes the buffer's text to a temporary file in the target's folder, flushes
// it to disk and renames it over the target, so that the old file stays whole
// until the new one is complete. Any error is a failure and removes the
// temporary file. A symbolic link at the path is followed; the permissions of
// an existing target are kept.
bool SaveJsonFile(const std::string& path, const rapidjson::StringBuffer& buffer);
// One JSON string value. Text that is not valid UTF-8 is logged and written
// as "".
void WriteUtf8String(JsonWriter& writer, const std::string& text);
// A float widened to a double, in the shortest form that reads back to the
// same double (20 is written 20.0). JSON has no NaN or infinity: such a value
// is written 0.0, which is what a reader makes of a component it cannot take.
void WriteFloat(JsonWriter& writer, float value);

// Walking objects and arrays.

// The member named key, or null when value is not an object or has no such
// member.
const rapidjson::Value* FindJsonMember(const rapidjson::Value& value, std::string_view key);
// value itself when it is an object, otherwise an object with no members.
const rapidjson::Value& AsJsonObject(const rapidjson::Value& value);
// Calls visit(const rapidjson::Value& object) for every element of array in
// order, each through AsJsonObject. A visitor that returns bool stops the walk
// by returning false. Returns false when array is not an array.
template <typename Visit>
bool ForEachJsonObject(const rapidjson::Value& array, Visit&& visit) {
  if (!array.IsArray()) return false;
  for (const rapidjson::Value& element : array.GetArray()) {
    if constexpr (std::is_void_v<std::invoke_result_t<Visit&, const rapidjson::Value&>>) {
      visit(AsJsonObject(element));
    } else {
      if (!visit(AsJsonObject(element))) break;
    }
  }
  return true;
}

// Members by JSON type.

// A string; its bytes up to the first NUL become the text, invalid UTF-8 the
// empty text.
bool ReadStringMember(const rapidjson::Value& object, std::string_view key, std::string& out);
// An integer in 0..4294967295.
bool ReadUnsignedMember(const rapidjson::Value& object, std::string_view key, uint32_t& out);
// The same, kept as its 32-bit pattern: 4294967291 reads as -5.
bool ReadUnsignedMember(const rapidjson::Value& object, std::string_view key, int32_t& out);
// An integer in -2147483648..2147483647.
bool ReadSignedMember(const rapidjson::Value& object, std::string_view key, int32_t& out);
// A number stored with a fraction or an exponent (10 fails, 10.0 passes)
// within the float range.
bool ReadFloatMember(const rapidjson::Value& object, std::string_view key, float& out);
bool ReadBoolMember(const rapidjson::Value& object, std::string_view key, bool& out);

// Shared keys.

bool ReadText(const rapidjson::Value& object, std::string& out);     // "text"
bool ReadAddress(const rapidjson::Value& object, std::string& out);  // "address"
// "size" with "width" and "height": true whenever "size" is an object; a
// component that is missing or fails the float test leaves its target as it
// was.
bool ReadSize(const rapidjson::Value& object, float& width, float& height);
bool ReadReadOnly(const rapidjson::Value& object, bool& out);  // "read-only"
// A dotted IPv4 text; out in network byte order.
bool ReadIPv4Member(const rapidjson::Value& object, std::string_view key, uint32_t& out);

// One text per element: the string, or an empty text for an element that is
// not a string (or not valid UTF-8).
void ReadStringList(const rapidjson::Value& array, std::vector<std::string>& out);
// Stops at the first element that is not a string and skips empty texts.
void ReadNonEmptyStringList(const rapidjson::Value& array, std::vector<std::string>& out);

// Attribute keys. Colours are 0x00BBGGRR.
bool ReadTextColor(const rapidjson::Value& object, uint32_t& out);    // "text-color"
bool ReadTextColor2(const rapidjson::Value& object, uint32_t& out);   // "text-color2"
bool ReadBkColor(const rapidjson::Value& object, uint32_t& out);      // "bk-color"
bool ReadBkColor2(const rapidjson::Value& object, uint32_t& out);     // "bk-color2"
bool ReadBorderColor(const rapidjson::Value& object, uint32_t& out);  // "border-color"
bool ReadTitleBkColor(const rapidjson::Value& object, uint32_t& out);  // "title-bk-color"
// Unsigned test, kept as the 32-bit pattern.
bool ReadBorderStyle(const rapidjson::Value& object, int32_t& out);       // "border-style"
bool ReadAccessPermission(const rapidjson::Value& object, int32_t& out);  // "access-permission"
// Unsigned test; the low 16 bits are kept (65537 reads as 1).
bool ReadTextAlign(const rapidjson::Value& object, uint16_t& out);      // "text-align"
bool ReadVerticalAlign(const rapidjson::Value& object, uint16_t& out);  // "vertical-align"
// Signed test.
bool ReadFontSize(const rapidjson::Value& object, int32_t& out);    // "font-size", tenths of a point
bool ReadImageStyle(const rapidjson::Value& object, int32_t& out);  // "image-style"
// Float test.
bool ReadBkColorAlpha(const rapidjson::Value& object, float& out);  // "bk-color-alpha"

// Shared keys written.

void WriteReadOnly(JsonWriter& writer, bool readOnly);  // "read-only"
// "enable-min-val" and "min-val" (the limit's unsigned 32-bit pattern).
void WriteMinLimit(JsonWriter& writer, bool enabled, int32_t value);
// "enable-max-val" and "max-val".
void WriteMaxLimit(JsonWriter& writer, bool enabled, int32_t value);
// The address (network byte order) as dotted decimal text.
void WriteIPv4Member(JsonWriter& writer, const char* key, uint32_t address);

}  // namespace NsOvrin
