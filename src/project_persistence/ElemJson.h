#pragma once
// The keys of page files that need the element model: the element type, the
// rectangles of elements and pages, and the visibility settings of a binding.
#include <rapidjson/document.h>

#include "QlUiElem/QlUiElemDef.h"
#include "common/JsonUtility.h"
#include "dx2d/D2Types.h"

namespace NsOvrin::NsQlElemIo {
class QlIo;
}

namespace NsOvrin {

// "type" as an element type name. False when it is missing, not a string or
// not a known name (which ElemTypeFromName logs); out is then unchanged.
bool ReadElementType(const rapidjson::Value& object, NsQlUiElem::QlElemType& out);
// Opens an element object and writes its "type".
void BeginElementEntry(JsonWriter& writer, NsQlUiElem::QlElemType code);

// "rect": false with out unchanged when it is missing or not an object;
// otherwise true, each of "left", "top", "right", "bottom" taken when it passes
// the float test and 0 when not.
bool ReadRect(const rapidjson::Value& object, NsDx2d::D2D_RECT_F& out);
// "rect" with "left", "top", "right", "bottom" as doubles.
void WriteRect(JsonWriter& writer, const NsDx2d::D2D_RECT_F& rect);

// "enable-visib", "address-for-visib" and "show-when-true" into the binding's
// settings, each when its type passes. False only without a binding; a
// binding without settings takes nothing.
bool ReadVisibility(const rapidjson::Value& object, NsQlElemIo::QlIo* io);
// The three visibility keys; false and empty when the binding has no
// settings, nothing at all without a binding.
void WriteVisibility(JsonWriter& writer, const NsQlElemIo::QlIo* io);

}  // namespace NsOvrin
