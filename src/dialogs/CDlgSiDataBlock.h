#pragma once
// The modal dialog that asks for a new data block of a node: start address,
// length and polling interval. Every refusal is a balloon tip on the edit
// at fault; on IDOK the descriptor holds the checked block.
#include <QDialog>

#include "common/OneWayWrapper.h"
#include "termination/Node.h"
#include "termination/Task.h"

namespace NsOvrin {

class CDlgSiDataBlock : public QDialog {
 public:
  static constexpr int IDC_START = 1000;
  static constexpr int IDC_LENGTH = 1002;
  static constexpr int IDC_INTERVAL = 1003;
  static constexpr int IDC_OK = 1;
  static constexpr int IDC_CANCEL = 2;

  // The descriptor is the caller's preset (an empty word block, 1000 ms).
  CDlgSiDataBlock(const NsTermination::BlockDescriptor& preset,
                  const OneWayWrapper<NsTermination::Node>& node, QWidget* parent = nullptr);

  // IDOK or IDCANCEL.
  int DoModal();
  void OnOK();

  NsTermination::BlockDescriptor block;
  OneWayWrapper<NsTermination::Node> node;

 private:
  void Refuse(int id, const std::string& message);
};

}  // namespace NsOvrin
