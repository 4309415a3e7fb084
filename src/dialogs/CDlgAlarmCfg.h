#pragma once
// The alarm configuration dialog: the project's alarm groups (a start
// address, a bit count and one message per bit) and the size of the alarm
// history. Every edit works at once on the live alarm manager and marks the
// project modified; there is no OK step: Enter and Escape do nothing and
// only the close box ends it.
#include <memory>
#include <string>
#include <vector>

#include "wui/CModalDialog.h"

namespace NsOvrin {

namespace NsAlarm {
class AlarmSeg;
class AlarmSegCvb;
}  // namespace NsAlarm
namespace NsWui {
class CColorfulStatic;
class CConfirmEditCtrl;
class OvReportCtrl;
class WReportCtrl;
}  // namespace NsWui

class CDlgAlarmCfg : public NsWui::CModalDialog {
 public:
  static constexpr int IDC_COUNT = 1000;    // IDC_EDIT1
  static constexpr int IDC_ADDRESS = 1001;  // IDC_EDIT4
  static constexpr int IDC_HIST_COUNT = 1002;
  static constexpr int IDC_IMPORT = 1018;  // IDC_BUTTON1
  static constexpr int IDC_EXPORT = 1019;  // IDC_BUTTON7
  static constexpr int IDC_GROUPS = 1021;
  static constexpr int IDC_ADD = 1024;
  static constexpr int IDC_DELETE = 1025;
  static constexpr int IDC_MESSAGES = 1037;
  static constexpr int IDC_STATUS = 1057;

  // Columns of the group list and of the message table.
  static constexpr int kColNumber = 0;
  static constexpr int kColAddress = 1;
  static constexpr int kColCount = 2;
  static constexpr int kColMessage = 1;

  explicit CDlgAlarmCfg(QWidget* parent = nullptr);
  ~CDlgAlarmCfg() override;

  void OnInitDialog() override;
  // One row per group of the alarm manager, in its order.
  void FillGroups();
  // The group of that row of the last fill; any other index selects none
  // and disables the group controls.
  void SelectGroup(int index);
  void RefreshMessages();
  void RefreshCountText();
  void UpdateStatusLine();
  // Address and count cells of the listed rows, from their groups.
  void RewriteGroupRows();

  void OnAdd();
  void OnDelete();
  void OnImport();
  void OnExport();

  // Commits of the confirmed edits; each may rewrite the text it is given.
  void CommitCount(std::string& text);
  void CommitAddress(std::string& text);
  void CommitHistCount(std::string& text);
  void CommitMessage(std::string& text);

  NsWui::WReportCtrl* groupList = nullptr;
  NsWui::OvReportCtrl* messageTable = nullptr;
  NsWui::CConfirmEditCtrl* countEdit = nullptr;
  NsWui::CConfirmEditCtrl* addressEdit = nullptr;
  NsWui::CConfirmEditCtrl* histEdit = nullptr;
  NsWui::CColorfulStatic* statusLine = nullptr;
  // The group being edited; empty when none is.
  std::shared_ptr<NsAlarm::AlarmSegCvb> selectedGroup;
  // The groups as listed by the last fill; row i shows element i.
  std::vector<std::shared_ptr<NsAlarm::AlarmSeg>> shownGroups;

 private:
  // Enables or disables import, export, address and count; a missing one is
  // reported.
  void EnableGroupControls(bool enable);
  void SelectRow(int row);
};

}  // namespace NsOvrin
