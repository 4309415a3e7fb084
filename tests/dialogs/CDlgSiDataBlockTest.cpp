#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "DeviceDbFixture.h"
#include "dialogs/CDlgSiDataBlock.h"
#include "wui/DlgItem.h"

namespace NsOvrin {
namespace {

using namespace NsTermination;
using NsWui::DlgItem;
using NsWui::UiCall;

BlockDescriptor Preset() {
  BlockDescriptor preset;
  preset.addr.kind = kKindWord;
  preset.interval = 1000;
  return preset;
}

class SiDataBlockTest : public Testing::DeviceDbFixture {
 protected:
  void SetUp() override {
    DeviceDbFixture::SetUp();
    ASSERT_TRUE(AddTcp("PLC1"));
    ASSERT_TRUE(AddRtu("FX1", kModelMitsFx));
    ASSERT_TRUE(AddUnmapped("无映射"));
  }

  // Opens the dialog for the node, types the three texts and presses OK.
  void Submit(const OneWayWrapper<Node>& node, const std::string& start,
              const std::string& length, const std::string& interval) {
    dlg_ = std::make_unique<CDlgSiDataBlock>(Preset(), node);
    dlg_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_.get()));
    EXPECT_EQ(dlg_->windowTitle(), QStringLiteral("新增数据块"));
    const std::pair<int, std::string> texts[] = {{CDlgSiDataBlock::IDC_START, start},
                                                 {CDlgSiDataBlock::IDC_LENGTH, length},
                                                 {CDlgSiDataBlock::IDC_INTERVAL, interval}};
    for (const auto& [id, text] : texts) {
      auto* edit = DlgItem<QLineEdit>(dlg_.get(), id);
      EXPECT_TRUE(edit->text().isEmpty());
      edit->setText(QString::fromStdString(text));
    }
    ui_.calls.clear();
    QTest::mouseClick(DlgItem<QPushButton>(dlg_.get(), CDlgSiDataBlock::IDC_OK), Qt::LeftButton);
  }
  bool Accepted() const { return !dlg_->isVisible() && dlg_->result() == QDialog::Accepted; }

  std::unique_ptr<CDlgSiDataBlock> dlg_;
};

struct Refusal {
  std::string node, start, length, interval;
  int id;
  std::string message;
};

TEST_F(SiDataBlockTest, EveryRefusalIsABalloonOnTheEditAtFault) {
  const Refusal cases[] = {
      {"", "4x1", "1", "100", 1000, "无效的节点."},
      {"无映射", "4x1", "1", "100", 1000, "系统错误"},
      {"PLC1", "", "1", "100", 1000, "格式错误"},
      {"PLC1", "5x1", "1", "100", 1000, "格式错误"},
      {"PLC1", "4x[10~5]", "1", "100", 1000, "起始或者结束地址异常"},
      {"PLC1", "4x70000", "1", "100", 1000, "起始或者结束地址异常"},
      {"FX1", "X8", "1", "100", 1000, "起始或者结束地址异常"},
      {"PLC1", "4x1", "", "100", 1002, "[长度] 输入不能为空！"},
      {"PLC1", "4x1", "0", "100", 1002, "[长度] 数据必须大于等于1."},
      {"PLC1", "4x1", "1a", "100", 1002, "[长度] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"PLC1", "4x1", "121", "100", 1002, "块长度异常"},
      {"PLC1", "0x1", "1921", "100", 1002, "块长度异常"},
      {"FX1", "D0", "33", "100", 1002, "块长度异常"},
      {"PLC1", "4x65500", "100", "100", 1002, "起始或者结束地址异常"},
      // 16 bits of 65537 would be a length of 1.
      {"PLC1", "4x1", "65537", "100", 1002, "起始或者结束地址异常"},
      {"PLC1", "4x1", "1", "", 1003, "[采样频率] 输入不能为空！"},
      {"PLC1", "4x1", "1", "-5", 1003, "[采样频率] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"PLC1", "4x1", "1", "+5", 1003, "[采样频率] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"PLC1", "4x1", "1", "1.5", 1003, "[采样频率] 请输入无符号类型的数字例如 (0， 100) 等等."},
      // 16 bits of 65536 would poll without pause.
      {"PLC1", "4x1", "1", "65536", 1003, "[采样频率] 数据必须小于等于65535."},
  };
  for (const Refusal& c : cases) {
    Submit(c.node.empty() ? OneWayWrapper<Node>() : Db().FindNode(c.node), c.start, c.length,
           c.interval);
    ASSERT_EQ(ui_.calls.size(), 1u) << c.node << " " << c.start << " " << c.length;
    const UiCall& call = ui_.calls[0];
    EXPECT_EQ(call.kind, UiCall::Kind::BalloonTip);
    EXPECT_EQ(call.widget, NsWui::GetDlgItem(dlg_.get(), c.id)) << c.start << " " << c.length;
    EXPECT_EQ(call.caption, "提示");
    EXPECT_EQ(call.text, c.message) << c.node << " " << c.start << " " << c.length;
    EXPECT_TRUE(dlg_->isVisible());
  }
}

TEST_F(SiDataBlockTest, ANodeThatWentAwayIsNoNode) {
  const OneWayWrapper<Node> node = Db().FindNode("PLC1");
  ASSERT_TRUE(Db().RemoveNode(ethernet_->GetHandle(), node));
  Submit(node, "4x1", "1", "100");
  ASSERT_EQ(ui_.calls.size(), 1u);
  EXPECT_EQ(ui_.calls[0].text, "无效的节点.");
}

TEST_F(SiDataBlockTest, AnAcceptedBlockHasTheTypedStartLengthAndInterval) {
  struct Case {
    std::string node, start, length, interval;
    std::string prefix;
    uint32_t start_;
    uint16_t count;
    uint32_t kind;
    uint16_t interval_;
  };
  const Case cases[] = {
      {"PLC1", "4x1", "120", "0", "4x", 1, 120, kKindWord, 0},
      {"PLC1", "0X10", "1920", "65535", "0x", 10, 1920, kKindBit, 65535},
      // The start text's own range gives way to the length.
      {"PLC1", "3x[5~9]", "2", "100", "3x", 5, 2, kKindWord, 100},
      // An FX bit block is widened to start on a whole byte.
      {"FX1", "X5", "3", "100", "X", 0, 8, kKindBit, 100},
      {"FX1", "M10", "6", "100", "M", 8, 8, kKindBit, 100},
      {"FX1", "D100", "32", "100", "D", 100, 32, kKindWord, 100},
  };
  for (const Case& c : cases) {
    Submit(Db().FindNode(c.node), c.start, c.length, c.interval);
    ASSERT_TRUE(ui_.calls.empty()) << c.start << ": " << ui_.calls[0].text;
    ASSERT_TRUE(Accepted()) << c.start;
    EXPECT_EQ(dlg_->block.addr.prefix, c.prefix) << c.start;
    EXPECT_EQ(dlg_->block.addr.start, c.start_) << c.start;
    EXPECT_EQ(dlg_->block.addr.count, c.count) << c.start;
    EXPECT_EQ(dlg_->block.addr.kind, c.kind) << c.start;
    EXPECT_EQ(dlg_->block.interval, c.interval_) << c.start;
  }
}

}  // namespace
}  // namespace NsOvrin
