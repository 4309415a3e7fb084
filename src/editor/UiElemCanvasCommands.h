#pragma once
// Command ids of the canvas commands, their status-bar prompts and
// tooltips, and the rule that keeps pasted elements on the page. The
// commands themselves are members of UiElemCanvas.
#include <memory>
#include <vector>

#include "dx2d/D2Types.h"
#include "editor/UiElem.h"

namespace NsOvrin::NsUiD2ElemEditor {

inline constexpr int kCmdAlignLeft = 32807;
inline constexpr int kCmdAlignRight = 32808;
inline constexpr int kCmdAlignTop = 32809;
inline constexpr int kCmdAlignBottom = 32810;
inline constexpr int kCmdDistributeHorz = 32811;
inline constexpr int kCmdDistributeVert = 32812;
inline constexpr int kCmdSameWidth = 32813;
inline constexpr int kCmdSameHeight = 32814;
inline constexpr int kCmdSameSize = 32815;
inline constexpr int kCmdMoveToBottom = 32816;
inline constexpr int kCmdMoveToTop = 32817;
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_PASTE = 57637;

// "prompt\ntooltip" of a canvas command; null for another id.
const char* CanvasCommandText(int id);

// Moves the group as a whole so that it does not stick out on the right or
// bottom of the page rectangle, without pushing its left or top edge off the
// page. A group that only sticks out on the left or top stays where it is.
void KeepElemsInsidePage(const D2D_RECT_F& pageRect,
                         const std::vector<std::shared_ptr<UiElem>>& group);

}  // namespace NsOvrin::NsUiD2ElemEditor
