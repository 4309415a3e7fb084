#pragma once
// Process-wide state of the shell that the page views read and the main
// frame writes. Plain values: user-interface thread only.
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace NsOvrin {

// Command id of the armed element tool (QlEElemFact.h names them); the
// pointer tool arms nothing.
extern uint32_t CurrentToolId;
// The main frame's element toolbar; empty until the frame has made it.
extern QPointer<QWidget> ElementToolbar;
// The property pane's change callback, set by the main frame while it is the
// application's main window and null otherwise. The active page view puts
// its own function in it and empties it when it is deactivated.
extern std::function<void()>* PaneChangeCallback;

}  // namespace NsOvrin
