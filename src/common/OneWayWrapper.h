#pragma once
// A handle that never keeps its object alive: the object's owner invalidates
// every copy at once when the object dies. Users look at the object only
// through Lock(), which holds the shared lock so that the owner cannot
// invalidate (and destroy) the object meanwhile.
#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <utility>

namespace NsOvrin {

class CSRWLock {
 public:
  void LockShared() { m_.lock_shared(); }
  void UnlockShared() { m_.unlock_shared(); }
  void LockExclusive() { m_.lock(); }
  void UnlockExclusive() { m_.unlock(); }
  std::shared_mutex& Native() { return m_; }

 private:
  std::shared_mutex m_;
};

template <typename T>
class OneWayWrapper {
 public:
  struct THolder {
    // Written only by the owner under the exclusive lock; atomic so that a
    // validity test needs no lock.
    std::atomic<T*> ptr{nullptr};
  };

  // The object seen under the handle's shared lock; empty for an invalid handle.
  class Locked {
   public:
    Locked() = default;
    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    T& operator*() const { return *ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }

   private:
    friend class OneWayWrapper;
    std::shared_ptr<CSRWLock> lock_;  // keeps the lock alive while held
    std::shared_lock<std::shared_mutex> guard_;
    T* ptr_ = nullptr;
  };

  OneWayWrapper() = default;

  // An owning handle: its reset invalidates every copy.
  explicit OneWayWrapper(T* object)
      : owner_(true),
        cell_(std::make_shared<THolder>()),
        lock_(std::make_shared<CSRWLock>()) {
    cell_->ptr.store(object, std::memory_order_release);
  }

  OneWayWrapper(const OneWayWrapper& other) { CopyFrom(other); }

  // Moving never passes on the right to invalidate.
  OneWayWrapper(OneWayWrapper&& other) noexcept { MoveFrom(other); }

  OneWayWrapper& operator=(const OneWayWrapper& other) {
    if (this != &other) {
      OneWayWrapper copy(other);
      Reset();
      cell_ = std::move(copy.cell_);
      lock_ = std::move(copy.lock_);
    }
    return *this;
  }

  // Move assignment takes over the owner flag as well.
  OneWayWrapper& operator=(OneWayWrapper&& other) noexcept {
    MoveAssign(other);
    return *this;
  }

  ~OneWayWrapper() { Reset(); }

  void MoveFrom(OneWayWrapper& other) noexcept {
    cell_ = std::move(other.cell_);
    lock_ = std::move(other.lock_);
    other.owner_ = false;
    owner_ = false;
  }

  void MoveAssign(OneWayWrapper& other) noexcept {
    if (this == &other) return;
    Reset();
    owner_ = other.owner_;
    cell_ = std::move(other.cell_);
    lock_ = std::move(other.lock_);
    other.owner_ = false;
  }

  void Reset() {
    // Only the owner's reset is seen through other handles; dropping a copy
    // changes nothing they share and needs no lock.
    if (lock_ && owner_) {
      std::unique_lock guard(lock_->Native());
      if (cell_) cell_->ptr.store(nullptr, std::memory_order_release);
      cell_.reset();
      owner_ = false;
    } else {
      cell_.reset();
      owner_ = false;
    }
    lock_.reset();
  }

  Locked Lock() const {
    Locked l;
    if (!lock_) return l;
    l.lock_ = lock_;
    l.guard_ = std::shared_lock(lock_->Native());
    l.ptr_ = cell_ ? cell_->ptr.load(std::memory_order_acquire) : nullptr;
    return l;
  }

  // A snapshot, as good as one taken under the lock once it is let go.
  bool IsValid() const { return cell_ && cell_->ptr.load(std::memory_order_acquire) != nullptr; }
  bool IsEmpty() const { return !cell_; }
  bool IsOwner() const { return owner_; }

  // The pointer without the lock: only for a holder that knows the owner
  // cannot invalidate meanwhile.
  T* GetUnlocked() const { return cell_ ? cell_->ptr.load(std::memory_order_acquire) : nullptr; }

  // Two handles to one object share their cell.
  bool SameObject(const OneWayWrapper& other) const { return cell_ && cell_ == other.cell_; }

 private:
  void CopyFrom(const OneWayWrapper& other) {
    if (!other.lock_) return;
    std::shared_lock guard(other.lock_->Native());
    cell_ = other.cell_;
    lock_ = other.lock_;
  }

  bool owner_ = false;
  std::shared_ptr<THolder> cell_;
  std::shared_ptr<CSRWLock> lock_;
};

}  // namespace NsOvrin
