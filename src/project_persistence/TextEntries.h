#pragma once
// The element objects of the three text-showing kinds: static text ("Text"),
// number box ("Number") and string box ("String"). Number and string boxes
// share the record QlUiEdit and differ in their binding.
#include <rapidjson/document.h>

#include <memory>

#include "QlUiElem/QlElemData.h"
#include "common/JsonUtility.h"
#include "project_persistence/PageFile.h"

namespace NsOvrin {

// QlUiText with QlTextIo.
bool WriteTextEntry(JsonWriter& writer, const PageWriteContext& context,
                    const NsQlUiElem::QlElemData& entry);
// QlUiEdit with QlEditIo.
bool WriteNumberEntry(JsonWriter& writer, const PageWriteContext& context,
                      const NsQlUiElem::QlElemData& entry);
// QlUiEdit with QlStringIo.
bool WriteStringEntry(JsonWriter& writer, const PageWriteContext& context,
                      const NsQlUiElem::QlElemData& entry);

bool ReadTextEntry(const rapidjson::Value& object, const PageReadContext& context,
                   std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                   std::shared_ptr<NsQlElemIo::QlIo>& io);
bool ReadNumberEntry(const rapidjson::Value& object, const PageReadContext& context,
                     std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                     std::shared_ptr<NsQlElemIo::QlIo>& io);
// Binds the address it reads, to size the box's text from the node's map.
bool ReadStringEntry(const rapidjson::Value& object, const PageReadContext& context,
                     std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                     std::shared_ptr<NsQlElemIo::QlIo>& io);

}  // namespace NsOvrin
