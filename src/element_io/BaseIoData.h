#pragma once
// The visibility settings every element binding starts with. They are
// stored, bound and checked; nothing evaluates them, elements are always
// drawn.
#include <string>

namespace NsOvrin::NsQlElemIo {

struct BaseIoData {
  bool enableVisib = false;
  // Shown while the bit is ON when set, while it is OFF otherwise.
  bool showWhenTrue = false;
  // "node.address" of the controlling bit.
  std::string addressForVisib;
};

}  // namespace NsOvrin::NsQlElemIo
