#include "ModbusRtuSlave.h"

#include <modbus/modbus-rtu.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace NsOvrin::NsTestSupport {

ModbusRtuSlave::~ModbusRtuSlave() { Stop(); }

bool ModbusRtuSlave::Start() {
  if (thread_.joinable()) return false;
  char name[PATH_MAX] = {};
  if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return false;
  termios tio{};
  if (tcgetattr(slave_, &tio) == 0) {
    cfmakeraw(&tio);
    tcsetattr(slave_, TCSANOW, &tio);
  }
  slavePath_ = name;
  // libmodbus never opens the device here: it is handed the master end.
  ctx_ = modbus_new_rtu(name, 9600, 'N', 8, 1);
  wake_ = eventfd(0, EFD_CLOEXEC);
  if (ctx_ == nullptr || wake_ < 0 || modbus_set_slave(ctx_, station_) != 0) {
    Stop();
    return false;
  }
  modbus_set_socket(ctx_, master_);
  modbus_set_byte_timeout(ctx_, 0, 200000);
  modbus_set_indication_timeout(ctx_, 0, 200000);
  try {
    thread_ = std::thread([this] { Serve(); });
  } catch (...) {
    Stop();
    return false;
  }
  return true;
}

void ModbusRtuSlave::Stop() {
  if (thread_.joinable()) {
    stopRequested_ = true;
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof(one));
    thread_.join();
    stopRequested_ = false;
  }
  if (ctx_ != nullptr) {
    // Not modbus_close: it would restore terminal settings it never saved.
    modbus_set_socket(ctx_, -1);
    modbus_free(ctx_);
    ctx_ = nullptr;
  }
  for (int* fd : {&wake_, &slave_, &master_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
  slavePath_.clear();
}

void ModbusRtuSlave::Serve() {
  uint8_t request[MODBUS_RTU_MAX_ADU_LENGTH];
  for (;;) {
    pollfd fds[2] = {{wake_, POLLIN, 0}, {master_, POLLIN, 0}};
    const int r = poll(fds, 2, -1);
    if (r < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[0].revents != 0 || stopRequested_) return;
    if (fds[1].revents & POLLIN) {
      const int n = modbus_receive(ctx_, request);
      if (n > 0) Reply(ctx_, request, n);
      continue;
    }
    if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) {
      // We hold the slave end, so this is unexpected: wait for the stop.
      pollfd wake{wake_, POLLIN, 0};
      poll(&wake, 1, -1);
      return;
    }
  }
}

}  // namespace NsOvrin::NsTestSupport
