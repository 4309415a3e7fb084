#pragma once
// The interface of an in-place cell editor: a window that a grid shows over
// a cell, pre-filled with the cell's text, and that hands accepted text on
// through its hooks.
#include <functional>
#include <string>

#include "wui/WRect.h"

class QWidget;

namespace NsOvrin::NsWui {

class RtEditorBase {
 public:
  // (text at edit start, new text, reason out) -> accepted. Read only by
  // the confirm editor.
  using Validator = std::function<bool(const std::string&, const std::string&, std::string&)>;
  // The user's hook; it may rewrite the text before the commit writes it.
  using ChangeHook = std::function<void(std::string&)>;
  // Set by the grid when an edit begins: writes the text into the cell.
  using CommitHook = std::function<void(std::string&)>;
  // Set by the factory that made the editor: the editor is closing.
  using CloseHook = std::function<void(RtEditorBase*)>;

  virtual ~RtEditorBase() = default;

  // 0 without a window.
  virtual int GetCtrlId() const = 0;
  // Nothing without an owner (or without a window).
  virtual void Show(QWidget* owner, const WRect& cell, const std::string& text) = 0;
  virtual void Hide() = 0;
  virtual void DestroyWnd() = 0;
  // The window shown over the cell; null without one.
  virtual QWidget* GetWnd() const { return nullptr; }

  Validator validator;
  ChangeHook changeHook;
  CommitHook commitHook;
  CloseHook closeHook;

 protected:
  // Passes a text on to the change hook and then to the commit hook. Each
  // runs from a copy, so a hook that ends the edit (and with it clears or
  // replaces hooks) never runs from a destroyed function object.
  void Commit(std::string& text) {
    if (const ChangeHook change = changeHook) change(text);
    if (const CommitHook commit = commitHook) commit(text);
  }
  void Close() {
    if (const CloseHook close = closeHook) close(this);
  }
};

}  // namespace NsOvrin::NsWui
