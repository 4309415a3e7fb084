#pragma once
// One element of a page: its type code, its drawable record and its IO
// binding, shared with the element's host in the editor.
#include <memory>

#include "QlUiElem/QlUiElem.h"
#include "QlUiElem/QlUiElemDef.h"

namespace NsOvrin::NsQlElemIo {
class QlIo;
}

namespace NsOvrin::NsQlUiElem {

struct QlElemData {
  QlElemType type = kElemNone;
  // Of the classes the type code names.
  std::shared_ptr<QlUiElem> ui;
  std::shared_ptr<NsQlElemIo::QlIo> io;
};

}  // namespace NsOvrin::NsQlUiElem
