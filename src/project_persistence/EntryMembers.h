#pragma once
// Plain key/value pairs of element objects, written while the element's
// object is open: integers as unsigned 32-bit numbers, floats as doubles,
// texts as UTF-8 strings.
#include <cstdint>
#include <string>
#include <vector>

#include "common/JsonUtility.h"

namespace NsOvrin {

inline void WriteUnsignedMember(JsonWriter& writer, const char* key, uint32_t value) {
  writer.Key(key);
  writer.Uint(value);
}

inline void WriteBoolMember(JsonWriter& writer, const char* key, bool value) {
  writer.Key(key);
  writer.Bool(value);
}

inline void WriteFloatMember(JsonWriter& writer, const char* key, float value) {
  writer.Key(key);
  WriteFloat(writer, value);
}

inline void WriteTextMember(JsonWriter& writer, const char* key, const std::string& text) {
  writer.Key(key);
  WriteUtf8String(writer, text);
}

// Every text in order, empty ones included.
inline void WriteTextListMember(JsonWriter& writer, const char* key,
                                const std::vector<std::string>& texts) {
  writer.Key(key);
  writer.StartArray();
  for (const std::string& text : texts) WriteUtf8String(writer, text);
  writer.EndArray();
}

}  // namespace NsOvrin
