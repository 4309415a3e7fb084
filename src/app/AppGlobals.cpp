#include "app/AppGlobals.h"

#include "app/QlEElemFact.h"

namespace NsOvrin {

uint32_t CurrentToolId = kToolPointer;
QPointer<QWidget> ElementToolbar;
std::function<void()>* PaneChangeCallback = nullptr;

}  // namespace NsOvrin
