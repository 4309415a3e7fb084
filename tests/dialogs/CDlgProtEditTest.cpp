#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "ProtPageFixture.h"
#include "dialogs/CDlgProtEdit.h"
#include "dialogs/OpacitySlider.h"
#include "editor/QlEHostEdit.h"
#include "wui/CColorButton.h"
#include "wui/CMtRadioButton.h"

namespace NsOvrin::Testing {
namespace {

using NsQlElemEditor::QlEHostEdit;
using NsQlElemIo::QlEditIo;
using NsQlUiElem::QlUiEdit;
using NsWui::CConfirmEditCtrl;
using NsWui::DlgItem;

TEST(LimitTextToRawTest, DecimalTextBecomesTheStoredRawValue) {
  struct Case {
    const char* text;
    uint8_t scale;
    uint32_t raw;
  };
  const Case cases[] = {
      {"1.239", 2, 123},
      {"12.345", 2, 1234},
      {"-1.5", 1, 0xFFFFFFF1u},  // -15
      {"12.7", 0, 12},
      {"150", 2, 15000},
      {"3", 3, 3000},
      {"+2.5", 2, 250},
      // Decimal digits, not a binary fraction: 0.29 is 29, not 28.
      {"0.29", 2, 29},
      {"4.35", 2, 435},
      {"1.1", 7, 11000000},
      {" -7", 0, 0xFFFFFFF9u},
      // Without decimals too the raw bits reach the unsigned maximum, and
      // below zero the signed minimum.
      {"3000000000", 0, 3000000000u},
      {"4294967295", 0, 0xFFFFFFFFu},
      {"4294967296", 0, 0xFFFFFFFFu},
      {"-3000000000", 0, 0x80000000u},
      // With decimals the raw bits reach the unsigned maximum, and stop there.
      {"300000000.0", 1, 3000000000u},
      {"99999999999999999999.5", 1, 0xFFFFFFFFu},
      {"-99999999999999999999", 2, 0x80000000u},
      {"abc", 2, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CDlgProtEdit::LimitTextToRaw(c.text, c.scale), c.raw) << c.text << " " << +c.scale;
  }
}

// Three number boxes on holding registers, each its own; the second anchored.
class ProtEditTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    int n = 0;
    elems_ = MakeSelection<QlEHostEdit>(3, 1, [&n] {
      auto host = std::make_shared<QlEHostEdit>(NsDx2d::D2D_POINT_2F{0.0f, 30.0f * n});
      QlUiEdit& ui = *host->_qlUi;
      ui.textBox.colour = 0x10u + n;
      ui.borderColor = 0x20u + n;
      ui.bkColor = 0x30u + n;
      ui.textBox.fontSize = 100 + 40 * n;
      ui.bkOpacity = 0.3f;
      ui.textBox.horizontalAlignment = static_cast<uint16_t>(2 - n);
      ui.accessPermission = n == 1 ? 2 : 0;
      QlEditIo& io = *host->_qlIo;
      io.dataType = n == 1 ? NsTermination::kTypeUInt32 : NsTermination::kTypeInt16;
      io.scale = static_cast<uint8_t>(n);
      io.minVal = 150;
      io.maxVal = 9000;
      io.enableMinVal = n == 1;
      io.address = "PLC1.4x" + std::to_string(n);
      host->Revalidate();
      host->_qlIo->forceRefresh = false;
      ++n;
      return host;
    });
    page_ = std::make_unique<CDlgProtEdit>();
    ShowPage(*page_, *page_);
    page_->Bind(elems_);
  }

  std::shared_ptr<QlEHostEdit> Host(int i) { return HostOf<QlEHostEdit>(elems_[i]); }
  QlEditIo& Io(int i) { return *Host(i)->_qlIo; }
  QlUiEdit& Ui(int i) { return *Host(i)->_qlUi; }
  template <class T>
  T* Item(int id) {
    return DlgItem<T>(page_.get(), id);
  }
  CConfirmEditCtrl* Edit(int id) { return Item<CConfirmEditCtrl>(id); }
  void Choose(int id, int index) {
    QComboBox* combo = Item<QComboBox>(id);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
  void ClearForceFlags() {
    for (int i = 0; i < 3; ++i) Io(i).forceRefresh = false;
  }
  void ExpectForced(bool forced) {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).forceRefresh, forced) << i;
  }

  std::unique_ptr<CDlgProtEdit> page_;
  std::vector<std::shared_ptr<UiElem>> elems_;
};

TEST_F(ProtEditTest, BindShowsTheAnchoredBox) {
  EXPECT_EQ(Item<NsWui::CColorButton>(1024)->swatchColour, 0x11u);
  EXPECT_EQ(Item<NsWui::CColorButton>(1026)->swatchColour, 0x21u);
  EXPECT_EQ(Item<NsWui::CColorButton>(1027)->swatchColour, 0x31u);
  EXPECT_EQ(Item<NsWui::CColorButton>(1026)->text().toStdString(), "边框颜色");
  EXPECT_EQ(Item<QComboBox>(1006)->currentText().toStdString(), "14");
  EXPECT_EQ(Item<QSlider>(1028)->value(), 30);
  EXPECT_EQ(Item<NsWui::CMtRadioButton>(1018)->currentIndex, 1);
  EXPECT_EQ(Item<QComboBox>(1007)->currentText().toStdString(), "工程师");
  EXPECT_EQ(Item<QComboBox>(CDlgProtEdit::IDC_DATA_TYPE)->currentText().toStdString(),
            "无符号 DWORD(32bits)");
  EXPECT_EQ(Item<QComboBox>(CDlgProtEdit::IDC_SCALE)->currentText().toStdString(), "1");
  EXPECT_FALSE(Item<QCheckBox>(CDlgProtEdit::IDC_READ_ONLY)->isChecked());
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_MIN), "15.0");
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_MAX), "900.0");
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_ADDRESS), "PLC1.4x00001");
  EXPECT_TRUE(Item<QCheckBox>(CDlgProtEdit::IDC_ENABLE_MIN)->isChecked());
  EXPECT_TRUE(Edit(CDlgProtEdit::IDC_MIN)->isEnabled());
  EXPECT_FALSE(Item<QCheckBox>(CDlgProtEdit::IDC_ENABLE_MAX)->isChecked());
  EXPECT_FALSE(Edit(CDlgProtEdit::IDC_MAX)->isEnabled());
  EXPECT_EQ(changes_, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).scale, i);
}

TEST_F(ProtEditTest, WithoutRecordAndBindingTheDefaultsShow) {
  Host(1)->_qlUi.reset();
  Host(1)->_qlIo.reset();
  page_->Bind(elems_);
  EXPECT_EQ(Item<NsWui::CColorButton>(1024)->swatchColour, 0u);
  EXPECT_EQ(Item<QComboBox>(1006)->currentText().toStdString(), "10");
  EXPECT_EQ(Item<QSlider>(1028)->value(), 100);
  EXPECT_EQ(Item<QComboBox>(1007)->currentText().toStdString(), "无");
  EXPECT_EQ(Item<QComboBox>(CDlgProtEdit::IDC_DATA_TYPE)->currentText().toStdString(),
            "有符号 WORD(16bits)");
  EXPECT_EQ(Item<QComboBox>(CDlgProtEdit::IDC_SCALE)->currentIndex(), 0);
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_MIN), "0");
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_MAX), "0");
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_ADDRESS), "");
  EXPECT_TRUE(Item<QCheckBox>(CDlgProtEdit::IDC_ENABLE_MIN)->isEnabled());
  EXPECT_FALSE(Edit(CDlgProtEdit::IDC_MIN)->isEnabled());
}

TEST_F(ProtEditTest, AConfirmedLimitIsScaledByTheAnchoredDecimals) {
  Choose(CDlgProtEdit::IDC_SCALE, 2);
  changes_ = 0;
  ClearForceFlags();
  TypeAndConfirm(Edit(CDlgProtEdit::IDC_MIN), "1.239");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_MIN), "1.23");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).minVal, 123) << i;
  ExpectForced(true);
  EXPECT_EQ(changes_, 1);

  Click(Item<QCheckBox>(CDlgProtEdit::IDC_ENABLE_MAX));
  Choose(CDlgProtEdit::IDC_SCALE, 1);
  // A signed anchored box takes a negative limit as its two's complement.
  Io(1).dataType = NsTermination::kTypeInt32;
  page_->Bind(elems_);
  TypeAndConfirm(Edit(CDlgProtEdit::IDC_MAX), "-1.5");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_MAX), "-1.5");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(static_cast<uint32_t>(Io(i).maxVal), 0xFFFFFFF1u) << i;
}

// The raw value written with that many decimals, as a user types it.
std::string LimitText(int64_t raw, int decimals) {
  std::string digits = std::to_string(raw < 0 ? -raw : raw);
  if (decimals > 0) {
    if (digits.size() <= static_cast<std::size_t>(decimals))
      digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    digits.insert(digits.size() - static_cast<std::size_t>(decimals), ".");
  }
  return (raw < 0 ? "-" : "") + digits;
}

// Every data type at every number of decimals: a limit at either end of
// what the type holds is kept and shown as typed, one step beyond either end
// is refused with the range of the type and changes nothing.
TEST_F(ProtEditTest, ALimitIsKeptInsideTheDataTypesRangeAndRefusedOutsideIt) {
  using NsTermination::kTypeBit;
  using NsTermination::kTypeInt16;
  using NsTermination::kTypeInt32;
  using NsTermination::kTypeUInt16;
  using NsTermination::kTypeUInt32;
  struct Range {
    uint16_t dataType;
    int64_t low, high;
  };
  const Range ranges[] = {
      {kTypeBit, 0, 1},
      {kTypeInt16, -32768, 32767},
      {kTypeUInt16, 0, 65535},
      {kTypeInt32, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()},
      {kTypeUInt32, 0, std::numeric_limits<uint32_t>::max()},
  };
  Click(Item<QCheckBox>(CDlgProtEdit::IDC_ENABLE_MAX));
  for (const Range& range : ranges) {
    for (uint8_t decimals = 0; decimals <= 7; ++decimals) {
      const std::string rangeMessage = "[最小值] 数据必须在 " + LimitText(range.low, decimals) +
                                       " ~ " + LimitText(range.high, decimals) + " 之间.";
      struct Row {
        int id;
        int64_t raw;
        bool inside;
      };
      const Row rows[] = {
          {CDlgProtEdit::IDC_MIN, range.low, true},
          {CDlgProtEdit::IDC_MAX, range.high, true},
          {CDlgProtEdit::IDC_MIN, range.low - 1, false},
          {CDlgProtEdit::IDC_MAX, range.high + 1, false},
          {CDlgProtEdit::IDC_MIN, range.high + 1, false},
          {CDlgProtEdit::IDC_MAX, range.low - 1, false},
      };
      for (const Row& row : rows) {
        const std::string text = LimitText(row.raw, decimals);
        SCOPED_TRACE(testing::Message() << "data type " << range.dataType << ", decimals "
                                        << +decimals << ", " << text);
        for (int i = 0; i < 3; ++i) {
          Io(i).minVal = 150;
          Io(i).maxVal = 9000;
        }
        Io(1).dataType = range.dataType;
        Io(1).scale = decimals;
        page_->Bind(elems_);
        const std::string before = TextOf(page_.get(), row.id);
        changes_ = 0;
        TypeAndConfirm(Edit(row.id), text);
        int32_t& stored = row.id == CDlgProtEdit::IDC_MIN ? Io(0).minVal : Io(0).maxVal;
        if (row.inside) {
          EXPECT_EQ(TakeTip(), "");
          EXPECT_EQ(TextOf(page_.get(), row.id), text);
          EXPECT_EQ(stored, static_cast<int32_t>(static_cast<uint32_t>(row.raw)));
          EXPECT_EQ(changes_, 1);
          // Every later look at the box shows it the same.
          page_->Bind(elems_);
          EXPECT_EQ(TextOf(page_.get(), row.id), text);
        } else {
          EXPECT_EQ(TakeTip(), rangeMessage);
          EXPECT_TRUE(Edit(row.id)->editing);
          EXPECT_EQ(stored, row.id == CDlgProtEdit::IDC_MIN ? 150 : 9000);
          EXPECT_EQ(changes_, 0);
          // Leaving the edit brings the stored limit back.
          Item<QComboBox>(1006)->setFocus();
          EXPECT_EQ(TextOf(page_.get(), row.id), before);
        }
      }
    }
  }
}

// A limit a file holds from before, beyond what the box's data type holds,
// reads as its stored bits, digit for digit.
TEST_F(ProtEditTest, AStoredLimitBeyondTheDataTypeReadsAsStored) {
  using NsTermination::kTypeInt16;
  using NsTermination::kTypeUInt16;
  using NsTermination::kTypeUInt32;
  struct Case {
    uint16_t dataType;
    uint8_t decimals;
    int32_t stored;
    const char* shown;
  };
  const Case cases[] = {
      // An unsigned box reads the two's complement of a negative limit.
      {kTypeUInt16, 0, -1, "4294967295"},
      {kTypeUInt32, 1, -15, "429496728.1"},
      {kTypeInt16, 2, 100000, "1000.00"},
      {kTypeUInt32, 7, -1, "429.4967295"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    Io(1).dataType = c.dataType;
    Io(1).scale = c.decimals;
    Io(1).minVal = c.stored;
    page_->Bind(elems_);
    EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_MIN), c.shown);
  }
}

TEST_F(ProtEditTest, RefusedLimitsNameTheMinimumRuleAndWriteNothing) {
  Click(Item<QCheckBox>(CDlgProtEdit::IDC_ENABLE_MAX));
  changes_ = 0;
  const std::pair<const char*, const char*> cases[] = {
      {"abc", "[最小值] 请输入浮点数类型的数字，例如 (0.213, -12.345) 等等."},
      {"1.", "[最小值] 请输入浮点数类型的数字，例如 (0.213, -12.345) 等等."},
      {"|5", "[最小值] 请输入浮点数类型的数字，例如 (0.213, -12.345) 等等."},
      {"", "[最小值] 输入不能为空！"},
  };
  for (const int id : {CDlgProtEdit::IDC_MIN, CDlgProtEdit::IDC_MAX}) {
    for (const auto& [text, message] : cases) {
      TypeAndConfirm(Edit(id), text);
      EXPECT_EQ(TakeTip(), message) << id << " " << text;
      EXPECT_TRUE(Edit(id)->editing);
    }
    // Leaving the edit puts the text from before editing back.
    Item<QComboBox>(1006)->setFocus();
    EXPECT_FALSE(Edit(id)->editing);
  }
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_MIN), "15.0");
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_MAX), "900.0");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Io(i).minVal, 150) << i;
    EXPECT_EQ(Io(i).maxVal, 9000) << i;
  }
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtEditTest, NewDecimalsReshowTheRawLimitsAndThePreview) {
  Choose(CDlgProtEdit::IDC_SCALE, 2);
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_MIN), "1.50");
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_MAX), "90.00");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Io(i).scale, 2) << i;
    EXPECT_EQ(Io(i).minVal, 150) << i;
    EXPECT_TRUE(Io(i).forceRefresh) << i;
    EXPECT_TRUE(Host(i)->IsPendingRefresh()) << i;
    // Design mode too: the next tick shows 0 with two decimals.
    EXPECT_TRUE(Host(i)->Refresh()) << i;
    EXPECT_EQ(Ui(i).textBox.text, "0.00") << i;
  }
}

TEST_F(ProtEditTest, ANewDataTypeIsCheckedAndLeavesTheLimitsAlone) {
  Io(0).dataType = NsTermination::kTypeBit;
  Host(0)->Check(nullptr);
  ASSERT_TRUE(Ui(0).inError);
  ClearForceFlags();

  Choose(CDlgProtEdit::IDC_DATA_TYPE, 2);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).dataType, NsTermination::kTypeInt32) << i;
  ExpectForced(true);
  EXPECT_FALSE(Ui(0).inError);
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_MIN), "15.0");
  EXPECT_EQ(changes_, 1);

  // A bit binding shows no data type.
  Io(1).dataType = NsTermination::kTypeBit;
  page_->Bind(elems_);
  EXPECT_EQ(Item<QComboBox>(CDlgProtEdit::IDC_DATA_TYPE)->currentIndex(), -1);
}

TEST_F(ProtEditTest, ReadOnlyDisablesTheLimitsAndChecksEveryBox) {
  // On input registers a box must be read-only.
  for (int i = 0; i < 3; ++i) {
    Io(i).address = "PLC1.3x" + std::to_string(i);
    Host(i)->Revalidate();
    ASSERT_EQ(Ui(i).errorText, "地址无写入权限.");
  }
  Click(Item<QCheckBox>(CDlgProtEdit::IDC_ENABLE_MAX));
  changes_ = 0;
  ClearForceFlags();

  Click(Item<QCheckBox>(CDlgProtEdit::IDC_READ_ONLY));
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Io(i).readOnly) << i;
    EXPECT_FALSE(Ui(i).inError) << i;
  }
  ExpectForced(true);
  EXPECT_EQ(changes_, 1);
  for (const int id : {CDlgProtEdit::IDC_ENABLE_MIN, CDlgProtEdit::IDC_ENABLE_MAX,
                       CDlgProtEdit::IDC_MIN, CDlgProtEdit::IDC_MAX}) {
    EXPECT_FALSE(Item<QWidget>(id)->isEnabled()) << id;
  }
  // Still showing which limits are on.
  EXPECT_TRUE(Item<QCheckBox>(CDlgProtEdit::IDC_ENABLE_MIN)->isChecked());

  Click(Item<QCheckBox>(CDlgProtEdit::IDC_READ_ONLY));
  EXPECT_TRUE(Ui(0).inError);
  EXPECT_TRUE(Item<QCheckBox>(CDlgProtEdit::IDC_ENABLE_MIN)->isEnabled());
  EXPECT_TRUE(Item<QCheckBox>(CDlgProtEdit::IDC_ENABLE_MAX)->isEnabled());
  EXPECT_TRUE(Edit(CDlgProtEdit::IDC_MIN)->isEnabled());
  EXPECT_TRUE(Edit(CDlgProtEdit::IDC_MAX)->isEnabled());
  EXPECT_EQ(changes_, 2);
}

TEST_F(ProtEditTest, TheLimitSwitchesEnableTheirEdit) {
  struct Case {
    int box;
    int edit;
    bool QlEditIo::*field;
  };
  const Case cases[] = {{CDlgProtEdit::IDC_ENABLE_MIN, CDlgProtEdit::IDC_MIN, &QlEditIo::enableMinVal},
                        {CDlgProtEdit::IDC_ENABLE_MAX, CDlgProtEdit::IDC_MAX, &QlEditIo::enableMaxVal}};
  int expected = 0;
  for (const Case& c : cases) {
    for (int round = 0; round < 2; ++round) {
      ClearForceFlags();
      Click(Item<QCheckBox>(c.box));
      const bool on = Item<QCheckBox>(c.box)->isChecked();
      for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).*c.field, on) << c.box << " " << i;
      EXPECT_EQ(Edit(c.edit)->isEnabled(), on) << c.box;
      ExpectForced(true);
      EXPECT_EQ(changes_, ++expected);
    }
  }
}

TEST_F(ProtEditTest, AddressesMustLieInADataBlockAndAreRebound) {
  const std::pair<const char*, const char*> refused[] = {
      {"PLC9.4x1", "没有找到相应的节点"},
      {"PLC1.4x500", "不在预定义的数据块内"},
      {"PLC1.qq", "格式错误"},
  };
  for (const auto& [text, message] : refused) {
    TypeAndConfirm(Edit(CDlgProtEdit::IDC_ADDRESS), text);
    EXPECT_EQ(TakeTip(), message) << text;
  }
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(Io(0).address, "PLC1.4x00000");

  ClearForceFlags();
  TypeAndConfirm(Edit(CDlgProtEdit::IDC_ADDRESS), "PLC1.4x5");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(TextOf(page_.get(), CDlgProtEdit::IDC_ADDRESS), "PLC1.4x00005");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Io(i).address, "PLC1.4x00005") << i;
    EXPECT_EQ(Io(i).GetAddr().start, 5u) << i;
    EXPECT_NE(Io(i).GetReadTask(), nullptr) << i;
    // Rebinding forces the next read; the page itself does not.
    EXPECT_TRUE(Io(i).forceRefresh) << i;
  }
  EXPECT_EQ(changes_, 1);
}

TEST_F(ProtEditTest, LookAndAccessLevelReachEveryBox) {
  ui_.PushColour(0x0000FF);
  QTest::mouseClick(Item<QPushButton>(1026), Qt::LeftButton);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).borderColor, 0x0000FFu) << i;
  ui_.PushColour(0x00FF00);
  QTest::mouseClick(Item<QPushButton>(1027), Qt::LeftButton);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).bkColor, 0x00FF00u) << i;
  ui_.PushColour(0xFF0000);
  QTest::mouseClick(Item<QPushButton>(1024), Qt::LeftButton);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).textBox.colour, 0xFF0000u) << i;
  EXPECT_EQ(changes_, 3);

  Choose(1006, 10);  // "20"
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).textBox.fontSize, 200) << i;
  Choose(1007, 3);  // "管理员"
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).accessPermission, 99) << i;
  EXPECT_EQ(changes_, 5);

  auto* slider = Item<OpacitySlider>(1028);
  slider->setValue(75);
  QTest::mouseRelease(slider, Qt::LeftButton);
  for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(Ui(i).bkOpacity, 0.75f) << i;

  auto* selector = Item<NsWui::CMtRadioButton>(1018);
  selector->Select(0, true);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).textBox.horizontalAlignment, 0) << i;
  EXPECT_EQ(changes_, 7);
}

}  // namespace
}  // namespace NsOvrin::Testing
