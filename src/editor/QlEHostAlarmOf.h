#pragma once
// What the current-alarm list and the alarm history share: a table placed
// by its rectangle, a demonstration row in design mode, rows rebuilt online
// when the alarm manager's counter for them moves, and a check that looks at
// the record alone.
#include <memory>
#include <string>

#include "alarm/AlarmManager.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEHostElem.h"

namespace NsOvrin::NsQlElemEditor {

template <typename TUi, typename TIo>
class QlEHostAlarmOf : public QlEHostOf<TUi, TIo> {
 public:
  // Shares a loaded record and binding; no check, no demonstration row.
  QlEHostAlarmOf(std::shared_ptr<TUi> ui, std::shared_ptr<TIo> io)
      : QlEHostOf<TUi, TIo>(std::move(ui), std::move(io)) {}

  void SetRect(const D2D_RECT_F& rect) override {
    if (this->_qlUi) this->_qlUi->table.SetRect(rect);
  }

  // Online, the rows are rebuilt when the manager's counter moved since the
  // last rebuild, or when a rebuild was asked for.
  bool Refresh() override {
    if (!HostOnlineFlag || !this->_qlUi) return false;
    return this->_qlUi->RefreshFromManager(NsAlarm::AlarmManager::Instance());
  }

  // Bound afresh, the table is rebuilt at the next online tick.
  bool Rebind() override {
    const bool bound = QlEHostOf<TUi, TIo>::Rebind();
    if (bound && this->_qlUi) this->_qlUi->forceRefresh = true;
    return bound;
  }

  // The binding holds nothing to get wrong beyond its visibility, which the
  // revalidation judges.
  bool Check(std::string* message) override {
    if (!this->_qlUi) {
      if (message != nullptr) *message = "系统错误: QlUiAlarmList == 0";
      return false;
    }
    this->_qlUi->inError = false;
    return true;
  }

  // Online the first tick shows the live rows even when no alarm moved;
  // offline the demonstration row comes back.
  void OnModeChanged() override {
    if (!this->_qlUi) return;
    if (HostOnlineFlag)
      this->_qlUi->forceRefresh = true;
    else
      this->_qlUi->ShowDemoRows();
  }

 protected:
  // A new table of the kind at the rectangle, checked, with its
  // demonstration row.
  explicit QlEHostAlarmOf(const D2D_RECT_F& rect)
      : QlEHostOf<TUi, TIo>(std::make_shared<TUi>(), std::make_shared<TIo>()) {
    this->_qlUi->table.SetRect(rect);
    QlEHostAlarmOf::Check(nullptr);
    this->_qlUi->ShowDemoRows();
  }

  // Clone of a host of this family: copies of record and binding, the copy
  // in design look whatever the source showed, then validated.
  template <typename Host>
  static std::shared_ptr<NsUiD2ElemEditor::TUiHost> CloneOf(const Host& source) {
    auto copy = std::make_shared<Host>(source._qlUi ? source._qlUi->Clone() : nullptr,
                                       source._qlIo ? source._qlIo->Clone() : nullptr);
    if (copy->_qlUi) copy->_qlUi->ShowDemoRows();
    return QlEHostElem::FinishClone(std::move(copy));
  }
};

}  // namespace NsOvrin::NsQlElemEditor
