// The hosts of the text, number box, string box and button kinds against a
// node database: defaults, geometry, checks, labels, live values, clones.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "HostFixture.h"
#include "dx2d/RecordingDrawContext.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEHostButton.h"
#include "editor/QlEHostEdit.h"
#include "editor/QlEHostString.h"
#include "editor/QlEHostText.h"

namespace NsOvrin::NsQlElemEditor {
namespace {

using NsDx2d::DrawCall;
using NsDx2d::DrawOp;
using NsDx2d::RecordingDrawContext;
using NsQlElemIo::QlButtonIo;
using NsQlElemIo::QlEditIo;
using NsQlElemIo::QlStringIo;
using NsQlUiElem::QlUiButton;
using NsQlUiElem::QlUiEdit;
using NsQlUiElem::QlUiText;
using Testing::HostFixture;

using HostKinds = HostFixture;

// One register of a text: a Modbus device keeps the first character in the
// low byte.
uint16_t Chars(char first, char second) {
  return static_cast<uint16_t>((static_cast<uint8_t>(second) << 8) | static_cast<uint8_t>(first));
}

std::string ShownText(const QlEHostElem& host) {
  const auto ui = host.GetUi();
  if (auto text = std::dynamic_pointer_cast<QlUiText>(ui)) return text->textBox.text;
  if (auto edit = std::dynamic_pointer_cast<QlUiEdit>(ui)) return edit->textBox.text;
  if (auto button = std::dynamic_pointer_cast<QlUiButton>(ui)) return button->data.text;
  return "?";
}

TEST_F(HostKinds, NewElementsAtAPoint) {
  struct Case {
    std::shared_ptr<QlEHostElem> host;
    int type;
    D2D_RECT_F rect;
    std::string text;
    bool inError;
    std::string errorText;
  };
  const D2D_POINT_2F p{100, 50};
  const Case cases[] = {
      {std::make_shared<QlEHostText>(p), 1, {100, 50, 160, 76}, "文字", false, ""},
      {std::make_shared<QlEHostEdit>(p), 2, {100, 50, 190, 77}, "0", true, "读写地址不能为空!"},
      {std::make_shared<QlEHostString>(p),
       3,
       {100, 50, 320, 77},
       "AABBCCDD",
       true,
       "读写地址不能为空!"},
      {std::make_shared<QlEHostButton>(p), 4, {100, 50, 195, 86}, "OFF", true, "读写地址不能为空!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(c.host->GetType(), c.type);
    EXPECT_EQ(c.host->GetRect(), c.rect);
    EXPECT_EQ(ShownText(*c.host), c.text);
    EXPECT_FALSE(c.host->IsSelected());
    ASSERT_NE(c.host->GetUi(), nullptr);
    ASSERT_NE(c.host->GetIo(), nullptr);
    EXPECT_EQ(c.host->GetUi()->inError, c.inError) << "checked at creation";
    EXPECT_EQ(c.host->GetUi()->errorText, c.errorText);
  }

  auto text = std::dynamic_pointer_cast<QlUiText>(cases[0].host->GetUi());
  EXPECT_EQ(text->textBox.rect, (D2D_RECT_F{104, 52, 156, 74}));
  EXPECT_FLOAT_EQ(text->bkOpacity, 0.0f);
  auto edit = std::dynamic_pointer_cast<QlUiEdit>(cases[1].host->GetUi());
  EXPECT_EQ(edit->textBox.rect, (D2D_RECT_F{104, 52, 186, 75}));
  auto button = std::dynamic_pointer_cast<QlUiButton>(cases[3].host->GetUi());
  EXPECT_EQ(button->data.text2, "ON");
  EXPECT_EQ(button->painter.rect, button->data.rect);
  EXPECT_FLOAT_EQ(button->painter.cornerRadius, 4.0f);
  EXPECT_EQ(button->data.borderStyle, NsQlUiElem::kButtonRaised);
  EXPECT_EQ(button->painter.style, 1);
}

TEST_F(HostKinds, SetRectLaysOutWhatDependsOnIt) {
  const D2D_RECT_F r{20, 20, 120, 60};
  QlEHostText text(D2D_POINT_2F{100, 50});
  text.SetRect(r);
  EXPECT_EQ(text.GetRect(), r);
  EXPECT_EQ(text._qlUi->textBox.rect, (D2D_RECT_F{24, 22, 116, 58}));

  QlEHostEdit number(D2D_POINT_2F{100, 50});
  QlEHostString string(D2D_POINT_2F{100, 50});
  for (QlEHostElem* host : std::vector<QlEHostElem*>{&number, &string}) {
    host->SetRect(r);
    EXPECT_EQ(host->GetRect(), r);
    EXPECT_EQ(std::dynamic_pointer_cast<QlUiEdit>(host->GetUi())->textBox.rect,
              (D2D_RECT_F{24, 22, 116, 58}));
  }

  QlEHostButton button(D2D_POINT_2F{100, 50});
  RecordingDrawContext before;
  button.Draw(before.Info());  // the painter builds its shape for the old place
  button._qlUi->painter.cornerRadius = 9.0f;
  button.SetRect(r);
  EXPECT_EQ(button.GetRect(), r);
  EXPECT_EQ(button._qlUi->painter.rect, r);
  EXPECT_FLOAT_EQ(button._qlUi->painter.cornerRadius, 4.0f);
  // The bevel is built again around the new rectangle.
  RecordingDrawContext after;
  button.Draw(after.Info());
  const auto bevel = after.target.CallsOf(DrawOp::DrawGeometry);
  ASSERT_FALSE(bevel.empty()) << NsDx2d::FormatDrawCalls(after.target.calls);
  for (const DrawCall& call : bevel) {
    ASSERT_FALSE(call.figures.empty());
    const D2D_POINT_2F start = call.figures.front().start;
    EXPECT_TRUE(start.x > r.left && start.x < r.right && start.y > r.top && start.y < r.bottom)
        << call;
  }
}

TEST_F(HostKinds, CheckAndRevalidateAgainstTheNodeDatabase) {
  QlEHostEdit number(D2D_POINT_2F{100, 50});
  QlEHostString string(D2D_POINT_2F{100, 50});
  QlEHostButton button(D2D_POINT_2F{100, 50});
  struct Case {
    const char* name;
    QlEHostElem* host;
    std::string* address;
    std::string good, bad;
    std::string badMessage;
  };
  const Case cases[] = {
      {"number box", &number, &number._qlIo->address, "PLC1.4x3", "PLC1.4x50",
       "读写地址异常或者不在数据列表中."},
      {"string box", &string, &string._qlIo->address, "PLC1.4x2", "PLC9.4x2",
       "读写地址节点不存在."},
      {"button", &button, &button._qlIo->readAddress, "PLC1.0x3", "", "读写地址不能为空!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ui = c.host->GetUi();
    ASSERT_TRUE(ui->inError) << "created without an address";
    *c.address = c.good;
    EXPECT_TRUE(c.host->Revalidate());
    EXPECT_FALSE(ui->inError) << ui->errorText;
    std::string message = "untouched";
    EXPECT_TRUE(c.host->Check(&message));
    EXPECT_EQ(message, "untouched");

    *c.address = c.bad;
    c.host->Revalidate();
    EXPECT_TRUE(ui->inError);
    EXPECT_EQ(ui->errorText, c.badMessage);
    EXPECT_FALSE(c.host->Check(&message));
    EXPECT_EQ(message, c.badMessage);
  }
}

TEST_F(HostKinds, TextChecksItsVisibilityAddress) {
  QlEHostText text(D2D_POINT_2F{100, 50});
  NsQlElemIo::BaseIoData& visib = *text._qlIo->GetBaseIoData();
  visib.enableVisib = true;
  visib.addressForVisib = "PLC1.4x3";
  EXPECT_TRUE(text.Revalidate());
  EXPECT_TRUE(text._qlUi->inError);
  EXPECT_EQ(text._qlUi->errorText, "控制可见性的地址不是点类型数据.");
  visib.addressForVisib = "PLC1.0x3";
  EXPECT_TRUE(text.Revalidate());
  EXPECT_FALSE(text._qlUi->inError);
  EXPECT_EQ(text._qlUi->errorText, "控制可见性的地址不是点类型数据.") << "old text kept";
}

// The host's drawing minus what the record draws on its own.
std::vector<DrawCall> LabelCalls(QlEHostElem& host) {
  RecordingDrawContext record, full;
  host.GetUi()->DrawWithErrorMark(record.Info());
  host.Draw(full.Info());
  const auto& all = full.target.calls;
  EXPECT_GE(all.size(), record.target.calls.size());
  for (std::size_t i = 0; i < record.target.calls.size() && i < all.size(); ++i)
    EXPECT_EQ(all[i].ToString(), record.target.calls[i].ToString()) << "the record comes first";
  return std::vector<DrawCall>(all.begin() + std::min(all.size(), record.target.calls.size()),
                               all.end());
}

// "" for no label, "[]" for an empty grey box, else the label text.
std::string Label(QlEHostElem& host) {
  const std::vector<DrawCall> calls = LabelCalls(host);
  if (calls.empty()) return "";
  const D2D_RECT_F r = host.GetRect();
  const D2D_RECT_F box{r.left + 2, r.bottom - 14, r.left + 60, r.bottom - 1};
  EXPECT_EQ(calls[0].op, DrawOp::FillRectangle);
  EXPECT_EQ(calls[0].rect, box);
  EXPECT_EQ(calls[0].colour, 0xF0F0F0u);
  if (calls.size() == 1) return "[]";
  EXPECT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].op, DrawOp::DrawText);
  EXPECT_EQ(calls[1].rect, box);
  return calls[1].text;
}

TEST_F(HostKinds, AddressLabels) {
  QlEHostText text(D2D_POINT_2F{100, 50});
  EXPECT_EQ(Label(text), "") << "a text has no label";

  QlEHostEdit number(D2D_POINT_2F{100, 50});
  EXPECT_EQ(Label(number), "[]") << "empty address: an empty grey box";
  number._qlIo->address = "PLC1.4x3";
  number.Revalidate();
  EXPECT_EQ(Label(number), number._qlIo->address);
  EXPECT_EQ(number._qlIo->address.rfind("PLC1.", 0), 0u);

  QlEHostString string(D2D_POINT_2F{100, 50});
  string._qlIo->address = "PLC1.4x[2~6]";
  EXPECT_EQ(Label(string), "PLC1.4x[2~6]");

  ShowIoAddr = false;
  EXPECT_EQ(Label(number), "");
  EXPECT_EQ(Label(string), "");
  ShowIoAddr = true;

  QlEHostEdit unbound(number._qlUi, nullptr);
  EXPECT_EQ(Label(unbound), "") << "no binding, no label";
}

TEST_F(HostKinds, ButtonLabelNamesTheAddressesItUses) {
  struct Case {
    NsQlElemIo::ButtonType type;
    bool sameAsRead;
    std::string read, write, label;
  };
  const Case cases[] = {
      {0, true, "", "", "---"},  // a new button
      {0, true, "PLC1.0x1", "PLC1.0x2", "PLC1.0x1"},
      {0, false, "", "", "---\n---"},
      {0, false, "PLC1.0x1", "PLC1.0x2", "PLC1.0x1\nPLC1.0x2"},
      {2, false, "", "PLC1.0x2", "---\nPLC1.0x2"},
      {1, true, "PLC1.0x1", "", "---"},  // momentary: the write address alone
      {1, false, "PLC1.0x1", "PLC1.0x2", "PLC1.0x2"},
      {5, false, "PLC1.0x1", "PLC1.0x2", "PLC1.0x1"},  // display only: the read address
  };
  for (const Case& c : cases) {
    QlEHostButton button(D2D_POINT_2F{100, 50});
    button._qlIo->buttonType = c.type;
    button._qlIo->sameAsRead = c.sameAsRead;
    button._qlIo->readAddress = c.read;
    button._qlIo->writeAddress = c.write;
    EXPECT_EQ(Label(button), c.label) << "type " << c.type << " same " << c.sameAsRead;
  }
}

TEST_F(HostKinds, OfflineNothingRefreshesButAPendingNumberBox) {
  QlEHostText text(D2D_POINT_2F{100, 50});
  QlEHostEdit number(D2D_POINT_2F{100, 50});
  QlEHostString string(D2D_POINT_2F{100, 50});
  QlEHostButton button(D2D_POINT_2F{100, 50});
  number._qlIo->address = "PLC1.4x3";
  string._qlIo->address = "PLC1.4x0";
  button._qlIo->readAddress = "PLC1.0x3";
  for (QlEHostElem* host : std::vector<QlEHostElem*>{&text, &number, &string, &button}) {
    host->Revalidate();
    EXPECT_FALSE(host->Refresh()) << host->GetType();
  }
  ReplyWords({0, 0, 0, 77});
  ReplyCoils({3});
  for (QlEHostElem* host : std::vector<QlEHostElem*>{&text, &number, &string, &button})
    EXPECT_FALSE(host->Refresh()) << host->GetType() << " reads nothing offline";

  // Two decimals now: the preview shows them once.
  number._qlIo->scale = 2;
  number.SetPendingRefresh(true);
  EXPECT_TRUE(number.Refresh());
  EXPECT_EQ(number._qlUi->textBox.text, "0.00");
  EXPECT_FALSE(number.IsPendingRefresh());
  EXPECT_FALSE(number.Refresh());
}

TEST_F(HostKinds, OnlineTheBoxesShowLiveValues) {
  QlEHostEdit number(D2D_POINT_2F{100, 50});
  QlEHostString string(D2D_POINT_2F{100, 50});
  number._qlIo->address = "PLC1.4x3";
  number._qlIo->scale = 1;
  string._qlIo->address = "PLC1.4x[0~2]";
  string._qlIo->length = 6;
  ASSERT_TRUE(number.Revalidate());
  ASSERT_TRUE(string.Revalidate());

  HostOnlineFlag = true;
  number.OnModeChanged();
  string.OnModeChanged();
  ReplyWords({Chars('H', 'E'), Chars('L', 'L'), Chars('O', 0), 1234});
  EXPECT_TRUE(number.Refresh());
  EXPECT_EQ(number._qlUi->textBox.text, "123.4");
  EXPECT_TRUE(string.Refresh());
  EXPECT_EQ(string._qlUi->textBox.text, "HELLO");

  // No new data, then the same data again: nothing to repaint.
  EXPECT_FALSE(number.Refresh());
  EXPECT_FALSE(string.Refresh());
  ReplyWords({Chars('H', 'E'), Chars('L', 'L'), Chars('O', 0), 1234});
  EXPECT_FALSE(number.Refresh());
  EXPECT_FALSE(string.Refresh());

  ReplyWords({Chars('B', 'Y'), Chars('E', 0), 0, 0xFFFF});
  EXPECT_TRUE(number.Refresh());
  EXPECT_EQ(number._qlUi->textBox.text, "-0.1") << "signed word by default";
  EXPECT_TRUE(string.Refresh());
  EXPECT_EQ(string._qlUi->textBox.text, "BYE");

  // Entering online mode again re-arms: the next tick shows the value anew.
  number.OnModeChanged();
  string.OnModeChanged();
  EXPECT_TRUE(number.Refresh());
  EXPECT_TRUE(string.Refresh());
  EXPECT_FALSE(number.Refresh());

  // Leaving online mode puts the previews back.
  HostOnlineFlag = false;
  number.OnModeChanged();
  string.OnModeChanged();
  EXPECT_EQ(number._qlUi->textBox.text, "0.0");
  EXPECT_EQ(string._qlUi->textBox.text, "AABBCCDD");
  EXPECT_FALSE(number.Refresh());
}

TEST_F(HostKinds, OnlinePendingNumberBoxWaitsForAGoodRead) {
  QlEHostEdit number(D2D_POINT_2F{100, 50});
  HostOnlineFlag = true;
  number.SetPendingRefresh(true);
  EXPECT_FALSE(number.Refresh()) << "nothing bound: the read fails";
  EXPECT_TRUE(number.IsPendingRefresh()) << "and the flag stays";

  number._qlIo->address = "PLC1.4x3";
  ASSERT_TRUE(number.Revalidate());
  number.Refresh();  // the bind's own forced read
  ReplyWords({0, 0, 0, 5});
  number.Refresh();
  number.SetPendingRefresh(true);
  number._qlUi->textBox.text = "stale";
  EXPECT_TRUE(number.Refresh()) << "unchanged value, shown because pending";
  EXPECT_EQ(number._qlUi->textBox.text, "5");
  EXPECT_FALSE(number.IsPendingRefresh());
}

TEST_F(HostKinds, OnlineTheButtonShowsItsBit) {
  QlEHostButton button(D2D_POINT_2F{100, 50});
  HostOnlineFlag = true;
  button.OnModeChanged();
  EXPECT_FALSE(button.Refresh()) << "no parsed read address";

  button._qlIo->readAddress = "PLC1.0x3";
  ASSERT_TRUE(button.Revalidate());
  EXPECT_TRUE(button.Refresh()) << "forced after binding";
  EXPECT_EQ(button._qlUi->data.state, 0);
  EXPECT_FALSE(button.Refresh());

  ReplyCoils({3});
  EXPECT_TRUE(button.Refresh());
  EXPECT_EQ(button._qlUi->data.state, 2);
  EXPECT_EQ(button._qlUi->painter.style, 0) << "a raised button looks pressed";
  ReplyCoils({3, 4});
  EXPECT_FALSE(button.Refresh()) << "another bit moved";
  ReplyCoils({});
  EXPECT_TRUE(button.Refresh());
  EXPECT_EQ(button._qlUi->data.state, 0);

  // Entering online mode again re-arms the read.
  ReplyCoils({3});
  EXPECT_TRUE(button.Refresh());
  button.OnModeChanged();
  EXPECT_TRUE(button.Refresh()) << "forced";
  EXPECT_FALSE(button.Refresh());

  // Leaving online mode: back to display state 0 in the button's own style.
  button._qlUi->data.borderStyle = NsQlUiElem::kButtonSwitch;
  HostOnlineFlag = false;
  button.OnModeChanged();
  EXPECT_EQ(button._qlUi->data.state, 0);
  EXPECT_EQ(button._qlUi->painter.style, NsQlUiElem::kButtonSwitch);
  EXPECT_FALSE(button.Refresh());
}

TEST_F(HostKinds, MissingRecordOrBindingMakesRefreshAndModeChangesNoOps) {
  auto edit = std::make_shared<QlUiEdit>();
  edit->textBox.text = "kept";
  QlEHostEdit number(edit, nullptr);
  QlEHostString string(edit, nullptr);
  QlEHostButton button(nullptr, std::make_shared<QlButtonIo>());
  for (bool online : {true, false}) {
    HostOnlineFlag = online;
    number.SetPendingRefresh(true);
    for (QlEHostElem* host : std::vector<QlEHostElem*>{&number, &string, &button}) {
      host->OnModeChanged();
      EXPECT_FALSE(host->Refresh()) << host->GetType() << " online " << online;
    }
  }
  EXPECT_EQ(edit->textBox.text, "kept");
}

TEST_F(HostKinds, ClonesAreDeepValidatedAndNotSelected) {
  QlEHostText text(D2D_POINT_2F{100, 50});
  QlEHostEdit number(D2D_POINT_2F{100, 50});
  QlEHostString string(D2D_POINT_2F{100, 50});
  QlEHostButton button(D2D_POINT_2F{100, 50});
  text._qlUi->textBox.text = "标题";
  number._qlIo->address = "PLC1.4x3";
  number.SetPendingRefresh(true);
  string._qlIo->address = "PLC1.4x[0~2]";
  button._qlIo->readAddress = "PLC1.0x3";
  button._qlUi->data.text = "启动";
  ASSERT_TRUE(button.Revalidate());
  const uint32_t wordSubscribers = words_->GetSubscriberCount();

  std::vector<std::shared_ptr<QlEHostElem>> copies;
  for (QlEHostElem* host : std::vector<QlEHostElem*>{&text, &number, &string, &button}) {
    SCOPED_TRACE(host->GetType());
    host->SetSelected(true);
    // The originals were never bound: each copy binds for itself.
    auto copy = std::dynamic_pointer_cast<QlEHostElem>(host->Clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetType(), host->GetType());
    EXPECT_FALSE(copy->IsSelected());
    EXPECT_FALSE(copy->GetUi()->selected);
    EXPECT_NE(copy->GetUi(), host->GetUi());
    EXPECT_NE(copy->GetIo(), host->GetIo());
    EXPECT_NE(copy->GetIo(), nullptr);
    EXPECT_EQ(copy->GetRect(), host->GetRect());
    EXPECT_FALSE(copy->GetUi()->inError) << copy->GetUi()->errorText;
    // The copy is its own.
    copy->SetRect({0, 0, 10, 10});
    EXPECT_EQ(host->GetRect().left, 100.0f);
    copies.push_back(copy);
  }
  EXPECT_EQ(words_->GetSubscriberCount(), wordSubscribers + 2) << "copies bind for themselves";

  auto textCopy = std::dynamic_pointer_cast<QlEHostText>(text.Clone());
  EXPECT_EQ(textCopy->_qlUi->textBox.text, "标题");
  auto numberCopy = std::dynamic_pointer_cast<QlEHostEdit>(number.Clone());
  EXPECT_FALSE(numberCopy->IsPendingRefresh());
  auto buttonCopy = std::dynamic_pointer_cast<QlEHostButton>(button.Clone());
  EXPECT_EQ(buttonCopy->_qlUi->data.text, "启动");
  EXPECT_EQ(buttonCopy->_qlIo->readAddress, button._qlIo->readAddress);
}

TEST_F(HostKinds, PastedStringBoxShowsThePreviewUntilItsBindingReports) {
  QlEHostString string(D2D_POINT_2F{100, 50});
  string._qlIo->address = "PLC1.4x[0~2]";
  string._qlIo->length = 6;
  ASSERT_TRUE(string.Revalidate());
  HostOnlineFlag = true;
  ReplyWords({Chars('O', 'K')});
  ASSERT_TRUE(string.Refresh());
  ASSERT_EQ(string._qlUi->textBox.text, "OK");

  auto copy = std::dynamic_pointer_cast<QlEHostString>(string.Clone());
  EXPECT_EQ(copy->_qlUi->textBox.text, "AABBCCDD");
  EXPECT_TRUE(copy->Refresh()) << "its own bind forces a read";
  EXPECT_EQ(copy->_qlUi->textBox.text, "OK");
}

TEST_F(HostKinds, ACloneWithoutBindingIsMarkedNotBound) {
  auto edit = QlUiEdit::QlUiEditAt({10, 10}, 90);
  QlEHostEdit number(edit, nullptr);
  auto copy = std::dynamic_pointer_cast<QlEHostElem>(number.Clone());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetIo(), nullptr);
  EXPECT_NE(copy->GetUi(), edit);
  EXPECT_FALSE(copy->Revalidate());
}

}  // namespace
}  // namespace NsOvrin::NsQlElemEditor
