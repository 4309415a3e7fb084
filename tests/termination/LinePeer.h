#pragma once
// The far end of a test link: splits what it receives into request lines,
// records them, and answers each as the test's handler says.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace NsOvrin::NsTermination::Testing {

struct PeerReply {
  std::vector<std::string> chunks;  // written one after another
  int gapMs = 0;                    // pause before every chunk but the first
  bool reset = false;               // TCP: reset the connection instead
  bool halfClose = false;           // TCP: then end the sending side, keeping the socket

  static PeerReply Line(const std::string& text) { return PeerReply{{text}, 0, false}; }
  static PeerReply None() { return PeerReply{}; }
};

class LinePeer {
 public:
  // request: the line without its end; index: 0 for the first request.
  using Handler = std::function<PeerReply(const std::string& request, size_t index)>;

  LinePeer();
  virtual ~LinePeer() = default;

  void SetHandler(Handler handler);
  std::vector<std::string> Requests() const;
  size_t RequestCount() const;
  bool WaitForRequests(size_t count,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

 protected:
  // Records the complete lines among the bytes; the replies to send, in order.
  std::vector<PeerReply> Feed(const char* data, size_t size);

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::string pending_;
  std::vector<std::string> requests_;
  Handler handler_;
};

}  // namespace NsOvrin::NsTermination::Testing
