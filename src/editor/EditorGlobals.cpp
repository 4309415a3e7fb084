#include "editor/EditorGlobals.h"

namespace NsOvrin {

bool HostOnlineFlag = false;
bool ShowIoAddr = true;
float DpiScale = 1.0f;

}  // namespace NsOvrin
