#include "dx2d/ImagingFactory.h"

#include <mutex>
#include <utility>

namespace NsOvrin::NsDx2d {

namespace {

std::mutex& InstanceLock() {
  static std::mutex lock;
  return lock;
}

std::shared_ptr<ImagingFactory>& InstanceSlot() {
  static std::shared_ptr<ImagingFactory> slot;
  return slot;
}

}  // namespace

std::shared_ptr<ImagingFactory> ImagingFactory::Instance() {
  std::lock_guard<std::mutex> guard(InstanceLock());
  return InstanceSlot();
}

void ImagingFactory::SetInstance(std::shared_ptr<ImagingFactory> factory) {
  std::lock_guard<std::mutex> guard(InstanceLock());
  InstanceSlot() = std::move(factory);
}

}  // namespace NsOvrin::NsDx2d
