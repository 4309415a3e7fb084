#pragma once
// The instruction list of one owner (a multi-function button, a trigger of
// a bit variable event): the lines as stored and the objects compiled from
// them.
#include <memory>
#include <string>
#include <vector>

#include "compiler/QlFuncBase.h"

namespace NsOvrin::NsQlCompiler {

class QlFuncList {
 public:
  // Rebuilds the functions: every non-empty line made and prepared, in list
  // order, kept also when it is not ready. An empty line gives no object.
  // Always true.
  bool Compile();

  std::vector<std::string> sourceLines;
  std::vector<std::shared_ptr<QlFuncBase>> functions;
};

}  // namespace NsOvrin::NsQlCompiler
