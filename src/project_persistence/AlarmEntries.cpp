#include "project_persistence/AlarmEntries.h"

#include "QlUiElem/QlUiAlarmHist.h"
#include "QlUiElem/QlUiAlarmList.h"
#include "QlUiElem/QlUiElemDef.h"
#include "element_io/QlAlarmHistIo.h"
#include "element_io/QlAlarmListIo.h"
#include "project_persistence/ElemJson.h"

namespace NsOvrin {

using NsDx2d::D2D_RECT_F;
using NsQlElemIo::QlAlarmHistIo;
using NsQlElemIo::QlAlarmListIo;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlUiAlarmHist;
using NsQlUiElem::QlUiAlarmList;

namespace {

// Both kinds store the same keys; the element is its table.
template <typename Record, typename Binding>
bool WriteTable(JsonWriter& writer, const PageWriteContext& context, const QlElemData& entry) {
  const auto* ui = dynamic_cast<const Record*>(entry.ui.get());
  const auto* io = dynamic_cast<const Binding*>(entry.io.get());
  if (ui == nullptr || io == nullptr) return false;

  BeginElementEntry(writer, entry.type);
  WriteRect(writer, context.TransformRect(ui->table.GetRect()));
  WriteVisibility(writer, io);
  writer.EndObject();
  return true;
}

template <typename Record, typename Binding>
bool ReadTable(const rapidjson::Value& object, const PageReadContext& context,
               std::shared_ptr<NsQlUiElem::QlUiElem>& ui, std::shared_ptr<NsQlElemIo::QlIo>& io) {
  auto table = std::make_shared<Record>();
  auto binding = std::make_shared<Binding>();

  D2D_RECT_F rect;
  if (ReadRect(object, rect)) table->table.SetRect(context.TransformRect(rect));
  ReadVisibility(object, binding.get());

  ui = std::move(table);
  io = std::move(binding);
  return true;
}

}  // namespace

bool WriteAlarmTableEntry(JsonWriter& writer, const PageWriteContext& context,
                          const QlElemData& entry) {
  switch (entry.type) {
    case NsQlUiElem::kElemAlarmList:
      return WriteTable<QlUiAlarmList, QlAlarmListIo>(writer, context, entry);
    case NsQlUiElem::kElemAlarmHist:
      return WriteTable<QlUiAlarmHist, QlAlarmHistIo>(writer, context, entry);
    default:
      return false;
  }
}

bool ReadAlarmListEntry(const rapidjson::Value& object, const PageReadContext& context,
                        std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                        std::shared_ptr<NsQlElemIo::QlIo>& io) {
  return ReadTable<QlUiAlarmList, QlAlarmListIo>(object, context, ui, io);
}

bool ReadAlarmHistEntry(const rapidjson::Value& object, const PageReadContext& context,
                        std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                        std::shared_ptr<NsQlElemIo::QlIo>& io) {
  return ReadTable<QlUiAlarmHist, QlAlarmHistIo>(object, context, ui, io);
}

}  // namespace NsOvrin
