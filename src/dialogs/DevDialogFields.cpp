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

// Whether the number the text starts with lies above limit, however many digits
// it has (the dialog helper reads a number too long for 32 bits as 0).
bool NumberAbove(const std::string& text, uint32_t limit) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  uint64_t number = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    number = number * 10 + static_cast<uint64_t>(text[i] - '0');
    if (number > limit) return true;
  }
  return false;
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
                  const char* aboveLimit, uint32_t& value) {
  if (NumberAbove(EditText(dialog, id), limit)) {
    Balloon(dialog, id, "提示", aboveLimit);
    return false;
  }
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
                    "重发次数必须为大于0的数字.", "重发次数必须在1到65535之间.", value)) {
    return false;
  }
  resend = static_cast<uint16_t>(value);
  return true;
}

}  // namespace NsOvrin::NsDevDialog
