#pragma once
// An IPv4 address field: four number fields of 0-255 in a row, separated by
// dots. A field left empty reads as 0; the control is blank only while all
// four are empty, so "0.0.0.0" typed in full is an address.
#include <array>
#include <cstdint>

#include <QWidget>

class QLineEdit;

namespace NsOvrin::NsWui {

class IpAddressCtrl : public QWidget {
 public:
  explicit IpAddressCtrl(QWidget* parent = nullptr);

  bool IsBlank() const;
  // Host byte order: the first field in the highest byte.
  uint32_t GetAddress() const;
  void SetAddress(uint32_t address);
  // Empties the four fields.
  void ClearAddress();

  // Field 0 to 3, left to right.
  QLineEdit* Field(int index) const { return fields_[static_cast<std::size_t>(index)]; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::array<QLineEdit*, 4> fields_{};
};

}  // namespace NsOvrin::NsWui
