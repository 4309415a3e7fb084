#include "dialogs/CDlgUsers.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <vector>

#include <QVBoxLayout>

#include "platform/Format.h"
#include "platform/Utf.h"
#include "project/QlEProject.h"
#include "project/UsersFile.h"
#include "project_base/QlUser.h"
#include "wui/DlgItem.h"
#include "wui/OvReportCtrl.h"
#include "wui/RtConfirmEdit.h"

namespace NsOvrin {

using NsPlatform::StrFormat;

namespace {

constexpr std::size_t kMaxPasswordLength = 20;
constexpr uint32_t kHeaderBack = 0xBAAF8D;
constexpr uint32_t kHeaderText = 0xF0F0F0;
constexpr int kHeaderFontSize = 120;
constexpr uint32_t kGridBack = 0xF0F0F0;
constexpr uint32_t kPasswordBack = 0xF8F8F8;
constexpr uint32_t kDescriptionText = 0x888888;

struct Column {
  const char* header;
  int width;
  uint32_t align;
};

constexpr Column kColumns[] = {
    {"权 限", 80, kCellAlignCentre},
    {"用户名", 220, kCellAlignCentre},
    {"密 码", 260, kCellAlignLeft},
    {"描 述", 200, kCellAlignLeft},
};

bool IsPasswordChar(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view(" !#$%&*-=@_").find(c) != std::string_view::npos;
}

}  // namespace

// No OK step: the changes take effect while the dialog is open.
CDlgUsers::CDlgUsers(QWidget* parent)
    : NsWui::CModalDialog(parent, NsWui::CModalDialog::Keys::kIgnoreEnterEsc) {
  setWindowTitle(QStringLiteral("用户管理"));
  grid = new NsWui::OvReportCtrl(5, 4, 0, this);
  NsWui::SetDlgItemId(grid, IDC_GRID);
  auto* top = new QVBoxLayout(this);
  top->addWidget(grid);
  resize(80 + 220 + 260 + 200 + 40, 300);
}

CDlgUsers::~CDlgUsers() {
  // The password editor calls into this dialog; it goes first.
  grid->DestroyEditors();
}

void CDlgUsers::OnInitDialog() {
  grid->rowHeight = 32;
  grid->UpdateVScrollBar();
  grid->UpdateHScrollBar();
  grid->SetBackColour(kGridBack);
  for (uint16_t col = 0; col < std::size(kColumns); ++col) {
    const Column& column = kColumns[col];
    grid->SetColumnWidth(col, column.width);
    if (const auto align = grid->GetColumnAlign(col)) *align = column.align;
    grid->SetCellText(0, col, column.header);
    grid->CenterHeaderCell(col);
    grid->SetCellBackColour(0, col, kHeaderBack);
    grid->SetCellTextColour(0, col, kHeaderText);
    grid->SetHeaderFontSize(col, kHeaderFontSize);
  }

  if (grid->entries.empty()) {
    auto password = grid->MakeConfirmEdit();
    if (NsWui::CConfirmEditCtrl* control = password->Control()) control->buttonsEnabled = true;
    password->validator = [](const std::string&, const std::string& text, std::string& message) {
      return ValidatePassword(text, message);
    };
    password->changeHook = [this](std::string& text) { CommitPassword(text); };
    // Row 0 is the header: it is never edited.
    grid->AddColumnEditor(kColPassword, password, 1);
  }

  FillRows();
}

void CDlgUsers::FillRows() {
  std::vector<QlUser>& users = GetUserList();
  // Showing the defaults changes nothing the user made: no modified mark.
  if (users.empty()) ResetDefaultUsers();
  const std::size_t rows = std::min<std::size_t>(users.size() + 1, 0xFFFF);
  grid->SetRowCount(static_cast<uint16_t>(rows));
  for (std::size_t i = 0; i + 1 < rows; ++i) {
    const QlUser& user = users[i];
    const int row = static_cast<int>(i + 1);
    grid->SetCellText(row, kColLevel, StrFormat("%u", static_cast<unsigned>(user.level)));
    grid->SetCellText(row, kColName, user.name);
    grid->SetCellText(row, kColPassword, user.password);
    grid->SetCellBackColour(static_cast<uint16_t>(row), kColPassword, kPasswordBack);
    grid->SetCellText(row, kColDescription, GetLevelDescription(user.level));
    grid->SetCellTextColour(static_cast<uint16_t>(row), kColDescription, kDescriptionText);
  }
  grid->UpdateVScrollBar();
  grid->viewport()->update();
}

void CDlgUsers::CommitPassword(std::string& text) {
  const int row = grid->editRow;
  std::vector<QlUser>& users = GetUserList();
  if (row < 1 || static_cast<std::size_t>(row - 1) >= users.size()) return;
  QlUser& user = users[static_cast<std::size_t>(row - 1)];
  if (user.password == text) return;
  user.password = text;
  ChangedUsers();
  QlEProject::Instance().modified = true;
}

bool CDlgUsers::ValidatePassword(const std::string& text, std::string& message) {
  if (NsPlatform::Utf16Length(text) > kMaxPasswordLength) {
    message = "密码长度不要超过20个字符.";
    return false;
  }
  for (const char c : text) {
    if (!IsPasswordChar(c)) {
      message = "密码只能包含 0~9, a-z, A-Z, !, @, #, $, %, $, &, *, -, =, _ 等字符.";
      return false;
    }
  }
  return true;
}

std::string CDlgUsers::GetLevelDescription(int32_t level) {
  switch (level) {
    case kUserAdministrator: return "可以修改其他人的密码";
    case kUserDeviceMaker: return "最高权限";
    default: return std::string();
  }
}

}  // namespace NsOvrin
