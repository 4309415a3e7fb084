#include "wui/DlgItem.h"

#include <QLineEdit>

#include "wui/CConfirmEditBase.h"

namespace NsOvrin::NsWui {

int64_t ParseDlgItemInt(std::string_view text, bool isSigned, bool* translated) {
  if (translated) *translated = false;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (isSigned && i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  const std::size_t firstDigit = i;
  // Limit of the magnitude: INT32_MAX, one more for a negative value, or
  // UINT32_MAX unsigned.
  const uint64_t limit = !isSigned ? UINT32_MAX : negative ? uint64_t{INT32_MAX} + 1 : INT32_MAX;
  uint64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + static_cast<uint64_t>(text[i] - '0');
    if (magnitude > limit) return 0;
  }
  if (i == firstDigit) return 0;
  if (translated) *translated = true;
  return negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
}

int32_t GetDlgItemInt(const QWidget* dialog, int id, bool* translated, bool isSigned) {
  if (translated) *translated = false;
  const auto* edit = DlgItem<QLineEdit>(dialog, id);
  if (!edit) return 0;
  const int64_t value = ParseDlgItemInt(edit->text().toStdString(), isSigned, translated);
  // An unsigned value above INT32_MAX comes back as its 32-bit pattern.
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

void SetDlgItemInt(QWidget* dialog, int id, int64_t value) {
  const QString text = QString::number(value);
  // A confirm edit's own setText ends its editing, whatever the text.
  if (auto* confirm = DlgItem<CConfirmEditBase>(dialog, id)) {
    confirm->setText(text);
  } else if (auto* edit = DlgItem<QLineEdit>(dialog, id)) {
    edit->setText(text);
  }
}

}  // namespace NsOvrin::NsWui
