#pragma once
// The element objects of the three kinds drawn as a QlUiButton: the button
// ("Button"), the page-jump button ("PageTo") and the multi-function button
// ("MultFunc"). Each stores the part of the button's settings its kind uses
// and the settings of its own binding.
#include <rapidjson/document.h>

#include <memory>

#include "QlUiElem/QlElemData.h"
#include "common/JsonUtility.h"
#include "project_persistence/PageFile.h"

namespace NsOvrin {

// QlUiButton with QlButtonIo; copies its pictures into the project.
bool WriteButtonEntry(JsonWriter& writer, const PageWriteContext& context,
                      const NsQlUiElem::QlElemData& entry);
// QlUiButton with QlPageToIo; copies its picture into the project.
bool WritePageToEntry(JsonWriter& writer, const PageWriteContext& context,
                      const NsQlUiElem::QlElemData& entry);
// QlUiButton with QlMultFuncBtnIo.
bool WriteMultFuncEntry(JsonWriter& writer, const PageWriteContext& context,
                        const NsQlUiElem::QlElemData& entry);

// The button type also sets the binding's data type.
bool ReadButtonEntry(const rapidjson::Value& object, const PageReadContext& context,
                     std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                     std::shared_ptr<NsQlElemIo::QlIo>& io);
bool ReadPageToEntry(const rapidjson::Value& object, const PageReadContext& context,
                     std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                     std::shared_ptr<NsQlElemIo::QlIo>& io);
// The instruction lines are kept as text; the binding compiles them when it
// is bound.
bool ReadMultFuncEntry(const rapidjson::Value& object, const PageReadContext& context,
                       std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                       std::shared_ptr<NsQlElemIo::QlIo>& io);

}  // namespace NsOvrin
