#pragma once
// The element objects of the two alarm tables: the current-alarm list
// ("AlarmList") and the alarm history ("AlarmHist"). Only the table's
// rectangle and the visibility settings are stored; the tables' columns,
// titles and colours are the elements' own.
#include <rapidjson/document.h>

#include <memory>

#include "QlUiElem/QlElemData.h"
#include "common/JsonUtility.h"
#include "project_persistence/PageFile.h"

namespace NsOvrin {

// QlUiAlarmList with QlAlarmListIo for code 9, QlUiAlarmHist with
// QlAlarmHistIo for code 11; any other code writes nothing.
bool WriteAlarmTableEntry(JsonWriter& writer, const PageWriteContext& context,
                          const NsQlUiElem::QlElemData& entry);

// The rectangle places the embedded table.
bool ReadAlarmListEntry(const rapidjson::Value& object, const PageReadContext& context,
                        std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                        std::shared_ptr<NsQlElemIo::QlIo>& io);
bool ReadAlarmHistEntry(const rapidjson::Value& object, const PageReadContext& context,
                        std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                        std::shared_ptr<NsQlElemIo::QlIo>& io);

}  // namespace NsOvrin
