#pragma once
// Command ids of the shell's menus, toolbars and accelerators, and the
// texts the string table gives them. A command id names one QAction of the
// main frame; handlers and update rules are looked up by id.
#include <cstdint>
#include <string>

#include "app/QlEElemFact.h"
#include "editor/UiElemCanvasCommands.h"

namespace NsOvrin {

// File menu.
inline constexpr int ID_FILE_NEW = 57600;  // a new page
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_SAVE_AS = 57604;
inline constexpr int ID_FILE_PRINT_SETUP = 57606;
inline constexpr int ID_FILE_PRINT = 57607;
inline constexpr int ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr int ID_NEW_PROJECT = 32844;
inline constexpr int ID_CLOSE_PROJECT = 32845;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;

// Edit menu; the clipboard commands are the page view's.
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_EDIT_COPY = NsUiD2ElemEditor::ID_EDIT_COPY;
inline constexpr int ID_EDIT_CUT = NsUiD2ElemEditor::ID_EDIT_CUT;
inline constexpr int ID_EDIT_PASTE = NsUiD2ElemEditor::ID_EDIT_PASTE;

// View, window and pane commands.
inline constexpr int ID_VIEW_TOOLBAR = 59392;  // also the standard toolbar's id
inline constexpr int ID_VIEW_STATUS_BAR = 59393;
inline constexpr int ID_VIEW_CUSTOMIZE = 126;
inline constexpr int ID_WINDOW_MANAGER = 131;
inline constexpr int ID_WINDOW_NEW = 57648;
inline constexpr int ID_WINDOW_SPLIT = 57653;
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;
inline constexpr int ID_SHOW_IO_ADDR = 32843;

// Build, run.
inline constexpr int ID_CHECK_ERRORS = 32849;
inline constexpr int ID_CONNECT_PLC = 32839;
inline constexpr int ID_DOWNLOAD = 32841;

// Element tools: the pointer, then one per element kind.
inline constexpr int ID_TOOL_POINTER = static_cast<int>(kToolPointer);
inline constexpr int ID_TOOL_FIRST_ELEM = static_cast<int>(kToolFirstElem);
inline constexpr int ID_TOOL_LAST_ELEM = static_cast<int>(kToolLastElem);

// Align commands, handled by the page view.
inline constexpr int ID_ALIGN_FIRST = NsUiD2ElemEditor::kCmdAlignLeft;
inline constexpr int ID_ALIGN_LAST = NsUiD2ElemEditor::kCmdMoveToTop;

// Bars and panes.
inline constexpr int IDW_MENUBAR = 59398;
inline constexpr int IDW_STATUS_BAR = 59393;
inline constexpr int IDW_STANDARD_TOOLBAR = 59392;
inline constexpr int IDR_ELEMENT_TOOLBAR = 315;
inline constexpr int IDR_ALIGN_TOOLBAR = 317;
inline constexpr int IDR_RUN_TOOLBAR = 341;
inline constexpr int IDW_USER_TOOLBAR_FIRST = 59432;
inline constexpr int IDW_USER_TOOLBAR_LAST = 59441;
inline constexpr int ID_VIEW_FILEVIEW = 133;
inline constexpr int ID_VIEW_OUTPUTWND = 149;
inline constexpr int ID_VIEW_PROPERTIESWND = 150;

// Status bar indicators.
inline constexpr int ID_INDICATOR_CAPS = 59137;
inline constexpr int ID_INDICATOR_NUM = 59138;
inline constexpr int ID_INDICATOR_SCRL = 59139;

// The string-table entry of a command: the status-bar prompt, then after
// "\n" the tooltip. Null for an id without one.
const char* GetCommandPrompt(int id);
// The prompt's two parts; empty without a prompt. A prompt without "\n"
// serves as its own tooltip.
std::string GetCommandStatusTip(int id);
std::string GetCommandToolTip(int id);

}  // namespace NsOvrin
