#pragma once
// The element object of the multi-state text ("MultiStateLabel"): the look
// of every state in "text-array", and the binding's address, value kind and
// the value of every state, as text, in "data-array".
#include <rapidjson/document.h>

#include <memory>

#include "QlUiElem/QlElemData.h"
#include "common/JsonUtility.h"
#include "project_persistence/PageFile.h"

namespace NsOvrin {

// QlUiMultStateText with QlMultStateTextIo.
bool WriteMultStateTextEntry(JsonWriter& writer, const PageWriteContext& context,
                             const NsQlUiElem::QlElemData& entry);

// Every element of "text-array" gives a state, keys it lacks taking the
// state defaults. The values are read as the stored "data-type" says; without
// one they cannot be read: the first is logged and none is kept.
bool ReadMultStateTextEntry(const rapidjson::Value& object, const PageReadContext& context,
                            std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                            std::shared_ptr<NsQlElemIo::QlIo>& io);

}  // namespace NsOvrin
