#pragma once
// The modal serial parameters dialog: baud rate, parity, data bits and stop
// bits of one serial channel, each a drop-down list of fixed items. OK
// writes the four choices into the channel's settings record; the port
// number is never changed here.

#include "comm_server/SerialParams.h"
#include "wui/CModalDialog.h"

class QComboBox;

namespace NsOvrin {

class CDlgRs232Param : public NsWui::CModalDialog {
 public:
  static constexpr int IDC_BAUD = 1006;
  static constexpr int IDC_PARITY = 1007;
  static constexpr int IDC_DATABITS = 1008;
  static constexpr int IDC_STOPBITS = 1009;
  static constexpr int IDC_OK = 1;
  static constexpr int IDC_CANCEL = 2;

  // settings may be null: the lists then show no selection and OK writes
  // nothing.
  CDlgRs232Param(QWidget* parent, NsCommServer::SerialParams* settings);

  void OnInitDialog() override;
  void OnOK();

 private:
  QComboBox* baud_;
  QComboBox* parity_;
  QComboBox* dataBits_;
  QComboBox* stopBits_;
  NsCommServer::SerialParams* settings_;
};

}  // namespace NsOvrin
