#pragma once
// Process-wide settings of the page editor. Plain values: they are written
// and read on the user-interface thread only.
namespace NsOvrin {

// True while the editor is in online mode; the element hosts read it.
extern bool HostOnlineFlag;
// While set, hosts of kinds with an address draw an address label.
extern bool ShowIoAddr;
// Logical pixels per inch of the top-level window divided by 96.
extern float DpiScale;

}  // namespace NsOvrin
