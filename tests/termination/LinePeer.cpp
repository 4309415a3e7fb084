#include "LinePeer.h"

namespace NsOvrin::NsTermination::Testing {

LinePeer::LinePeer()
    : handler_([](const std::string&, size_t) { return PeerReply::Line("A1234\n"); }) {}

void LinePeer::SetHandler(Handler handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
}

std::vector<std::string> LinePeer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

size_t LinePeer::RequestCount() const {
  std::lock_guard lock(mutex_);
  return requests_.size();
}

bool LinePeer::WaitForRequests(size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

std::vector<PeerReply> LinePeer::Feed(const char* data, size_t size) {
  std::vector<PeerReply> replies;
  {
    std::lock_guard lock(mutex_);
    pending_.append(data, size);
    for (size_t end; (end = pending_.find('\n')) != std::string::npos;) {
      const std::string request = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      replies.push_back(handler_(request, requests_.size()));
      requests_.push_back(request);
    }
  }
  changed_.notify_all();
  return replies;
}

}  // namespace NsOvrin::NsTermination::Testing
