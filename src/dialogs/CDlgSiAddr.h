#pragma once
// The small modal dialog that asks for a variable event's address: for a
// new event (add mode, which makes the event) or for a changed one (change
// mode, which moves the event). Every refusal is a balloon tip on the
// address edit and the dialog stays open.
#include <memory>
#include <string>

#include "wui/CModalDialog.h"

namespace NsOvrin {

namespace NsQlEvent {
class QlVarEventBase;
}

class CDlgSiAddr : public NsWui::CModalDialog {
 public:
  static constexpr int IDD = 373;
  static constexpr int IDC_ADDRESS = 1000;
  static constexpr int IDC_OK = 1;

  static constexpr int kModeAdd = 0;
  static constexpr int kModeChange = 1;

  CDlgSiAddr(int mode, const std::string& oldAddress, QWidget* parent = nullptr);
  // Change mode for that very event of the project (several may share an
  // address); its address is shown at start.
  CDlgSiAddr(std::shared_ptr<NsQlEvent::QlVarEventBase> event, QWidget* parent = nullptr);
  ~CDlgSiAddr() override;

  void OnInitDialog() override;
  void OnOK();

  int mode;
  // Shown in the edit at start.
  std::string oldAddress;
  // Change mode: the accepted, canonical address.
  std::string newAddress;
  // Add mode: the event made for the accepted address.
  std::shared_ptr<NsQlEvent::QlVarEventBase> newEvent;
  // Change mode: the event to move; without one, the first at oldAddress.
  std::shared_ptr<NsQlEvent::QlVarEventBase> event;

 private:
  void Refuse(const std::string& message);
};

}  // namespace NsOvrin
