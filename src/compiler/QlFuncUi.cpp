#include "compiler/QlFuncUi.h"

#include <atomic>

namespace NsOvrin::NsQlCompiler {
namespace {

std::atomic<QlFuncUi*> installedUi{nullptr};

}  // namespace

void SetFuncUi(QlFuncUi* ui) { installedUi.store(ui); }

QlFuncUi* GetFuncUi() { return installedUi.load(); }

}  // namespace NsOvrin::NsQlCompiler
