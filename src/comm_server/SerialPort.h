#pragma once
// Opening, configuring and listing the machine's serial ports.
//
// Port "COMn" names a device: key "COMn" of section [serial_ports] in
// default_config_.ini when present (a device path), otherwise the fixed rule
// COM1..COM32 -> /dev/ttyS0..31, COM33+k -> /dev/ttyUSBk (k < 32),
// COM65+k -> /dev/ttyACMk.
#include <termios.h>

#include <cstdint>
#include <string>
#include <vector>

#include "comm_server/SerialParams.h"

namespace NsOvrin::NsCommServer {

inline constexpr int kInvalidSerialHandle = -1;

struct SerialPortInfo {
  std::string friendlyName;
  uint32_t port = 0;
};

// Fixed rule only; empty for port 0.
std::string GetDefaultSerialDevicePath(uint32_t port, const std::string& devDir = "/dev");
// The COM number the fixed rule gives a device name ("ttyUSB2" -> 35); 0 when none.
uint32_t GetDefaultSerialPortNumber(const std::string& deviceName);

// The override of the INI file first, then the fixed rule. Empty for port 0.
std::string GetSerialDevicePath(uint32_t port);  // default_config_.ini
std::string GetSerialDevicePath(uint32_t port, const std::string& iniPath,
                                const std::string& devDir = "/dev");

// Raw mode with the settings' speed, data bits, parity (mark and space through
// CMSPAR) and stop bits; no flow control. False for a flag outside its table.
bool BuildSerialTermios(const SerialParams& settings, termios& tio);

// An exclusive, configured, purged descriptor, or kInvalidSerialHandle on any
// failure. The descriptor is non-blocking: SerPortClient waits with poll().
int OpenSerialPort(const SerialParams& settings);
// The same on a given device (the port number of the settings is not used).
int OpenSerialPort(const SerialParams& settings, const std::string& devicePath);

// Gives up the exclusive hold (which would otherwise outlive this descriptor
// while others keep the device open) and closes.
void CloseSerialPort(int fd);

// The serial devices that can be opened now, one entry per COM number, by number.
std::vector<SerialPortInfo> EnumerateSerialPorts();
std::vector<SerialPortInfo> EnumerateSerialPorts(const std::string& sysClassTtyDir,
                                                 const std::string& devDir,
                                                 const std::string& iniPath);

}  // namespace NsOvrin::NsCommServer
