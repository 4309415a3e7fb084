#include "dialogs/CDlgNewProject.h"

#include <cmath>
#include <limits>
#include <memory>

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "common/PathUtil.h"
#include "common/UiValidation.h"
#include "editor/EditorGlobals.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/FormDialog.h"
#include "wui/MfcEditBrowse.h"
#include "wui/UiServices.h"

namespace NsOvrin {

using NsWui::CConfirmEditCtrl;

namespace {

constexpr int32_t kDefaultWidth = 600;
constexpr int32_t kDefaultHeight = 480;

// Screen size in the pixels the system reports, not Qt's scaled units.
int PrimaryScreenPixels(bool horizontal) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return 0;
  const QSize size = screen->geometry().size();
  return static_cast<int>(std::lround((horizontal ? size.width() : size.height()) *
                                      screen->devicePixelRatio()));
}

void SetUpScreenEdit(CConfirmEditCtrl& edit, int32_t& member) {
  edit.editing = false;
  edit.buttonsEnabled = false;
  edit.leaveOnFocusLoss = true;
  edit.SyncEditText();

  auto rule = std::make_shared<UiRule>("屏幕大小");
  rule->AddSegment(new NsUiRule::UiRuleSegUIntRange(60, 60000, NsUiRule::kBoundBoth));
  edit.validator = [rule](const std::string&, const std::string& text, std::string& message) {
    return rule->Check(text, message);
  };
  edit.formatter = [&member](const std::string&, std::string& text) {
    member = static_cast<int32_t>(NsWui::ParseDlgItemInt(text, true));
  };
}

}  // namespace

int32_t ScreenExtentForDpi(int physicalPixels, float dpiScale) {
  // A scale that was never measured counts as 1.
  if (!(dpiScale > 0.0f) || !std::isfinite(dpiScale)) dpiScale = 1.0f;
  const float extent = static_cast<float>(physicalPixels) / dpiScale;
  if (!(extent < static_cast<float>(std::numeric_limits<int32_t>::max()))) {
    return std::numeric_limits<int32_t>::max();
  }
  if (!(extent > static_cast<float>(std::numeric_limits<int32_t>::min()))) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(extent);
}

CDlgNewProject::CDlgNewProject(QWidget* parent) : NsWui::CModalDialog(parent) {
  setWindowTitle(QStringLiteral("创建新工程..."));

  auto* nameEdit = new QLineEdit(this);
  NsWui::SetDlgItemId(nameEdit, IDC_NAME);
  auto* folderEdit = new NsWui::MfcEditBrowse(this);
  NsWui::SetDlgItemId(folderEdit, IDC_FOLDER);
  folderEdit->EnableFolderBrowseButton();
  widthEdit = new CConfirmEditCtrl(this);
  NsWui::SetDlgItemId(widthEdit, IDC_WIDTH);
  heightEdit = new CConfirmEditCtrl(this);
  NsWui::SetDlgItemId(heightEdit, IDC_HEIGHT);

  NsWui::LayOutFormDialog(*this,
                          {{"工程名称:", nameEdit},
                           {"工程路径:", folderEdit},
                           {"屏幕宽度:", widthEdit},
                           {"屏幕高度:", heightEdit}},
                          [this] { OnOK(); });
}

void CDlgNewProject::OnInitDialog() {
  NsWui::SetDlgItemInt(this, IDC_WIDTH, ScreenExtentForDpi(PrimaryScreenPixels(true), DpiScale));
  SetUpScreenEdit(*widthEdit, screenWidth);
  NsWui::SetDlgItemInt(this, IDC_HEIGHT,
                       ScreenExtentForDpi(PrimaryScreenPixels(false), DpiScale));
  SetUpScreenEdit(*heightEdit, screenHeight);
}

void CDlgNewProject::OnOK() {
  name = NsWui::DlgItem<QLineEdit>(this, IDC_NAME)->text().trimmed().toStdString();
  if (name.empty()) {
    NsWui::GetUiServices().MessageBox(this, "工程名称不能为空!", "提示", NsWui::MB_ICONERROR);
    return;
  }
  if (!IsValidName(name)) {
    NsWui::GetUiServices().MessageBox(this, "工程名称包含无效字符!", "提示", NsWui::MB_ICONERROR);
    return;
  }
  folder = NsWui::DlgItem<QLineEdit>(this, IDC_FOLDER)->text().trimmed().toStdString();

  screenWidth = NsWui::GetDlgItemInt(this, IDC_WIDTH, nullptr, true);
  screenHeight = NsWui::GetDlgItemInt(this, IDC_HEIGHT, nullptr, true);
  if (screenWidth <= 0) screenWidth = kDefaultWidth;
  if (screenHeight <= 0) screenHeight = kDefaultHeight;
  accept();
}

}  // namespace NsOvrin
