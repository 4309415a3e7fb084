#include "editor/UiElemClipboard.h"

namespace NsOvrin::NsUiD2ElemEditor {

UiElemClipboard& UiElemClipboard::Instance() {
  // Never destroyed: the wrappers it holds reach registries and the node
  // database, which may be gone by the time static objects are destroyed.
  static UiElemClipboard* const clipboard = new UiElemClipboard();
  return *clipboard;
}

}  // namespace NsOvrin::NsUiD2ElemEditor
