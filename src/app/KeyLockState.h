#pragma once
// The keyboard's lock states (Caps Lock, Num Lock, Scroll Lock) as the
// display server reports them. On X11 they come from the XKB indicators;
// where the server cannot be asked (the offscreen platform, Wayland, a build
// without the X11 headers) there is no answer and the status bar shows the
// locks off.
#include <optional>

namespace NsOvrin {

struct KeyLocks {
  bool caps = false;
  bool num = false;
  bool scroll = false;

  bool operator==(const KeyLocks&) const = default;
};

// Asks the display server now; nullopt when it cannot tell. User-interface
// thread only.
std::optional<KeyLocks> QueryKeyLocks();

}  // namespace NsOvrin
