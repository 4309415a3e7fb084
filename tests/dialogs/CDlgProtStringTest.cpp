#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "ProtPageFixture.h"
#include "dialogs/CDlgProtString.h"
#include "editor/QlEHostString.h"
#include "wui/CColorButton.h"

namespace NsOvrin::Testing {
namespace {

using NsQlElemEditor::QlEHostString;
using NsQlElemIo::QlStringIo;
using NsQlUiElem::QlUiEdit;
using NsWui::CConfirmEditCtrl;
using NsWui::DlgItem;

TEST(StringLengthTest, EvenLengthsFromTwoToAHundred) {
  const char* range = "[字符串长度] 数据必须在 2 ~ 100 之间.";
  const std::pair<const char*, const char*> cases[] = {
      {"2", nullptr},
      {"100", nullptr},
      {"20", nullptr},
      {"1", range},
      {"0", range},
      {"101", range},
      {"99999999999", range},
      {"7", "字符长度必须是偶数."},
      {"99", "字符长度必须是偶数."},
      {"", "[字符串长度] 输入不能为空！"},
      {"-2", "[字符串长度] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"4.0", "[字符串长度] 请输入无符号类型的数字例如 (0， 100) 等等."},
  };
  for (const auto& [text, message] : cases) {
    std::string reason = "untouched";
    EXPECT_EQ(CDlgProtString::ValidateLength(text, reason), message == nullptr) << text;
    EXPECT_EQ(reason, message ? message : "untouched") << text;
  }
}

// Three string boxes on holding registers with lengths 10, 6 and 4; the
// second anchored.
class ProtStringTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    int n = 0;
    elems_ = MakeSelection<QlEHostString>(3, 1, [&n] {
      auto host = std::make_shared<QlEHostString>(NsDx2d::D2D_POINT_2F{0.0f, 30.0f * n});
      QlStringIo& io = *host->_qlIo;
      static const uint16_t kLengths[] = {10, 6, 4};
      io.length = kLengths[n];
      io.address = "PLC1.4x" + std::to_string(10 * n);
      host->Revalidate();
      io.ApplyLength();
      io.UpdateAddressText();
      host->Revalidate();
      io.forceRefresh = false;
      host->_qlUi->accessPermission = n == 1 ? 1 : 0;
      ++n;
      return host;
    });
    page_ = std::make_unique<CDlgProtString>();
    ShowPage(*page_, *page_);
    page_->Bind(elems_);
  }

  std::shared_ptr<QlEHostString> Host(int i) { return HostOf<QlEHostString>(elems_[i]); }
  QlStringIo& Io(int i) { return *Host(i)->_qlIo; }
  QlUiEdit& Ui(int i) { return *Host(i)->_qlUi; }
  CConfirmEditCtrl* Edit(int id) { return DlgItem<CConfirmEditCtrl>(page_.get(), id); }
  std::string Shown(int id) { return TextOf(page_.get(), id); }

  std::unique_ptr<CDlgProtString> page_;
  std::vector<std::shared_ptr<UiElem>> elems_;
};

TEST_F(ProtStringTest, BindShowsTheStartTheLengthAndTheRange) {
  ASSERT_EQ(Io(1).address, "PLC1.4x[00010~00012]");
  EXPECT_EQ(Shown(CDlgProtString::IDC_ADDRESS), "PLC1.4x00010");
  EXPECT_EQ(Shown(CDlgProtString::IDC_LENGTH), "6");
  EXPECT_EQ(Shown(CDlgProtString::IDC_RANGE), "PLC1.4x[00010~00012]");
  auto* range = DlgItem<QLineEdit>(page_.get(), CDlgProtString::IDC_RANGE);
  EXPECT_TRUE(range->isReadOnly());
  EXPECT_FALSE(range->hasFrame());
  EXPECT_FALSE(DlgItem<QCheckBox>(page_.get(), CDlgProtString::IDC_READ_ONLY)->isChecked());
  EXPECT_EQ(DlgItem<QComboBox>(page_.get(), 1007)->currentText().toStdString(), "操作员");
  EXPECT_EQ(changes_, 0);

  Host(1)->_qlIo.reset();
  page_->Bind(elems_);
  EXPECT_EQ(Shown(CDlgProtString::IDC_ADDRESS), "");
  EXPECT_EQ(Shown(CDlgProtString::IDC_LENGTH), "2");
  EXPECT_EQ(Shown(CDlgProtString::IDC_RANGE), "");
}

TEST_F(ProtStringTest, AConfirmedStartGivesEveryBoxItsOwnRun) {
  TypeAndConfirm(Edit(CDlgProtString::IDC_ADDRESS), "PLC1.4x40");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(changes_, 1);
  // The start stays in its edit; the anchored range shows below.
  EXPECT_EQ(Shown(CDlgProtString::IDC_ADDRESS), "PLC1.4x00040");
  EXPECT_EQ(Shown(CDlgProtString::IDC_RANGE), "PLC1.4x[00040~00042]");
  const char* ranges[] = {"PLC1.4x[00040~00044]", "PLC1.4x[00040~00042]", "PLC1.4x[00040~00041]"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Io(i).address, ranges[i]) << i;
    EXPECT_EQ(Io(i).GetAddr().count, Io(i).length / 2) << i;
    EXPECT_NE(Io(i).GetReadTask(), nullptr) << i;
    EXPECT_TRUE(Io(i).forceRefresh) << i;
    EXPECT_FALSE(Ui(i).inError) << i;
  }
}

TEST_F(ProtStringTest, AStartThatRunsOutOfTheBlockMarksTheBoxInError) {
  // The first unit lies in the block, ten bytes from 4x98 do not.
  TypeAndConfirm(Edit(CDlgProtString::IDC_ADDRESS), "PLC1.4x98");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(Io(0).address, "PLC1.4x[00098~00102]");
  EXPECT_TRUE(Ui(0).inError);
  EXPECT_EQ(Ui(0).errorText, "读写地址异常或者不在数据列表中.");
  EXPECT_EQ(Io(1).address, "PLC1.4x[00098~00100]");
  EXPECT_TRUE(Ui(1).inError);
  EXPECT_EQ(Io(2).address, "PLC1.4x[00098~00099]");
  EXPECT_FALSE(Ui(2).inError);
}

TEST_F(ProtStringTest, RefusedStartsWriteNothing) {
  const std::pair<const char*, const char*> cases[] = {
      {"PLC9.4x1", "没有找到相应的节点"},
      {"PLC1.4x300", "不在预定义的数据块内"},
      {"", "格式错误"},
  };
  for (const auto& [text, message] : cases) {
    TypeAndConfirm(Edit(CDlgProtString::IDC_ADDRESS), text);
    EXPECT_EQ(TakeTip(), message) << text;
  }
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(Io(0).address, "PLC1.4x[00000~00004]");
}

TEST_F(ProtStringTest, AnAddressThatDoesNotBindKeepsTheOldOne) {
  EXPECT_FALSE(CDlgProtString::BindStartAddress(Io(0), "PLC9.4x1"));
  EXPECT_EQ(Io(0).address, "PLC1.4x[00000~00004]");
  EXPECT_FALSE(CDlgProtString::BindStartAddress(Io(0), "PLC1.4x500"));
  EXPECT_EQ(Io(0).address, "PLC1.4x[00000~00004]");
  EXPECT_NE(Io(0).GetReadTask(), nullptr);
  EXPECT_TRUE(CDlgProtString::BindStartAddress(Io(0), "PLC1.4x7"));
  EXPECT_EQ(Io(0).address, "PLC1.4x[00007~00011]");
}

TEST_F(ProtStringTest, AConfirmedLengthWidensEveryRunAtOnce) {
  TypeAndConfirm(Edit(CDlgProtString::IDC_LENGTH), "20");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(Shown(CDlgProtString::IDC_LENGTH), "20");
  EXPECT_EQ(Shown(CDlgProtString::IDC_RANGE), "PLC1.4x[00010~00019]");
  const char* ranges[] = {"PLC1.4x[00000~00009]", "PLC1.4x[00010~00019]", "PLC1.4x[00020~00029]"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Io(i).length, 20) << i;
    EXPECT_EQ(Io(i).address, ranges[i]) << i;
    EXPECT_TRUE(Io(i).forceRefresh) << i;
  }

  const std::pair<const char*, const char*> refused[] = {
      {"1", "[字符串长度] 数据必须在 2 ~ 100 之间."},
      {"101", "[字符串长度] 数据必须在 2 ~ 100 之间."},
      {"7", "字符长度必须是偶数."},
  };
  for (const auto& [text, message] : refused) {
    TypeAndConfirm(Edit(CDlgProtString::IDC_LENGTH), text);
    EXPECT_EQ(TakeTip(), message) << text;
  }
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(Io(0).length, 20);
}

TEST_F(ProtStringTest, ReadOnlyIsCheckedOnEveryBox) {
  for (int i = 0; i < 3; ++i) {
    Io(i).address = "PLC1.3x[00000~00001]";
    Host(i)->Revalidate();
    ASSERT_EQ(Ui(i).errorText, "地址无写入权限.");
  }
  page_->Bind(elems_);
  const std::string start = Shown(CDlgProtString::IDC_ADDRESS);
  Click(DlgItem<QCheckBox>(page_.get(), CDlgProtString::IDC_READ_ONLY));
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Io(i).readOnly) << i;
    EXPECT_FALSE(Ui(i).inError) << i;
  }
  EXPECT_EQ(changes_, 1);
  // No other control changes.
  EXPECT_EQ(Shown(CDlgProtString::IDC_ADDRESS), start);
  EXPECT_EQ(Shown(CDlgProtString::IDC_RANGE), "PLC1.3x[00000~00001]");
}

TEST_F(ProtStringTest, TheSharedLookGroupsWriteTheBoxRecords) {
  ui_.PushColour(0xABCDEF);
  QTest::mouseClick(DlgItem<NsWui::CColorButton>(page_.get(), 1026), Qt::LeftButton);
  auto* level = DlgItem<QComboBox>(page_.get(), 1007);
  level->setCurrentIndex(4);
  emit level->activated(4);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Ui(i).borderColor, 0xABCDEFu) << i;
    EXPECT_EQ(Ui(i).accessPermission, 100) << i;
  }
  EXPECT_EQ(changes_, 2);
}

}  // namespace
}  // namespace NsOvrin::Testing
