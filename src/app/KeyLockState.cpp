#include "app/KeyLockState.h"

#include <QGuiApplication>

#if defined(OVRIN_HAVE_XKB) && QT_CONFIG(xcb)
// Xlib's macros (None, Bool, KeyPress...) clash with Qt's names: it comes
// last and nothing of Qt is used below it.
#include <X11/XKBlib.h>
#define OVRIN_KEY_LOCKS_FROM_XKB 1
#endif

namespace NsOvrin {

#ifdef OVRIN_KEY_LOCKS_FROM_XKB
namespace {

// The indicator's index in the keyboard's indicator map; -1 when the
// keymap has no indicator of that name.
int IndicatorIndex(Display* display, const char* name) {
  const Atom atom = XInternAtom(display, name, True);
  if (atom == 0) return -1;
  int index = -1;
  if (!XkbGetNamedIndicator(display, atom, &index, nullptr, nullptr, nullptr)) return -1;
  return index >= 0 && index < 32 ? index : -1;
}

struct IndicatorIndices {
  Display* display = nullptr;
  int caps = -1;
  int num = -1;
  int scroll = -1;
};

}  // namespace

std::optional<KeyLocks> QueryKeyLocks() {
  auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                 : nullptr;
  Display* display = x11 != nullptr ? x11->display() : nullptr;
  if (display == nullptr) return std::nullopt;
  // The names are looked up once per display; the states in one request.
  static IndicatorIndices indices;
  if (indices.display != display) {
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, nullptr, nullptr, nullptr, &major, &minor)) return std::nullopt;
    indices.display = display;
    indices.caps = IndicatorIndex(display, "Caps Lock");
    indices.num = IndicatorIndex(display, "Num Lock");
    indices.scroll = IndicatorIndex(display, "Scroll Lock");
  }
  unsigned int state = 0;
  if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != Success) return std::nullopt;
  const auto lit = [state](int index) { return index >= 0 && (state & (1u << index)) != 0; };
  return KeyLocks{lit(indices.caps), lit(indices.num), lit(indices.scroll)};
}

#else

std::optional<KeyLocks> QueryKeyLocks() { return std::nullopt; }

#endif

}  // namespace NsOvrin
