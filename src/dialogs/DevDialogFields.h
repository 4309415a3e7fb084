#pragma once
// The checks the serial and Ethernet device dialogs share. Each reads one
// control of the dialog, shows its refusal (a balloon tip on the control or
// a message box) and returns false, or stores the value and returns true.
#include <cstdint>
#include <string>

class QWidget;

namespace NsOvrin::NsDevDialog {

// The device name of edit id, trimmed; mode and previousName as for
// CheckDeviceName.
bool ReadDeviceName(QWidget* dialog, int id, int mode, const std::string& previousName,
                    std::string& name);
// "设备类型不能为空!" while no model is chosen.
bool CheckModelChosen(QWidget* dialog, uint32_t model);
// A station number from 1 to 254 in edit id.
bool ReadStationNo(QWidget* dialog, int id, uint16_t& station);
// A number from 1 to limit in edit id. A number above limit is refused with
// the balloon ("提示", aboveLimit), which names the range; anything else
// with the balloon (title, text).
bool ReadPositive(QWidget* dialog, int id, uint32_t limit, const char* title, const char* text,
                  const char* aboveLimit, uint32_t& value);
// The resend count, 1 to 65535, in edit id.
bool ReadResendTimes(QWidget* dialog, int id, uint16_t& resend);

}  // namespace NsOvrin::NsDevDialog
