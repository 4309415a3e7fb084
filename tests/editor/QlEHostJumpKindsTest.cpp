// The hosts of the page-jump button, the multi-function button and the
// multi-state text: defaults, geometry, checks, labels, live values, state
// lists and clones.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "HostLabel.h"
#include "PagesFixture.h"
#include "dx2d/RecordingDrawContext.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEHostMultFuncBtn.h"
#include "editor/QlEHostMultStateText.h"
#include "editor/QlEHostPageTo.h"

namespace NsOvrin::NsQlElemEditor {
namespace {

using NsDx2d::DrawCall;
using NsDx2d::DrawOp;
using NsDx2d::RecordingDrawContext;
using NsQlElemIo::QlMultStateTextIo;
using NsQlUiElem::MultStateItem;
using NsQlUiElem::QlUiButton;
using NsQlUiElem::QlUiMultStateText;
using Testing::DrawnLabel;

using JumpKinds = Testing::PagesFixture;

void SetVisibility(QlEHostElem& host, const std::string& address) {
  NsQlElemIo::BaseIoData& visib = *host.GetIo()->GetBaseIoData();
  visib.enableVisib = true;
  visib.addressForVisib = address;
}

// The texts the host draws, in order.
std::vector<std::string> DrawnTexts(QlEHostElem& host) {
  RecordingDrawContext d2;
  host.Draw(d2.Info());
  std::vector<std::string> texts;
  for (const DrawCall& call : d2.target.CallsOf(DrawOp::DrawText)) texts.push_back(call.text);
  return texts;
}

TEST_F(JumpKinds, NewElementsAtAPoint) {
  const D2D_POINT_2F p{100, 50};
  QlEHostPageTo pageTo(p);
  QlEHostMultFuncBtn multFunc(p);
  QlEHostMultStateText multState(p);

  EXPECT_EQ(pageTo.GetType(), 5);
  EXPECT_EQ(multState.GetType(), 10);
  EXPECT_EQ(multFunc.GetType(), 13);

  for (QlEHostElem* host : std::vector<QlEHostElem*>{&pageTo, &multFunc}) {
    SCOPED_TRACE(host->GetType());
    const auto button = std::dynamic_pointer_cast<QlUiButton>(host->GetUi());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(host->GetRect(), (D2D_RECT_F{100, 50, 195, 86}));
    EXPECT_EQ(button->painter.rect, button->data.rect);
    EXPECT_FLOAT_EQ(button->painter.cornerRadius, 4.0f);
    EXPECT_EQ(button->data.borderStyle, NsQlUiElem::kButtonRaised);
    EXPECT_EQ(button->painter.style, 1);
    EXPECT_FALSE(button->inError) << button->errorText;
    const NsQlElemIo::BaseIoData& visib = *host->GetIo()->GetBaseIoData();
    EXPECT_FALSE(visib.enableVisib);
    EXPECT_FALSE(visib.showWhenTrue);
    EXPECT_TRUE(visib.addressForVisib.empty());
  }
  EXPECT_EQ(pageTo._qlUi->data.text, "页面跳转");
  EXPECT_EQ(pageTo._qlIo->jumpType, NsQlElemIo::kPageJumpHome);
  EXPECT_TRUE(pageTo._qlIo->targetPage.empty());
  EXPECT_EQ(multFunc._qlUi->data.text, "功能按钮");
  EXPECT_TRUE(multFunc._qlIo->funcList.sourceLines.empty());
  EXPECT_TRUE(multFunc._qlIo->funcList.functions.empty());

  EXPECT_EQ(multState.GetRect(), (D2D_RECT_F{100, 50, 160, 76}));
  EXPECT_EQ(multState._qlUi->currentState, 0);
  ASSERT_EQ(multState._qlUi->states.size(), 1u);
  const MultStateItem& first = multState._qlUi->states[0];
  EXPECT_EQ(first.text, "文字1");
  EXPECT_EQ(first.textColour, 0x000000u);
  EXPECT_EQ(first.fontSize, 100);
  EXPECT_EQ(first.bkColour, 0xFFFFFFu);
  EXPECT_FLOAT_EQ(first.bkOpacity, 0.0f);
  EXPECT_EQ(first.horizontalAlignment, 0);
  EXPECT_EQ(first.verticalAlignment, 0);
  EXPECT_EQ(multState._qlIo->stateValues, std::vector<uint32_t>{0});
  EXPECT_EQ(multState._qlIo->valueKind, NsQlUiElem::kValueInt16);
  EXPECT_TRUE(multState._qlUi->inError) << "no read address yet";
  EXPECT_EQ(multState._qlUi->errorText, "读地址不能为空!");
  EXPECT_EQ(DrawnTexts(multState), std::vector<std::string>{"文字1"});
}

TEST_F(JumpKinds, SetRectKeepsTheDependentGeometryInStep) {
  const D2D_RECT_F r{20, 20, 120, 60};
  QlEHostMultStateText multState(D2D_POINT_2F{100, 50});
  multState.SetRect(r);
  EXPECT_EQ(multState.GetRect(), r);

  QlEHostPageTo pageTo(D2D_POINT_2F{100, 50});
  QlEHostMultFuncBtn multFunc(D2D_POINT_2F{100, 50});
  for (QlEHostElem* host : std::vector<QlEHostElem*>{&pageTo, &multFunc}) {
    SCOPED_TRACE(host->GetType());
    const auto button = std::dynamic_pointer_cast<QlUiButton>(host->GetUi());
    RecordingDrawContext before;
    host->Draw(before.Info());  // the bevel is built for the old place
    button->painter.cornerRadius = 9.0f;
    host->SetRect(r);
    EXPECT_EQ(host->GetRect(), r);
    EXPECT_EQ(button->painter.rect, r);
    EXPECT_FLOAT_EQ(button->painter.cornerRadius, 4.0f);
    RecordingDrawContext after;
    host->Draw(after.Info());
    const auto bevel = after.target.CallsOf(DrawOp::DrawGeometry);
    ASSERT_FALSE(bevel.empty());
    for (const DrawCall& call : bevel) {
      ASSERT_FALSE(call.figures.empty());
      const D2D_POINT_2F start = call.figures.front().start;
      EXPECT_TRUE(start.x > r.left && start.x < r.right && start.y > r.top && start.y < r.bottom)
          << call;
    }
  }
}

TEST_F(JumpKinds, PageJumpChecksItsTargetAgainstTheProjectsPages) {
  struct Case {
    NsQlElemIo::PageJumpType type;
    std::string target;
    std::string message;  // empty: passes
  };
  const Case cases[] = {
      {NsQlElemIo::kPageJumpNamed, "页面2", ""},
      {NsQlElemIo::kPageJumpNamed, "", "跳转页面不能为空!"},
      {NsQlElemIo::kPageJumpNamed, "页面9", "跳转页面文件不存在!"},
      {NsQlElemIo::kPageJumpNamed, " 页面2", "跳转页面文件不存在!"},
      {NsQlElemIo::kPageJumpHome, "页面9", ""},
      {NsQlElemIo::kPageJumpPrevious, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    QlEHostPageTo host(D2D_POINT_2F{100, 50});
    host._qlIo->jumpType = c.type;
    host._qlIo->targetPage = c.target;
    EXPECT_TRUE(host.Revalidate()) << "binding does not look at the target";
    EXPECT_EQ(host._qlUi->inError, !c.message.empty());
    std::string message = "untouched";
    EXPECT_EQ(host.Check(&message), c.message.empty());
    EXPECT_EQ(message, c.message.empty() ? "untouched" : c.message);
    if (!c.message.empty()) {
      EXPECT_EQ(host._qlUi->errorText, c.message);
    }
  }
}

TEST_F(JumpKinds, VisibilityIsCheckedAgainstTheNodeDatabase) {
  QlEHostPageTo pageTo(D2D_POINT_2F{100, 50});
  QlEHostMultFuncBtn multFunc(D2D_POINT_2F{100, 50});
  for (QlEHostElem* host : std::vector<QlEHostElem*>{&pageTo, &multFunc}) {
    SCOPED_TRACE(host->GetType());
    const auto ui = host->GetUi();
    SetVisibility(*host, "PLC1.0x3");
    EXPECT_TRUE(host->Revalidate());
    EXPECT_FALSE(ui->inError) << ui->errorText;
    EXPECT_EQ(coils_->GetSubscriberCount(), 1u) << "the visibility bit is polled";

    SetVisibility(*host, "PLC1.4x3");
    EXPECT_TRUE(host->Revalidate());
    EXPECT_TRUE(ui->inError);
    EXPECT_EQ(ui->errorText, "控制可见性的地址不是点类型数据.");

    SetVisibility(*host, "PLC9.0x3");
    EXPECT_FALSE(host->Revalidate()) << "the bind result, not the check's";
    std::string message;
    EXPECT_FALSE(host->Check(&message));
    EXPECT_EQ(message, "控制可见性的地址异常.");
    host->GetIo()->GetBaseIoData()->enableVisib = false;
    host->Revalidate();
  }
}

TEST_F(JumpKinds, MultiStateTextChecksItsReadAddress) {
  struct Case {
    NsQlUiElem::ValueKind kind;
    std::string address;
    bool bound;
    std::string message;  // empty: passes
  };
  const Case cases[] = {
      {NsQlUiElem::kValueInt16, "PLC1.4x3", true, ""},
      {NsQlUiElem::kValueInt32, "PLC1.4x3", true, ""},
      {NsQlUiElem::kValueInt16, "", false, "读地址不能为空!"},
      {NsQlUiElem::kValueInt16, "PLC1.4x50", false, "读地址异常或者不在数据列表中."},
      {NsQlUiElem::kValueInt16, "PLC9.4x3", false, "读地址异常."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    QlEHostMultStateText host(D2D_POINT_2F{100, 50});
    host._qlIo->valueKind = c.kind;
    host._qlIo->readAddress = c.address;
    EXPECT_EQ(host.Revalidate(), c.bound);
    EXPECT_EQ(host._qlUi->inError, !c.message.empty()) << host._qlUi->errorText;
    std::string message = "untouched";
    EXPECT_EQ(host.Check(&message), c.message.empty());
    EXPECT_EQ(message, c.message.empty() ? "untouched" : c.message);
  }
}

TEST_F(JumpKinds, AddressLabels) {
  QlEHostPageTo pageTo(D2D_POINT_2F{100, 50});
  struct Case {
    NsQlElemIo::PageJumpType type;
    std::string target, label;
  };
  const Case cases[] = {
      {NsQlElemIo::kPageJumpPrevious, "页面2", "上一页"},
      {NsQlElemIo::kPageJumpHome, "页面2", "首页"},
      {NsQlElemIo::kPageJumpNamed, "页面2", "页面2"},
      {NsQlElemIo::kPageJumpNamed, "", "[]"},
      {7, "页面2", "[]"},
  };
  for (const Case& c : cases) {
    pageTo._qlIo->jumpType = c.type;
    pageTo._qlIo->targetPage = c.target;
    EXPECT_EQ(DrawnLabel(pageTo), c.label) << "jump type " << c.type;
  }

  QlEHostMultStateText multState(D2D_POINT_2F{100, 50});
  EXPECT_EQ(DrawnLabel(multState), "[]") << "no read address yet";
  multState._qlIo->readAddress = "PLC1.4x3";
  EXPECT_EQ(DrawnLabel(multState), "PLC1.4x3");

  QlEHostMultFuncBtn multFunc(D2D_POINT_2F{100, 50});
  EXPECT_EQ(DrawnLabel(multFunc), "") << "a multi-function button has no label";

  ShowIoAddr = false;
  EXPECT_EQ(DrawnLabel(pageTo), "");
  EXPECT_EQ(DrawnLabel(multState), "");
  ShowIoAddr = true;
  QlEHostPageTo unbound(pageTo._qlUi, nullptr);
  EXPECT_EQ(DrawnLabel(unbound), "") << "no binding, no label";
}

TEST_F(JumpKinds, OnlineTheMultiStateTextShowsTheStateOfTheValueRead) {
  QlEHostMultStateText host(D2D_POINT_2F{100, 50});
  host._qlIo->readAddress = "PLC1.4x3";
  ASSERT_TRUE(host.AddState("5", MultStateItem{"五"}));
  ASSERT_TRUE(host.AddState("-1", MultStateItem{"负一"}));
  ASSERT_TRUE(host.Revalidate());

  EXPECT_FALSE(host.Refresh()) << "offline nothing is read";
  HostOnlineFlag = true;
  host.OnModeChanged();
  ReplyWords({0, 0, 0, 5});
  EXPECT_TRUE(host.Refresh());
  EXPECT_EQ(host._qlUi->currentState, 1);
  // The bind wrote the address in the device's own form.
  const std::string label = host._qlIo->readAddress;
  EXPECT_EQ(label.rfind("PLC1.4x", 0), 0u);
  EXPECT_EQ(DrawnTexts(host), (std::vector<std::string>{"五", label}));
  EXPECT_FALSE(host.Refresh()) << "no new data";
  ReplyWords({0, 0, 0, 5});
  EXPECT_FALSE(host.Refresh()) << "the same value again";

  ReplyWords({0, 0, 0, 0xFFFF});
  EXPECT_TRUE(host.Refresh());
  EXPECT_EQ(host._qlUi->currentState, 2) << "-1 as a signed word";

  ReplyWords({0, 0, 0, 9});
  EXPECT_TRUE(host.Refresh());
  EXPECT_EQ(host._qlUi->currentState, -1) << "no state has the value";
  EXPECT_EQ(DrawnTexts(host), std::vector<std::string>{label}) << "only the label";

  // Entering online mode again re-arms the read.
  host.OnModeChanged();
  EXPECT_TRUE(host.Refresh());
  EXPECT_FALSE(host.Refresh());

  HostOnlineFlag = false;
  host.OnModeChanged();
  EXPECT_EQ(host._qlUi->currentState, 0) << "design mode shows state 0";
  ReplyWords({0, 0, 0, 5});
  EXPECT_FALSE(host.Refresh());
  EXPECT_EQ(host._qlUi->currentState, 0);
}

TEST_F(JumpKinds, OnlineAThirtyTwoBitMultiStateText) {
  QlEHostMultStateText host(D2D_POINT_2F{100, 50});
  host._qlIo->valueKind = NsQlUiElem::kValueUInt32;
  host._qlIo->readAddress = "PLC1.4x2";
  ASSERT_TRUE(host.AddState("3000000000", MultStateItem{"大"}));
  ASSERT_TRUE(host.Revalidate());
  HostOnlineFlag = true;
  // 3000000000 = 0xB2D05E00; a Modbus device sends the low word first.
  ReplyWords({0, 0, 0x5E00, 0xB2D0});
  ASSERT_TRUE(host.Refresh());
  EXPECT_EQ(host._qlUi->currentState, 1);
}

TEST_F(JumpKinds, PageJumpAndMultiFunctionButtonsHaveNoLiveData) {
  QlEHostPageTo pageTo(D2D_POINT_2F{100, 50});
  QlEHostMultFuncBtn multFunc(D2D_POINT_2F{100, 50});
  for (bool online : {true, false}) {
    HostOnlineFlag = online;
    for (QlEHostElem* host : std::vector<QlEHostElem*>{&pageTo, &multFunc}) {
      const auto button = std::dynamic_pointer_cast<QlUiButton>(host->GetUi());
      button->data.state = 2;
      host->OnModeChanged();
      EXPECT_FALSE(host->Refresh());
      EXPECT_EQ(button->data.state, 2) << "mode changes leave them alone";
    }
  }
}

TEST_F(JumpKinds, MissingRecordOrBindingMakesTheMultiStateTextANoOp) {
  auto record = std::make_shared<QlUiMultStateText>();
  record->states.resize(2);
  record->currentState = 1;
  auto binding = std::make_shared<QlMultStateTextIo>();
  binding->stateValues = {1, 2};
  QlEHostMultStateText noIo(record, nullptr);
  QlEHostMultStateText noUi(nullptr, binding);
  for (bool online : {true, false}) {
    HostOnlineFlag = online;
    for (QlEHostMultStateText* host : {&noIo, &noUi}) {
      host->OnModeChanged();
      EXPECT_FALSE(host->Refresh());
      EXPECT_FALSE(host->AddState("7", MultStateItem{}));
      EXPECT_FALSE(host->RemoveState("1"));
    }
  }
  EXPECT_EQ(record->currentState, 1);
  EXPECT_EQ(record->states.size(), 2u);
  EXPECT_EQ(binding->stateValues, (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(noUi.GetStateValueText(0), "1");
  EXPECT_EQ(noUi.GetStateText(0), "");
  EXPECT_EQ(noIo.GetStateValueText(0), "");
  EXPECT_EQ(noIo.GetStateText(1), "");
}

// A multi-state text of the value kind with no states.
std::unique_ptr<QlEHostMultStateText> EmptyMultState(NsQlUiElem::ValueKind kind) {
  auto host = std::make_unique<QlEHostMultStateText>(D2D_POINT_2F{100, 50});
  host->_qlUi->states.clear();
  host->_qlIo->stateValues.clear();
  host->_qlIo->valueKind = kind;
  return host;
}

TEST_F(JumpKinds, AddStateStoresTheValueItsKindKeeps) {
  struct Case {
    NsQlUiElem::ValueKind kind;
    std::vector<std::string> texts;
    std::vector<bool> added;
    std::vector<uint32_t> values;
    std::vector<std::string> shown;
  };
  const Case cases[] = {
      // Letters read as 0; a second 0 is refused.
      {1, {"abc", "0"}, {true, false}, {0}, {"0"}},
      // 16 bits: 65536 and 70000 keep their low halves.
      {2, {"65536", "0", "70000", "4464"}, {true, false, true, false}, {0, 4464}, {"0", "4464"}},
      {1, {"-1", "65535", " +12xyz", "12"}, {true, false, true, false}, {0xFFFF, 12}, {"-1", "12"}},
      {2, {"-1"}, {true}, {0xFFFF}, {"65535"}},
      // 32 bits keep the whole value.
      {3, {"70000", "4464", "-70000"}, {true, true, true}, {70000, 4464, 0xFFFEEE90}, {"70000", "4464", "-70000"}},
      {4, {"3000000000", "4294967295", "99999999999"}, {true, true, false}, {3000000000u, 0xFFFFFFFF}, {"3000000000", "4294967295"}},
      {3, {"99999999999"}, {true}, {0x7FFFFFFF}, {"2147483647"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " " << c.texts.front());
    auto host = EmptyMultState(c.kind);
    for (std::size_t i = 0; i < c.texts.size(); ++i)
      EXPECT_EQ(host->AddState(c.texts[i], MultStateItem{c.texts[i]}), c.added[i]) << c.texts[i];
    EXPECT_EQ(host->_qlIo->stateValues, c.values);
    ASSERT_EQ(host->_qlUi->states.size(), c.values.size()) << "one state per value";
    for (std::size_t i = 0; i < c.shown.size(); ++i) {
      EXPECT_EQ(host->GetStateValueText(static_cast<int32_t>(i)), c.shown[i]);
      // Found again by the text it was added with.
      int32_t index = -1;
      EXPECT_TRUE(host->_qlIo->FindStateByValueText(host->GetStateText(static_cast<int32_t>(i)), &index));
      EXPECT_EQ(index, static_cast<int32_t>(i));
    }
  }
}

TEST_F(JumpKinds, AStateWithoutAKnownKindGetsNoValue) {
  auto host = EmptyMultState(NsQlUiElem::kValueNone);
  EXPECT_TRUE(host->AddState("5", MultStateItem{"五"}));
  EXPECT_TRUE(host->AddState("5", MultStateItem{"又五"}));
  EXPECT_TRUE(host->_qlIo->stateValues.empty());
  EXPECT_EQ(host->_qlUi->states.size(), 2u);
  EXPECT_FALSE(host->RemoveState("5"));
  EXPECT_EQ(host->_qlUi->states.size(), 2u);
}

TEST_F(JumpKinds, RemoveStateTakesTheFirstEqualValueAndItsState) {
  QlEHostMultStateText host(D2D_POINT_2F{100, 50});
  ASSERT_TRUE(host.AddState("5", MultStateItem{"五"}));
  ASSERT_TRUE(host.AddState("7", MultStateItem{"七"}));
  EXPECT_FALSE(host.RemoveState("6"));
  EXPECT_TRUE(host.RemoveState(" 65541"));  // 5 in 16 bits
  EXPECT_EQ(host._qlIo->stateValues, (std::vector<uint32_t>{0, 7}));
  EXPECT_EQ(host.GetStateText(0), "文字1");
  EXPECT_EQ(host.GetStateText(1), "七");
  EXPECT_EQ(host.GetStateText(2), "");
  EXPECT_EQ(host.GetStateText(-1), "");
  EXPECT_EQ(host.GetStateValueText(1), "7");
  EXPECT_EQ(host.GetStateValueText(2), "");
  EXPECT_EQ(host.GetStateValueText(-1), "");
  EXPECT_FALSE(host.RemoveState("5"));

  // Lists out of step: the value goes, no state past the end is touched.
  host._qlUi->states.resize(1);
  EXPECT_TRUE(host.RemoveState("7"));
  EXPECT_EQ(host._qlIo->stateValues, std::vector<uint32_t>{0});
  EXPECT_EQ(host._qlUi->states.size(), 1u);
}

TEST_F(JumpKinds, ClonesAreDeepValidatedAndNotSelected) {
  QlEHostPageTo pageTo(D2D_POINT_2F{100, 50});
  pageTo._qlIo->jumpType = NsQlElemIo::kPageJumpNamed;
  pageTo._qlIo->targetPage = "页面2";
  QlEHostMultFuncBtn multFunc(D2D_POINT_2F{100, 50});
  multFunc._qlIo->funcList.sourceLines = {"MOV PLC1.4x1 PLC1.4x2", "页面跳到 “页面2”"};
  ASSERT_TRUE(multFunc.Revalidate());
  QlEHostMultStateText multState(D2D_POINT_2F{100, 50});
  multState._qlIo->readAddress = "PLC1.4x3";
  ASSERT_TRUE(multState.AddState("5", MultStateItem{"五"}));
  multState._qlUi->currentState = 1;

  for (QlEHostElem* host : std::vector<QlEHostElem*>{&pageTo, &multFunc, &multState}) {
    SCOPED_TRACE(host->GetType());
    host->SetSelected(true);
    auto copy = std::dynamic_pointer_cast<QlEHostElem>(host->Clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetType(), host->GetType());
    EXPECT_FALSE(copy->IsSelected());
    EXPECT_FALSE(copy->GetUi()->selected);
    EXPECT_NE(copy->GetUi(), host->GetUi());
    ASSERT_NE(copy->GetIo(), nullptr);
    EXPECT_NE(copy->GetIo(), host->GetIo());
    EXPECT_EQ(copy->GetRect(), host->GetRect());
    EXPECT_FALSE(copy->GetUi()->inError) << copy->GetUi()->errorText;
    copy->SetRect({0, 0, 10, 10});
    EXPECT_EQ(host->GetRect().left, 100.0f);
  }

  auto pageCopy = std::dynamic_pointer_cast<QlEHostPageTo>(pageTo.Clone());
  EXPECT_EQ(pageCopy->_qlIo->targetPage, "页面2");
  EXPECT_EQ(pageCopy->_qlUi->data.text, "页面跳转");

  // The copy compiled its own instructions.
  auto funcCopy = std::dynamic_pointer_cast<QlEHostMultFuncBtn>(multFunc.Clone());
  EXPECT_EQ(funcCopy->_qlIo->funcList.sourceLines, multFunc._qlIo->funcList.sourceLines);
  ASSERT_EQ(funcCopy->_qlIo->funcList.functions.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i)
    EXPECT_NE(funcCopy->_qlIo->funcList.functions[i], multFunc._qlIo->funcList.functions[i]);

  auto stateCopy = std::dynamic_pointer_cast<QlEHostMultStateText>(multState.Clone());
  EXPECT_EQ(stateCopy->_qlIo->stateValues, multState._qlIo->stateValues);
  EXPECT_EQ(stateCopy->GetStateText(1), "五");
  EXPECT_NE(stateCopy->_qlIo->GetReadTask(), nullptr) << "the copy binds for itself";
  // Online the copy reads on its own.
  HostOnlineFlag = true;
  ReplyWords({0, 0, 0, 5});
  EXPECT_TRUE(stateCopy->Refresh());
  EXPECT_EQ(stateCopy->_qlUi->currentState, 1);
}

}  // namespace
}  // namespace NsOvrin::NsQlElemEditor
