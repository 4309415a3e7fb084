#pragma once
// A pseudo-terminal pair standing in for a serial line: the node's transport
// opens the slave like a COM port; the peer answers on the master.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "LinePeer.h"

namespace NsOvrin::NsTermination::Testing {

class PtyPeer : public LinePeer {
 public:
  PtyPeer();
  ~PtyPeer() override;

  bool IsOpen() const { return master_ >= 0; }
  const std::string& SlavePath() const { return slavePath_; }
  // The slave through the serial port opener (8 data bits, no parity).
  int OpenSlave() const;

  // Answers requests on a thread of its own until Stop.
  void Start();
  void Stop();

  // Raw access to the master while the responder is not running.
  void Write(const std::string& bytes);
  std::string Read(std::chrono::milliseconds timeout);

 private:
  void Run();
  void Send(const PeerReply& reply);

  int master_ = -1;
  std::string slavePath_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
};

}  // namespace NsOvrin::NsTermination::Testing
