#include "dialogs/DevDialogFields.h"

#include <QLineEdit>

#include "platform/Format.h"
#include "termination/AddrBinder.h"
#include "termination/DevSetup.h"
#include "wui/DlgItem.h"
#include "wui/UiServices.h"

namespace NsOvrin::NsDevDialog {

namespace {

std::string EditText(QWidget* dialog, int id) {
  const auto* edit = NsWui::DlgItem<QLineEdit>(dialog, id);
  return edit ? edit->text().toStdString() : std::string();
}

void Balloon(QWidget* dialog, int id, const std::string& title, const std::string& text) {
  if (QWidget* control = NsWui::GetDlgItem(dialog, id)) {
    NsWui::GetUiServices().ShowBalloonTip(control, title, text);
  }
}

}  // namespace

bool ReadDeviceName(QWidget* dialog, int id, int mode, const std::string& previousName,
                    std::string& name) {
  std::string text = EditText(dialog, id);
  std::string message;
  if (!NsTermination::CheckDeviceName(mode, previousName, text, message)) {
    Balloon(dialog, id, "提示", message);
    return false;
  }
  name = text;
  return true;
}

bool CheckModelChosen(QWidget* dialog, uint32_t model) {
  if (model != NsTermination::kModelNone) return true;
  NsWui::GetUiServices().MessageBox(dialog, "设备类型不能为空!", "提示", NsWui::MB_ICONERROR);
  return false;
}

bool ReadStationNo(QWidget* dialog, int id, uint16_t& station) {
  std::string text = EditText(dialog, id);
  std::string message;
  if (!NsTermination::CheckStationNo(text, message)) {
    Balloon(dialog, id, "提示", message);
    return false;
  }
  NsTermination::TrimBlanks(text);
  station = static_cast<uint16_t>(NsPlatform::ParseDecimalU32Saturating(text));
  return true;
}

bool ReadPositive(QWidget* dialog, int id, uint32_t limit, const char* title, const char* text,
                  uint32_t& value) {
  const int32_t number = NsWui::GetDlgItemInt(dialog, id, nullptr, true);
  // Beyond the limit the field would be stored cut to its low bits: a
  // different value than the one typed.
  if (number <= 0 || static_cast<uint32_t>(number) > limit) {
    Balloon(dialog, id, title, text);
    return false;
  }
  value = static_cast<uint32_t>(number);
  return true;
}

bool ReadResendTimes(QWidget* dialog, int id, uint16_t& resend) {
  uint32_t value = 0;
  if (!ReadPositive(dialog, id, 0xFFFF, "重发次数不能为空并且不能为0.",
                    "重发次数必须为大于0的数字.", value)) {
    return false;
  }
  resend = static_cast<uint16_t>(value);
  return true;
}

}  // namespace NsOvrin::NsDevDialog
