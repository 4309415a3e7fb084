#include "element_io/QlOvListIo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BoxNodeDb.h"
#include "dx2d/RecordingDrawContext.h"

namespace NsOvrin::NsQlElemIo {
namespace {

using NsQlUiElem::QlUiButton;
using NsQlUiElem::QlUiOvList;

class QlOvListIoTest : public Testing::BoxNodeDb {
 protected:
  // An IO list of one row per address, as the page reader builds one, and
  // its binding bound; extra lamps come without an address.
  void Make(const std::vector<std::string>& addresses, std::size_t extraLamps = 0) {
    ui_ = std::make_shared<QlUiOvList>();
    ui_->table.SetRect({0, 0, 390, 210});
    io_ = std::make_shared<QlOvListIo>(ui_);
    for (std::size_t i = 0; i < addresses.size() + extraLamps; ++i) {
      ASSERT_TRUE(ui_->AddRow("row " + std::to_string(i)));
      if (i < addresses.size()) io_->rowAddresses.push_back(addresses[i]);
    }
    io_->Bind();
  }

  QlUiButton& Lamp(std::size_t i) const { return *ui_->statusButtons.at(i); }

  // Each lamp's error text, empty when it is clear.
  std::vector<std::string> LampErrors() const {
    std::vector<std::string> out;
    for (const auto& lamp : ui_->statusButtons) out.push_back(lamp->inError ? lamp->errorText : "");
    return out;
  }

  std::vector<int32_t> LampStates() const {
    std::vector<int32_t> out;
    for (const auto& lamp : ui_->statusButtons) out.push_back(lamp->data.state);
    return out;
  }

  std::shared_ptr<QlUiOvList> ui_;
  std::shared_ptr<QlOvListIo> io_;
};

TEST_F(QlOvListIoTest, ANewBindingHasNoRowsAndPasses) {
  auto ui = std::make_shared<QlUiOvList>();
  QlOvListIo io(ui);
  EXPECT_EQ(io.GetUi(), ui);
  EXPECT_TRUE(io.rowAddresses.empty());
  EXPECT_TRUE(io.GetRowIos().empty());
  EXPECT_FALSE(io.GetForceRefresh());
  EXPECT_FALSE(io.GetBaseIoDataConst()->enableVisib);
  EXPECT_EQ(io.GetVisibAddress(), "");
  EXPECT_EQ(CheckMessage(io), "untouched");
  EXPECT_TRUE(io.Check(nullptr));
  EXPECT_TRUE(io.Bind());
  EXPECT_TRUE(io.GetForceRefresh());
  EXPECT_TRUE(io.Check(nullptr));
}

TEST_F(QlOvListIoTest, SystemAndVisibilityFailuresComeFirst) {
  Make({"PLC9.0x1"});
  Lamp(0).inError = false;

  SetVisibility(*io_, true, "  ");
  EXPECT_FALSE(io_->Bind());
  EXPECT_EQ(CheckMessage(*io_), "控制可见性的地址为空!");
  EXPECT_FALSE(Lamp(0).inError) << "the rows are not reached";

  SetVisibility(*io_, true, "PLC1.4x3");
  EXPECT_TRUE(io_->Bind());
  EXPECT_EQ(CheckMessage(*io_), "控制可见性的地址不是点类型数据.");

  SetVisibility(*io_, true, "PLC1.0x3");
  EXPECT_TRUE(io_->Bind());
  EXPECT_EQ(CheckMessage(*io_), "读写地址节点不存在.");
  EXPECT_TRUE(Lamp(0).inError);

  QlOvListIo unlinked(nullptr);
  EXPECT_EQ(CheckMessage(unlinked), "系统错误 _qlUi == nullptr");
  EXPECT_FALSE(unlinked.Check(nullptr));
}

TEST_F(QlOvListIoTest, BindMakesADisplayOnlyBindingPerAddress) {
  Make({" PLC1.0x5 ", "", "PLC9.0x1", "\t", "PLC1.0x6"});
  EXPECT_EQ(io_->rowAddresses, (std::vector<std::string>{"PLC1.0x5", "", "PLC9.0x1", "", "PLC1.0x6"}));
  const auto& rows = io_->GetRowIos();
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[1], nullptr);
  EXPECT_EQ(rows[3], nullptr);
  for (std::size_t i : {0u, 2u, 4u}) {
    SCOPED_TRACE(i);
    ASSERT_NE(rows[i], nullptr);
    EXPECT_EQ(rows[i]->buttonType, kButtonDisplayOnly);
    EXPECT_TRUE(rows[i]->sameAsRead);
    EXPECT_EQ(rows[i]->writeAddress, "");
    EXPECT_TRUE(rows[i]->GetForceRefresh()) << "bound";
  }
  EXPECT_EQ(rows[0]->GetReadTask(), coils_);
  EXPECT_EQ(rows[2]->GetReadTask(), nullptr);
  EXPECT_TRUE(io_->GetForceRefresh());
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u);

  // A new bind drops the old row bindings and their subscriptions.
  const std::shared_ptr<QlButtonIo> old = rows[0];
  io_->rowAddresses[4] = "PLC1.4x1";
  EXPECT_TRUE(io_->Bind()) << "rows that do not bind leave it to the check";
  EXPECT_NE(io_->GetRowIos()[0], old);
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u) << "the old binding of row 0 still holds one";
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
}

TEST_F(QlOvListIoTest, EachRowIsCheckedWithTheMessageOfItsAddress) {
  struct Case {
    std::string address;
    const char* message;  // null: passes
  };
  const Case cases[] = {
      {"PLC1.0x5", nullptr},
      {"FX1.M3", nullptr},
      {"", "读写地址不能为空!"},
      {"  ", "读写地址不能为空!"},
      {"PLC9.0x1", "读写地址节点不存在."},
      {"0x1", "读写地址节点不存在."},
      {"PLC1.zz5", "写地址异常."},
      {"PLC1.0x150", "读写地址异常或者不在数据列表中."},
      {"PLC1.4x10", "读地址与数据类型不兼容."},
      {"PLC1.3x2", "读地址与数据类型不兼容."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    Make({c.address});
    std::string message;
    EXPECT_EQ(io_->Check(&message), c.message == nullptr);
    EXPECT_EQ(message, c.message == nullptr ? "" : c.message);
    EXPECT_EQ(LampErrors(), std::vector<std::string>{c.message == nullptr ? "" : c.message});
  }
}

TEST_F(QlOvListIoTest, EveryLampIsMarkedAndTheFirstFailureReported) {
  Make({"PLC1.0x5", "PLC9.0x1", "PLC1.4x10"});
  EXPECT_EQ(CheckMessage(*io_), "读写地址节点不存在.");
  EXPECT_EQ(LampErrors(), (std::vector<std::string>{"", "读写地址节点不存在.", "读地址与数据类型不兼容."}));

  // The caller's text is replaced even when it held something; a null text
  // gives the same result.
  std::string message = "old";
  EXPECT_FALSE(io_->Check(&message));
  EXPECT_EQ(message, "读写地址节点不存在.");
  EXPECT_FALSE(io_->Check(nullptr));

  // Mending a row clears its lamp at once, before any check of the list.
  io_->SetRowAddress(1, " PLC1.0x7 ");
  EXPECT_EQ(io_->rowAddresses[1], "PLC1.0x7");
  EXPECT_EQ(LampErrors(), (std::vector<std::string>{"", "", "读地址与数据类型不兼容."}));
  EXPECT_EQ(CheckMessage(*io_), "读地址与数据类型不兼容.");

  io_->SetRowAddress(2, "PLC1.0x8");
  EXPECT_EQ(CheckMessage(*io_), "untouched");
  EXPECT_EQ(LampErrors(), (std::vector<std::string>{"", "", ""}));
}

TEST_F(QlOvListIoTest, OnlyRowsWithALampAreChecked) {
  // Three rows but two lamps: the third row is not judged.
  Make({"PLC1.0x5", "PLC1.0x6", "PLC9.0x1"});
  ui_->statusButtons.pop_back();
  EXPECT_EQ(CheckMessage(*io_), "untouched");

  // More lamps than rows: the further lamps are cleared.
  Make({"PLC9.0x1"}, 2);
  Lamp(1).inError = true;
  Lamp(2).inError = true;
  EXPECT_EQ(CheckMessage(*io_), "读写地址节点不存在.");
  EXPECT_EQ(LampErrors(), (std::vector<std::string>{"读写地址节点不存在.", "", ""}));

  // An empty lamp is no lamp to mark, but its row is still judged.
  ui_->statusButtons[0].reset();
  EXPECT_EQ(CheckMessage(*io_), "读写地址节点不存在.");
}

TEST_F(QlOvListIoTest, SetRowAddress) {
  Make({"PLC1.0x5", "PLC1.0x6"});
  ASSERT_EQ(coils_->GetSubscriberCount(), 2u);

  // Past the rows: nothing.
  io_->SetRowAddress(2, "PLC1.0x1");
  EXPECT_EQ(io_->rowAddresses.size(), 2u);

  // A failing address marks the lamp; the tip is measured again.
  Lamp(1).errorTextWidth = 40;
  Lamp(1).errorTextHeight = 10;
  io_->SetRowAddress(1, "PLC1.0x150");
  EXPECT_TRUE(Lamp(1).inError);
  EXPECT_EQ(Lamp(1).errorText, "读写地址异常或者不在数据列表中.");
  EXPECT_EQ(Lamp(1).errorTextHeight, 0.0f);
  EXPECT_EQ(coils_->GetSubscriberCount(), 1u) << "the replaced binding let its block go";

  // The same message again keeps the measured size.
  Lamp(1).errorTextWidth = 40;
  Lamp(1).errorTextHeight = 10;
  io_->SetRowAddress(1, "PLC1.0x151");
  EXPECT_EQ(Lamp(1).errorTextHeight, 10.0f);

  // Cleared by a good address; the text stays for the next failure to compare.
  io_->SetRowAddress(1, "PLC1.0x9");
  EXPECT_FALSE(Lamp(1).inError);
  EXPECT_EQ(io_->GetRowIos()[1]->GetReadTask(), coils_);
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u);

  // An empty address gets a binding here, whose check says why.
  io_->SetRowAddress(0, "");
  EXPECT_NE(io_->GetRowIos()[0], nullptr);
  EXPECT_EQ(LampErrors(), (std::vector<std::string>{"读写地址不能为空!", ""}));

  // Before the first bind there are no slots: the address is only stored.
  auto ui = std::make_shared<QlUiOvList>();
  ui->AddRow("a");
  QlOvListIo io(ui);
  io.rowAddresses.push_back("x");
  io.SetRowAddress(0, " PLC9.0x1 ");
  EXPECT_EQ(io.rowAddresses[0], "PLC9.0x1");
  EXPECT_TRUE(io.GetRowIos().empty());
  EXPECT_FALSE(ui->statusButtons[0]->inError);
}

TEST_F(QlOvListIoTest, LampsFollowTheirBits) {
  // Coils 1 and 2, a row without an address and a lamp past the addresses.
  Make({"PLC1.0x1", "PLC1.0x2", ""}, 1);
  Lamp(2).SetState(2);
  Lamp(3).SetState(2);

  struct Tick {
    const char* name;
    int coilByte;  // -1: no reply; -2: the same reply again
    bool changed;
    std::vector<int32_t> states;
  };
  const Tick ticks[] = {
      {"after the bind every lamp is refreshed", -1, true, {0, 0, 0, 0}},
      {"nothing new", -1, false, {0, 0, 0, 0}},
      {"coil 1 on", 0b010, true, {2, 0, 0, 0}},
      {"the same reply again", -2, false, {2, 0, 0, 0}},
      {"coil 2 on too", 0b110, true, {2, 2, 0, 0}},
      {"coil 1 off, an unrelated coil on", 0b1100, true, {0, 2, 0, 0}},
      {"both off", 0, true, {0, 0, 0, 0}},
  };
  for (const Tick& tick : ticks) {
    SCOPED_TRACE(tick.name);
    if (tick.coilByte >= 0) Put(coils_, 0, {static_cast<uint8_t>(tick.coilByte)});
    if (tick.coilByte == -2) Repeat(coils_);
    EXPECT_EQ(io_->ReadRows(), tick.changed);
    EXPECT_EQ(LampStates(), tick.states);
  }

  // The lamps are drawn in their state's colour.
  Put(coils_, 0, {0b100});
  ASSERT_TRUE(io_->ReadRows());
  NsDx2d::RecordingDrawContext d2;
  ui_->Draw(d2.Info());
  std::vector<NsDx2d::COLORREF> fills;
  for (const auto& call : d2.target.CallsOf(NsDx2d::DrawOp::FillEllipse)) fills.push_back(call.colour);
  EXPECT_EQ(fills, (std::vector<NsDx2d::COLORREF>{0xC0C0C0, 0x00FF00, 0xC0C0C0, 0xC0C0C0}));
}

TEST_F(QlOvListIoTest, ARowThatCannotBeReadKeepsItsLamp) {
  Make({"PLC1.0x150", "PLC1.0x1"});
  Lamp(0).SetState(2);
  Put(coils_, 0, {0b010});
  EXPECT_TRUE(io_->ReadRows());
  EXPECT_EQ(LampStates(), (std::vector<int32_t>{2, 2}));

  QlOvListIo unlinked(nullptr);
  EXPECT_FALSE(unlinked.ReadRows());
}

TEST_F(QlOvListIoTest, CloneHasRowBindingsOfItsOwn) {
  Make({"PLC1.0x1", "", "PLC9.0x1"});
  *io_->GetBaseIoData() = BaseIoData{true, true, "PLC1.0x3"};
  ASSERT_TRUE(io_->Bind());
  ASSERT_EQ(coils_->GetSubscriberCount(), 2u);

  std::shared_ptr<QlOvListIo> copy = io_->Clone();
  EXPECT_EQ(copy->rowAddresses, io_->rowAddresses);
  EXPECT_TRUE(copy->GetBaseIoDataConst()->enableVisib);
  EXPECT_TRUE(copy->GetBaseIoDataConst()->showWhenTrue);
  EXPECT_EQ(copy->GetVisibTask(), coils_);
  EXPECT_TRUE(copy->GetForceRefresh());
  EXPECT_EQ(copy->GetUi(), ui_) << "linked to the source's element until paired";
  ASSERT_EQ(copy->GetRowIos().size(), 3u);
  EXPECT_NE(copy->GetRowIos()[0], io_->GetRowIos()[0]);
  EXPECT_EQ(copy->GetRowIos()[0]->GetReadTask(), coils_);
  EXPECT_EQ(copy->GetRowIos()[1], nullptr);
  EXPECT_NE(copy->GetRowIos()[2], nullptr);
  EXPECT_EQ(coils_->GetSubscriberCount(), 4u) << "a row and the visibility bit each";

  // Paired with a copied element, its checks and reads go to the copy's lamps.
  std::shared_ptr<QlUiOvList> uiCopy = ui_->Clone();
  copy->SetUi(uiCopy);
  Lamp(2).inError = false;
  EXPECT_FALSE(copy->Check(nullptr));
  EXPECT_TRUE(uiCopy->statusButtons[2]->inError);
  EXPECT_FALSE(Lamp(2).inError);

  // Both read the change: neither read swallows the other's.
  ASSERT_TRUE(io_->ReadRows());
  ASSERT_TRUE(copy->ReadRows());
  Put(coils_, 0, {0b010});
  EXPECT_TRUE(io_->ReadRows());
  EXPECT_TRUE(copy->ReadRows());
  EXPECT_EQ(Lamp(0).data.state, 2);
  EXPECT_EQ(uiCopy->statusButtons[0]->data.state, 2);

  // The source gone, the copy still subscribes and reads.
  io_.reset();
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u);
  Put(coils_, 0, {0});
  EXPECT_TRUE(copy->ReadRows());
  EXPECT_EQ(uiCopy->statusButtons[0]->data.state, 0);
  copy.reset();
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
}

}  // namespace
}  // namespace NsOvrin::NsQlElemIo
