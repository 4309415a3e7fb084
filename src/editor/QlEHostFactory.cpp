#include "editor/QlEHostFactory.h"

#include "editor/EditorGlobals.h"
#include "editor/QlEHostAlarmHist.h"
#include "editor/QlEHostAlarmList.h"
#include "editor/QlEHostBtnUser.h"
#include "editor/QlEHostButton.h"
#include "editor/QlEHostEdit.h"
#include "editor/QlEHostImage.h"
#include "editor/QlEHostMultFuncBtn.h"
#include "editor/QlEHostMultStateText.h"
#include "editor/QlEHostNavBar.h"
#include "editor/QlEHostOvList.h"
#include "editor/QlEHostPageTo.h"
#include "editor/QlEHostPanel.h"
#include "editor/QlEHostString.h"
#include "editor/QlEHostText.h"
#include "project/NodeDbListener.h"

namespace NsOvrin::NsQlElemEditor {
namespace {

using NsDx2d::D2D_POINT_2F;
using NsUiD2ElemEditor::TUiHost;
using NsUiD2ElemEditor::UiElem;

// The page reader makes record and binding of the kind's classes; a file
// that names the wrong kind must not make a host read a record as what it
// is not.
template <typename Host, typename Ui, typename Io>
std::shared_ptr<TUiHost> MakeHost(const NsQlUiElem::QlElemData& data) {
  auto ui = std::dynamic_pointer_cast<Ui>(data.ui);
  if (!ui) return nullptr;
  return std::make_shared<Host>(std::move(ui), std::dynamic_pointer_cast<Io>(data.io));
}

// The alarm tables show their demonstration row in the editor, whatever
// rows the record held.
template <typename Host, typename Ui, typename Io>
std::shared_ptr<TUiHost> MakeAlarmHost(const NsQlUiElem::QlElemData& data) {
  std::shared_ptr<TUiHost> host = MakeHost<Host, Ui, Io>(data);
  if (host) std::static_pointer_cast<Host>(host)->_qlUi->ShowDemoRows();
  return host;
}

std::shared_ptr<TUiHost> MakeHostAt(unsigned int type, D2D_POINT_2F point) {
  switch (type) {
    case NsQlUiElem::kElemText: return std::make_shared<QlEHostText>(point);
    case NsQlUiElem::kElemNumber: return std::make_shared<QlEHostEdit>(point);
    case NsQlUiElem::kElemString: return std::make_shared<QlEHostString>(point);
    case NsQlUiElem::kElemButton: return std::make_shared<QlEHostButton>(point);
    case NsQlUiElem::kElemPageTo: return std::make_shared<QlEHostPageTo>(point);
    case NsQlUiElem::kElemPanel: return std::make_shared<QlEHostPanel>(point);
    case NsQlUiElem::kElemPicture: return std::make_shared<QlEHostImage>(point);
    case NsQlUiElem::kElemNavBar: return std::make_shared<QlEHostNavBar>(point);
    case NsQlUiElem::kElemAlarmList: return std::make_shared<QlEHostAlarmList>(point);
    case NsQlUiElem::kElemMultiStateLabel: return std::make_shared<QlEHostMultStateText>(point);
    case NsQlUiElem::kElemAlarmHist: return std::make_shared<QlEHostAlarmHist>(point);
    case NsQlUiElem::kElemBtnLogin: return std::make_shared<QlEHostBtnUser>(point);
    case NsQlUiElem::kElemMultFunc: return std::make_shared<QlEHostMultFuncBtn>(point);
    case NsQlUiElem::kElemOVTable: return std::make_shared<QlEHostOvList>(point);
    default: return nullptr;
  }
}

std::shared_ptr<TUiHost> MakeHostFromData(const NsQlUiElem::QlElemData& data) {
  namespace Ui = NsQlUiElem;
  namespace Io = NsQlElemIo;
  switch (data.type) {
    case Ui::kElemText: return MakeHost<QlEHostText, Ui::QlUiText, Io::QlTextIo>(data);
    case Ui::kElemNumber: return MakeHost<QlEHostEdit, Ui::QlUiEdit, Io::QlEditIo>(data);
    case Ui::kElemString: return MakeHost<QlEHostString, Ui::QlUiEdit, Io::QlStringIo>(data);
    case Ui::kElemButton: return MakeHost<QlEHostButton, Ui::QlUiButton, Io::QlButtonIo>(data);
    case Ui::kElemPageTo: return MakeHost<QlEHostPageTo, Ui::QlUiButton, Io::QlPageToIo>(data);
    case Ui::kElemPanel: return MakeHost<QlEHostPanel, Ui::QlUiPanel, Io::QlPanelIo>(data);
    case Ui::kElemPicture: return MakeHost<QlEHostImage, Ui::QlUiImage, Io::QlImageIo>(data);
    case Ui::kElemNavBar: return MakeHost<QlEHostNavBar, Ui::QlUiNavBar, Io::QlNavBarIo>(data);
    case Ui::kElemAlarmList:
      return MakeAlarmHost<QlEHostAlarmList, Ui::QlUiAlarmList, Io::QlAlarmListIo>(data);
    case Ui::kElemMultiStateLabel:
      return MakeHost<QlEHostMultStateText, Ui::QlUiMultStateText, Io::QlMultStateTextIo>(data);
    case Ui::kElemAlarmHist:
      return MakeAlarmHost<QlEHostAlarmHist, Ui::QlUiAlarmHist, Io::QlAlarmHistIo>(data);
    case Ui::kElemBtnLogin:
      return MakeHost<QlEHostBtnUser, Ui::QlUiBtnUser, Io::QlBtnUserIo>(data);
    case Ui::kElemMultFunc:
      return MakeHost<QlEHostMultFuncBtn, Ui::QlUiButton, Io::QlMultFuncBtnIo>(data);
    case Ui::kElemOVTable: return MakeHost<QlEHostOvList, Ui::QlUiOvList, Io::QlOvListIo>(data);
    default: return nullptr;
  }
}

}  // namespace

std::shared_ptr<UiElem> CreateNewElem(unsigned int type, D2D_POINT_2F point) {
  std::shared_ptr<TUiHost> host = MakeHostAt(type, point);
  if (!host) return nullptr;
  HostOnlineFlag = OnlineFlag.load();
  return std::make_shared<UiElem>(std::move(host));
}

std::shared_ptr<UiElem> CreateElemFromData(const NsQlUiElem::QlElemData& data) {
  if (!data.ui) return nullptr;
  std::shared_ptr<TUiHost> host = MakeHostFromData(data);
  if (!host) return nullptr;
  return std::make_shared<UiElem>(std::move(host));
}

}  // namespace NsOvrin::NsQlElemEditor
