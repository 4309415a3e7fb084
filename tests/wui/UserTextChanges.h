#pragma once
// Every way a user changes the text of a focused line edit without typing a
// character: keys that erase, the context menu's Paste, Cut, Delete, Undo
// and Redo, the shortcut paste, a middle click pasting the selection, a drop,
// and an input method composing, committing or deleting. Each change runs on
// an edit that is idle after a value was typed and confirmed ("1005" unless
// the change needs another history), and makes a text that a check of
// "whole numbers from 60 to 60000" accepts (good) or refuses (bad); the bad
// ones inserting text insert badInsert, which the caller picks so that its
// own check refuses it wherever it lands.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "wui/InputMethodTyping.h"

namespace NsOvrin::Testing {

struct UserTextChange {
  std::string name;
  // Typed before the value is confirmed; the edit is focused, idle.
  std::function<void(QLineEdit&)> prepare;
  // The change itself, on the idle edit after the confirmation.
  std::function<void(QLineEdit&)> change;
  // Pastes the X11 primary selection, which not every platform has.
  bool needsSelectionClipboard = false;
};

// How an edit started by such a change ends: the focus leaving, Cancel, a
// confirmation the check refuses (then the focus leaving), or one it accepts.
enum class ChangeOutcome { kLeave, kCancel, kRefused, kAccepted };

inline constexpr ChangeOutcome kChangeOutcomes[] = {
    ChangeOutcome::kLeave, ChangeOutcome::kCancel, ChangeOutcome::kRefused,
    ChangeOutcome::kAccepted};

inline const char* ChangeOutcomeName(ChangeOutcome outcome) {
  switch (outcome) {
    case ChangeOutcome::kLeave: return "focus leaves";
    case ChangeOutcome::kCancel: return "Cancel";
    case ChangeOutcome::kRefused: return "refused, then focus leaves";
    case ChangeOutcome::kAccepted: return "accepted";
  }
  return "";
}

// The item of the edit's own context menu, named by its untranslated text,
// triggered as the menu does.
inline void TriggerContextAction(QLineEdit& edit, const char* item) {
  std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  const QString text = QCoreApplication::translate("QLineEdit", item);
  QAction* found = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->text().section(QLatin1Char('\t'), 0, 0) == text) found = action;
  }
  ASSERT_NE(found, nullptr) << item;
  ASSERT_TRUE(found->isEnabled()) << item;
  found->trigger();
}

// Where the cursor shows, after the end of the text.
inline QPoint EndOfText(QLineEdit& edit) {
  edit.end(false);
  return edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
}

// Dragged in from elsewhere and dropped over the end of the text.
inline void DropText(QLineEdit& edit, const QString& text) {
  QMimeData mime;
  mime.setText(text);
  const QPoint at = EndOfText(edit);
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&edit, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&edit, &move);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&edit, &drop);
}

// An input method deleting the count characters before the cursor: an
// empty commit that replaces them.
inline void DeleteThroughInputMethod(int count) {
  QInputMethodEvent event;
  event.setCommitString(QString(), -count, count);
  SendToFocusObject(event);
}

inline void TypeKeys(QLineEdit& edit, std::initializer_list<Qt::Key> keys) {
  for (const Qt::Key key : keys) QTest::keyClick(&edit, key);
}

inline std::vector<UserTextChange> UserTextChanges(bool good, const QString& badInsert) {
  const QString insert = good ? QStringLiteral("0") : badInsert;
  const auto typed = [](const char* text) {
    return [text](QLineEdit& edit) {
      edit.selectAll();
      QTest::keyClicks(&edit, QString::fromLatin1(text));
    };
  };
  std::vector<UserTextChange> changes = {
      {"Home and Delete after a confirm", typed("1005"),
       [good](QLineEdit& edit) {
         // "005" or "105"
         TypeKeys(edit, {Qt::Key_Home});
         if (good) TypeKeys(edit, {Qt::Key_Right});
         TypeKeys(edit, {Qt::Key_Delete});
       }},
      {"Backspace", typed("1005"),
       [good](QLineEdit& edit) {
         // "100" or "10"
         TypeKeys(edit, {Qt::Key_End, Qt::Key_Backspace});
         if (!good) TypeKeys(edit, {Qt::Key_Backspace});
       }},
      {"Ctrl+V", typed("1005"),
       [insert](QLineEdit& edit) {
         QGuiApplication::clipboard()->setText(insert);
         edit.end(false);
         QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
       }},
      {"context-menu Paste", typed("1005"),
       [insert](QLineEdit& edit) {
         QGuiApplication::clipboard()->setText(insert);
         edit.end(false);
         TriggerContextAction(edit, "&Paste");
       }},
      {"context-menu Cut", typed("1005"),
       [good](QLineEdit& edit) {
         // "100" or ""
         if (good) {
           edit.setSelection(3, 1);
         } else {
           edit.selectAll();
         }
         TriggerContextAction(edit, "Cu&t");
       }},
      {"context-menu Delete", typed("1005"),
       [good](QLineEdit& edit) {
         if (good) {
           edit.setSelection(3, 1);
         } else {
           edit.selectAll();
         }
         TriggerContextAction(edit, "Delete");
       }},
      {"context-menu Undo",
       // Undone: the "7" typed last ("100"), or the "1" typed in front
       // after the first digit was deleted ("005").
       [good](QLineEdit& edit) {
         edit.selectAll();
         QTest::keyClicks(&edit, QStringLiteral("1005"));
         if (good) {
           TypeKeys(edit, {Qt::Key_End, Qt::Key_Backspace});
           QTest::keyClicks(&edit, QStringLiteral("7"));
         } else {
           TypeKeys(edit, {Qt::Key_Home, Qt::Key_Delete});
           QTest::keyClicks(&edit, QStringLiteral("1"));
         }
       },
       [](QLineEdit& edit) { TriggerContextAction(edit, "&Undo"); }},
      {"context-menu Redo",
       // Redone: the last digit erased ("100") or the first deleted ("005").
       [good](QLineEdit& edit) {
         edit.selectAll();
         QTest::keyClicks(&edit, QStringLiteral("1005"));
         if (good) {
           TypeKeys(edit, {Qt::Key_End, Qt::Key_Backspace});
         } else {
           TypeKeys(edit, {Qt::Key_Home, Qt::Key_Delete});
         }
         edit.undo();
       },
       [](QLineEdit& edit) { TriggerContextAction(edit, "&Redo"); }},
      {"middle-click paste of the selection", typed("1005"),
       [insert](QLineEdit& edit) {
         QGuiApplication::clipboard()->setText(insert, QClipboard::Selection);
         QTest::mouseClick(&edit, Qt::MiddleButton, {}, EndOfText(edit));
       },
       true},
      {"drag and drop", typed("1005"), [insert](QLineEdit& edit) { DropText(edit, insert); }},
      {"input method composing over the selection", typed("1005"),
       [good](QLineEdit& edit) {
         // Committed "2000", or given up, leaving "".
         edit.selectAll();
         ComposeThroughInputMethod(QStringLiteral("2000"));
         if (good) {
           CommitThroughInputMethod(QStringLiteral("2000"));
         } else {
           ComposeThroughInputMethod(QString());
         }
       }},
      {"input method commit", typed("1005"),
       [insert](QLineEdit& edit) {
         edit.end(false);
         CommitThroughInputMethod(insert);
       }},
      {"input method deleting", typed("1005"),
       [good](QLineEdit& edit) {
         // "100" or "10"
         edit.end(false);
         DeleteThroughInputMethod(good ? 1 : 2);
       }},
  };
  return changes;
}

}  // namespace NsOvrin::Testing
