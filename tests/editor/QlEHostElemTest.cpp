// What every host shares: the IO check and the error mark, revalidation,
// selection, the error tip and the address label.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "QlUiElem/QlUiText.h"
#include "dx2d/RecordingDrawContext.h"
#include "editor/QlEHostElem.h"

namespace NsOvrin::NsQlElemEditor {
namespace {

using NsDx2d::DrawCall;
using NsDx2d::DrawOp;
using NsDx2d::RecordingDrawContext;
using NsQlElemIo::BaseIoData;
using NsQlUiElem::QlUiText;

// A binding whose bind and check results the test sets.
class ScriptedIo : public QlIo {
 public:
  bool Bind() override {
    ++binds;
    return bindResult;
  }
  bool Check(std::string* message) override {
    if (!checkResult && message != nullptr) *message = failure;
    return checkResult;
  }
  const BaseIoData* GetBaseIoDataConst() const override { return &data_; }
  BaseIoData* GetBaseIoData() override { return &data_; }

  bool bindResult = true;
  bool checkResult = true;
  std::string failure = "读写地址不能为空!";
  int binds = 0;

 private:
  BaseIoData data_;
};

// The shared variants as they are, on a text record.
class ProbeHost : public QlEHostOf<QlUiText, ScriptedIo> {
 public:
  using QlEHostOf::QlEHostOf;
  void SetRect(const D2D_RECT_F& rect) override {
    if (_qlUi) _qlUi->SetRect(rect);
  }
  int GetType() const override { return 1; }
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override { return nullptr; }
};

std::shared_ptr<QlUiText> TextAt(D2D_RECT_F rect) {
  auto text = std::make_shared<QlUiText>();
  text->SetRect(rect);
  text->textBox.text = "abc";
  return text;
}

bool HasOp(const std::vector<DrawCall>& calls, DrawOp op, NsDx2d::COLORREF colour) {
  for (const DrawCall& call : calls)
    if (call.op == op && call.colour == colour) return true;
  return false;
}

constexpr NsDx2d::COLORREF kMarkColour = 0x6667FE;
constexpr NsDx2d::COLORREF kTipColour = 0x84F2EF;

TEST(CheckElemIo, ErrorMarkFollowsTheOutcome) {
  struct Case {
    const char* name;
    bool withIo, checkResult, withMessage;
    // Record before.
    bool wasInError;
    std::string oldText;
    // Expected.
    bool result, inError;
    std::string text;
    bool measureKept;
  };
  const Case cases[] = {
      {"pass clears the flag and keeps the text", true, true, true, true, "旧", true, false, "旧",
       true},
      {"failure stores a new text, to be measured again", true, false, true, false, "旧", false,
       true, "读写地址不能为空!", false},
      {"failure with the same text keeps the measure", true, false, true, false,
       "读写地址不能为空!", false, true, "读写地址不能为空!", true},
      {"without a message a local text is used", true, false, false, false, "", false, true,
       "读写地址不能为空!", false},
      {"no binding: false, record untouched", false, false, true, true, "旧", false, true, "旧",
       true},
      {"no binding leaves a clear record clear", false, true, true, false, "", false, false, "",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QlUiText record;
    record.inError = c.wasInError;
    record.errorText = c.oldText;
    record.errorTextWidth = 40.0f;
    record.errorTextHeight = 12.0f;
    ScriptedIo io;
    io.checkResult = c.checkResult;
    std::string message;
    const bool result =
        CheckElemIo(&record, c.withIo ? &io : nullptr, c.withMessage ? &message : nullptr);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(record.inError, c.inError);
    EXPECT_EQ(record.errorText, c.text);
    EXPECT_EQ(record.errorTextHeight == 12.0f && record.errorTextWidth == 40.0f, c.measureKept);
    if (c.withIo && c.withMessage && !c.checkResult) {
      EXPECT_EQ(message, io.failure);
    }
  }
  ScriptedIo io;
  io.checkResult = false;
  EXPECT_FALSE(CheckElemIo(nullptr, &io, nullptr)) << "no record: the outcome alone";
}

TEST(QlEHostElem, RevalidateReportsTheBindAndMarksByTheCheck) {
  struct Case {
    bool bind, check;
  };
  for (const Case c :
       {Case{true, true}, Case{true, false}, Case{false, true}, Case{false, false}}) {
    auto io = std::make_shared<ScriptedIo>();
    io->bindResult = c.bind;
    io->checkResult = c.check;
    ProbeHost host(TextAt({0, 0, 50, 20}), io);
    EXPECT_EQ(host.Revalidate(), c.bind) << c.bind << c.check;
    EXPECT_EQ(io->binds, 1);
    EXPECT_EQ(host.GetUi()->inError, !c.check) << c.bind << c.check;
    std::string message;
    EXPECT_EQ(host.Check(&message), c.check);
    EXPECT_EQ(io->binds, 1) << "Check does not bind";
  }
}

TEST(QlEHostElem, EmptyPointersAreTolerated) {
  auto io = std::make_shared<ScriptedIo>();
  io->checkResult = false;
  ProbeHost noRecord(nullptr, io);
  EXPECT_EQ(noRecord.GetRect(), (D2D_RECT_F{}));
  noRecord.SetRect({1, 2, 3, 4});
  noRecord.SetSelected(true);
  EXPECT_TRUE(noRecord.IsSelected());
  RecordingDrawContext ctx;
  noRecord.Draw(ctx.Info());
  noRecord.DrawOverlay(ctx.Info());
  EXPECT_TRUE(ctx.target.calls.empty());
  EXPECT_FALSE(noRecord.Refresh());
  std::string message;
  EXPECT_FALSE(noRecord.Check(&message)) << "the binding is still checked";
  EXPECT_EQ(message, "读写地址不能为空!");
  EXPECT_EQ(noRecord.GetUi(), nullptr);
  EXPECT_EQ(noRecord.GetIo(), io);

  auto record = TextAt({0, 0, 50, 20});
  record->inError = true;
  record->errorText = "旧";
  ProbeHost noBinding(record, nullptr);
  EXPECT_FALSE(noBinding.Revalidate());
  EXPECT_FALSE(noBinding.Check(&message));
  EXPECT_TRUE(record->inError) << "error state untouched";
  EXPECT_EQ(record->errorText, "旧");
  EXPECT_EQ(noBinding.GetIo(), nullptr);
}

TEST(QlEHostElem, SelectedElementShowsTheTipInsteadOfTheMark) {
  auto io = std::make_shared<ScriptedIo>();
  io->checkResult = false;
  ProbeHost host(TextAt({100, 50, 200, 80}), io);
  host.Revalidate();
  ASSERT_TRUE(host.GetUi()->inError);

  struct Case {
    bool selected, mark, tip;
  };
  // Deselecting brings the mark back.
  for (const Case c :
       {Case{false, true, false}, Case{true, false, true}, Case{false, true, false}}) {
    host.SetSelected(c.selected);
    EXPECT_EQ(host.IsSelected(), c.selected);
    EXPECT_EQ(host.GetUi()->selected, c.selected);
    RecordingDrawContext first, second;
    host.Draw(first.Info());
    host.DrawOverlay(second.Info());
    EXPECT_EQ(HasOp(first.target.calls, DrawOp::FillEllipse, kMarkColour), c.mark) << c.selected;
    EXPECT_EQ(HasOp(second.target.calls, DrawOp::FillRectangle, kTipColour), c.tip) << c.selected;
  }

  // Selected but not in error: no tip.
  io->checkResult = true;
  host.Revalidate();
  host.SetSelected(true);
  RecordingDrawContext overlay;
  host.DrawOverlay(overlay.Info());
  EXPECT_TRUE(overlay.target.calls.empty()) << NsDx2d::FormatDrawCalls(overlay.target.calls);
}

TEST(QlEHostElem, AddressLabelSitsInTheBottomLeftCorner) {
  ProbeHost host(TextAt({100, 50, 200, 80}), std::make_shared<ScriptedIo>());
  struct Case {
    std::string text;
    bool drawsText;
  };
  for (const Case& c :
       {Case{"PLC1.4x00003", true}, Case{"PLC1.0x1\nPLC1.0x2", true}, Case{"", false}}) {
    RecordingDrawContext ctx;
    host.DrawAddressLabel(ctx.Info(), c.text);
    const auto& calls = ctx.target.calls;
    ASSERT_EQ(calls.size(), c.drawsText ? 2u : 1u) << NsDx2d::FormatDrawCalls(calls);
    EXPECT_EQ(calls[0].ToString(), "FillRectangle (102,66,160,79) 0xF0F0F0@0.6");
    if (!c.drawsText) continue;
    EXPECT_EQ(calls[1].op, DrawOp::DrawText);
    EXPECT_EQ(calls[1].text, c.text);
    EXPECT_EQ(calls[1].rect, (D2D_RECT_F{102, 66, 160, 79}));
    EXPECT_EQ(calls[1].colour, 0x000000u);
    EXPECT_FLOAT_EQ(calls[1].opacity, 0.9f);
    EXPECT_FLOAT_EQ(calls[1].fontSize, 8.0f) << "size 60 in tenths of a point";
  }
}

}  // namespace
}  // namespace NsOvrin::NsQlElemEditor
