#pragma once
// What the property page tests share: a node database with one Modbus TCP
// device "PLC1" (coils 0x0-0x15, holding registers 4x0-4x99, read-only
// input registers 3x0-3x9), selections of real element hosts, the pane's
// change callback as a counter, the scripted user-interface services, and
// typing into a page's confirm edits.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "dialogs/ProtDialog.h"
#include "dialogs/UiElemProtEditor.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEHostElem.h"
#include "editor/UiElem.h"
#include "support/ScriptedUiServices.h"
#include "termination/NodeDbFixture.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"

namespace NsOvrin::Testing {

using NsUiD2ElemEditor::UiElem;
using NsWui::UiCall;

class ProtPageFixture : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    HostOnlineFlag = false;
    ShowIoAddr = true;
    node_ = AddTcpNode(AddEthernet("ETH1"), "PLC1");
    ASSERT_NE(node_, nullptr);
    AddBlock(*node_, "0x[0~15]", "coils");
    AddBlock(*node_, "4x[0~99]", "words");
    AddBlock(*node_, "3x[0~9]", "inputs");
  }
  void TearDown() override {
    node_.reset();
    NodeDbFixture::TearDown();
  }

  // count wrappers around new hosts made by make; the wrapper at anchored
  // is flagged (none for -1).
  template <class THost>
  static std::vector<std::shared_ptr<UiElem>> MakeSelection(
      int count, int anchored, const std::function<std::shared_ptr<THost>()>& make) {
    std::vector<std::shared_ptr<UiElem>> elems;
    for (int i = 0; i < count; ++i) {
      auto elem = std::make_shared<UiElem>(make());
      elem->anchored = i == anchored;
      elems.push_back(elem);
    }
    return elems;
  }

  template <class THost>
  static std::shared_ptr<THost> HostOf(const std::shared_ptr<UiElem>& elem) {
    return std::dynamic_pointer_cast<THost>(elem->host);
  }

  // Shows the page as the pane would and hands it the change callback.
  void ShowPage(ProtDialog& page, UiElemProtEditor& editor) {
    editor.changeCallback = &callback_;
    page.resize(ProtDialog::kPageWidth + 30, 900);
    page.show();
    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
  }

  // Focuses the edit, replaces its text by typing and presses Enter.
  static void TypeAndConfirm(NsWui::CConfirmEditCtrl* edit, const std::string& text) {
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->isEnabled());
    edit->setFocus();
    edit->selectAll();
    if (text.empty()) {
      QTest::keyClick(edit, Qt::Key_Backspace);
    } else {
      QTest::keyClicks(edit, QString::fromStdString(text));
    }
    QTest::keyClick(edit, Qt::Key_Return);
  }

  // A click on the box or radio itself, not on the empty room beside it.
  static void Click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }

  static std::string TextOf(const QWidget* page, int id) {
    const auto* edit = NsWui::DlgItem<QLineEdit>(page, id);
    return edit ? edit->text().toStdString() : "<missing>";
  }

  std::vector<UiCall> Tips() const { return ui_.CallsOf(UiCall::Kind::BalloonTip); }
  // The one tip shown since the last call, or "" when none or several.
  std::string TakeTip() {
    const auto tips = Tips();
    ui_.calls.clear();
    if (tips.size() != 1) return tips.empty() ? "" : "<several tips>";
    EXPECT_EQ(tips[0].caption, "提示");
    return tips[0].text;
  }

  NsWui::ScriptedUiServices ui_;
  int changes_ = 0;
  std::function<void()> callback_ = [this] { ++changes_; };
  std::shared_ptr<NsTermination::Node> node_;
};

}  // namespace NsOvrin::Testing
