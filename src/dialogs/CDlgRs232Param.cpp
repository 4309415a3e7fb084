#include "dialogs/CDlgRs232Param.h"

#include <cstdint>
#include <initializer_list>
#include <utility>

#include <QComboBox>

#include "wui/DlgItem.h"
#include "wui/FormDialog.h"

namespace NsOvrin {

using namespace NsCommServer;

namespace {

using Items = std::initializer_list<std::pair<const char*, uint32_t>>;

const Items kBaudItems = {{"4800", kBaud4800},
                          {"9600", kBaud9600},
                          {"19200", kBaud19200},
                          {"38400", kBaud38400},
                          {"115200", kBaud115200}};
const Items kParityItems = {{"N (无校验)", kParityNone},
                            {"O (奇校验)", kParityOdd},
                            {"E (偶校验)", kParityEven},
                            {"M (Mark校验)", kParityMark},
                            {"S (Space校验)", kParitySpace}};
const Items kDataBitsItems = {
    {"5", kDataBits5}, {"6", kDataBits6}, {"7", kDataBits7}, {"8", kDataBits8}};
const Items kStopBitsItems = {{"1", kStopBits1}, {"2", kStopBits2}};

QComboBox* MakeList(QWidget* parent, int id) {
  auto* list = new QComboBox(parent);
  NsWui::SetDlgItemId(list, id);
  return list;
}

void FillAndSelect(QComboBox& list, const Items& items, const uint32_t* value) {
  list.clear();
  for (const auto& [text, flag] : items) list.addItem(QString::fromUtf8(text), QVariant(flag));
  list.setCurrentIndex(value ? list.findData(QVariant(*value)) : -1);
}

// The selected item's flag. A list left without selection (the channel held
// a value the list does not offer) gives the default setting's flag, the
// value the channel's parameter text would fall back to anyway; a list not
// filled yet keeps the current value.
uint32_t SelectedFlag(const QComboBox& list, uint32_t current, uint32_t fallback) {
  if (list.count() == 0) return current;
  if (list.currentIndex() < 0) return fallback;
  return list.currentData().toUInt();
}

}  // namespace

CDlgRs232Param::CDlgRs232Param(QWidget* parent, SerialParams* settings)
    : NsWui::CModalDialog(parent),
      baud_(MakeList(this, IDC_BAUD)),
      parity_(MakeList(this, IDC_PARITY)),
      dataBits_(MakeList(this, IDC_DATABITS)),
      stopBits_(MakeList(this, IDC_STOPBITS)),
      settings_(settings) {
  setWindowTitle(QStringLiteral("串口参数"));

  NsWui::LayOutFormDialog(*this,
                          {{"波特率:", baud_},
                           {"校验方式:", parity_},
                           {"数据位:", dataBits_},
                           {"停止位:", stopBits_}},
                          [this] { OnOK(); });
}

void CDlgRs232Param::OnInitDialog() {
  FillAndSelect(*baud_, kBaudItems, settings_ ? &settings_->baud : nullptr);
  FillAndSelect(*parity_, kParityItems, settings_ ? &settings_->parity : nullptr);
  FillAndSelect(*dataBits_, kDataBitsItems, settings_ ? &settings_->dataBits : nullptr);
  FillAndSelect(*stopBits_, kStopBitsItems, settings_ ? &settings_->stopBits : nullptr);
}

void CDlgRs232Param::OnOK() {
  if (settings_) {
    const SerialParams defaults;
    settings_->baud = SelectedFlag(*baud_, settings_->baud, defaults.baud);
    settings_->parity = SelectedFlag(*parity_, settings_->parity, defaults.parity);
    settings_->dataBits = SelectedFlag(*dataBits_, settings_->dataBits, defaults.dataBits);
    settings_->stopBits = SelectedFlag(*stopBits_, settings_->stopBits, defaults.stopBits);
  }
  accept();
}

}  // namespace NsOvrin
