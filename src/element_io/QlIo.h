#pragma once
// Base of every element's IO binding: the binding of the visibility address
// and its check. A binding that holds a read task counts as one of the
// task's subscribers for as long as it holds it; a task without subscribers
// is not polled.
#include <cstdint>
#include <memory>
#include <string>

#include "element_io/BaseIoData.h"
#include "term_data/TermAddr.h"
#include "termination/Task.h"

namespace NsOvrin::NsQlElemIo {

using NsTermination::TaskReadData;
using NsTermination::TermAddr;

class QlIo {
 public:
  QlIo() = default;
  // A copy must count its read-task references: CopyBase does.
  QlIo(const QlIo&) = delete;
  QlIo& operator=(const QlIo&) = delete;
  // Releases the visibility read task.
  virtual ~QlIo();

  // (Re)binds every address of the element; true when all bound.
  virtual bool Bind() = 0;
  // Judges the state the last Bind left. The first failure writes its message
  // (when message is given) and gives false; success leaves message as it is.
  virtual bool Check(std::string* message) = 0;
  // Null is allowed; every user copes with it.
  virtual const BaseIoData* GetBaseIoDataConst() const = 0;
  virtual BaseIoData* GetBaseIoData() = 0;

  // The last step of every Bind.
  bool BindVisibility();
  // The last step of every Check (the first of the IO list's).
  bool CheckVisibility(std::string* message) const;
  // Empty without settings.
  std::string GetVisibAddress() const;

  const std::shared_ptr<TaskReadData>& GetVisibTask() const { return visibTask_; }
  uint16_t GetVisibOffset() const { return visibOffset_; }
  const TermAddr& GetVisibAddr() const { return visibAddr_; }

 protected:
  // Takes the visibility binding of other, with a counted read-task
  // reference of its own; the one held before is released.
  void CopyBase(const QlIo& other);

 private:
  void ReleaseVisibility();

  std::shared_ptr<TaskReadData> visibTask_;
  // Bit position inside the task's cache block.
  uint16_t visibOffset_ = 0;
  TermAddr visibAddr_;
};

}  // namespace NsOvrin::NsQlElemIo
