#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "FollowUpProbe.h"
#include "PageGroupsCheck.h"
#include "ProtPageFixture.h"
#include "dialogs/CDlgProtButton.h"
#include "dialogs/OpacitySlider.h"
#include "editor/QlEHostButton.h"
#include "wui/CColorButton.h"
#include "wui/MfcEditBrowse.h"

namespace NsOvrin::Testing {
namespace {

using NsQlElemEditor::QlEHostButton;
using NsQlElemIo::QlButtonIo;
using NsQlUiElem::QlUiButton;
using NsWui::CConfirmEditCtrl;
using NsWui::DlgItem;
using Page = CDlgProtButton;

TEST(ButtonTypeNameTest, SixTypesAndNothingElse) {
  const char* names[] = {"取反型按钮", "自复位型按钮", "设置ON按钮",
                         "设置OFF按钮", "设置值按钮",   "仅显示状态"};
  for (int32_t type = 0; type < 6; ++type) EXPECT_EQ(GetButtonTypeName(type), names[type]);
  EXPECT_EQ(GetButtonTypeName(-1), "");
  EXPECT_EQ(GetButtonTypeName(6), "");
}

// Three buttons on coils, each with its own settings. The second is
// anchored: a set-OFF button reading 0x1 and writing 0x2; the others are
// toggle buttons reading and writing one coil.
class ProtButtonTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    int n = 0;
    elems_ = MakeSelection<QlEHostButton>(3, 1, [&n] {
      auto host = std::make_shared<QlEHostButton>(NsDx2d::D2D_POINT_2F{0.0f, 40.0f * n});
      NsQlUiElem::QlUiButtonData& ui = host->_qlUi->data;
      ui.text = "关" + std::to_string(n);
      ui.text2 = "开" + std::to_string(n);
      ui.textColour = 0x10u + n;
      ui.textColour2 = 0x20u + n;
      ui.bkColour = 0x30u + n;
      ui.bkColour2 = 0x40u + n;
      ui.borderColour = 0x50u + n;
      ui.fontSize = 100 + 20 * n;
      ui.borderStyle = n;
      ui.bkOpacity = n == 1 ? 0.35f : 1.0f;
      ui.imageStyle = n == 1 ? 1 : 0;
      ui.imagePath = "/img/off" + std::to_string(n);
      ui.imagePath2 = "/img/on" + std::to_string(n);
      ui.holdDelay = static_cast<uint16_t>(5 * n + 10);
      ui.accessPermission = n == 1 ? 2 : 0;
      QlButtonIo& io = *host->_qlIo;
      if (n == 1) {
        io.buttonType = NsQlElemIo::kButtonSetOff;
        io.sameAsRead = false;
        io.readAddress = "PLC1.0x1";
        io.writeAddress = "PLC1.0x2";
      } else {
        io.readAddress = "PLC1.0x" + std::to_string(n + 5);
      }
      host->Revalidate();
      ++n;
      return host;
    });
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Ui(i).inError) << Ui(i).errorText;
    page_ = std::make_unique<Page>();
    ShowPage(*page_, *page_);
    page_->Bind(elems_);
  }

  std::unique_ptr<Page> page_;
  std::vector<std::shared_ptr<UiElem>> elems_;

 public:
  std::shared_ptr<QlEHostButton> Host(int i) { return HostOf<QlEHostButton>(elems_[i]); }
  QlButtonIo& Io(int i) { return *Host(i)->_qlIo; }
  QlUiButton& Ui(int i) { return *Host(i)->_qlUi; }
  NsQlUiElem::QlUiButtonData& Data(int i) { return Ui(i).data; }
  template <class T>
  T* Item(int id) {
    return DlgItem<T>(page_.get(), id);
  }
  CConfirmEditCtrl* Edit(int id) { return Item<CConfirmEditCtrl>(id); }
  std::string Shown(int id) { return TextOf(page_.get(), id); }
  std::string ComboText(int id) { return Item<QComboBox>(id)->currentText().toStdString(); }
  bool Visible(int id) { return Item<QWidget>(id)->isVisibleTo(page_.get()); }
  void Choose(int id, int index) {
    QComboBox* combo = Item<QComboBox>(id);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
  void ArmProbes() {
    for (int i = 0; i < 3; ++i) ArmFollowUpProbe(*Host(i));
  }
  void ExpectFollowUp(SeenFollowUp expected) {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ReadFollowUpProbe(*Host(i)), expected) << i;
  }
  void DisarmProbes() {
    for (int i = 0; i < 3; ++i) DisarmFollowUpProbe(*Host(i));
  }
};

TEST_F(ProtButtonTest, BindShowsTheAnchoredButtonAndWritesNothing) {
  EXPECT_EQ(Shown(Page::IDC_TEXT), "关1");
  EXPECT_EQ(Shown(Page::IDC_TEXT2), "开1");
  const std::pair<int, uint32_t> colours[] = {{Page::IDC_TEXT_COLOR, 0x11},
                                              {Page::IDC_TEXT_COLOR2, 0x21},
                                              {Page::IDC_BK_COLOR, 0x31},
                                              {Page::IDC_BK_COLOR2, 0x41},
                                              {Page::IDC_BORDER_COLOR, 0x51}};
  for (const auto& [id, colour] : colours) {
    EXPECT_EQ(Item<NsWui::CColorButton>(id)->swatchColour, colour) << id;
  }
  EXPECT_EQ(ComboText(Page::IDC_FONT_SIZE), "12");
  EXPECT_EQ(ComboText(Page::IDC_STYLE), "凸起按钮");
  EXPECT_EQ(Item<QSlider>(Page::IDC_OPACITY)->value(), 35);
  EXPECT_EQ(ComboText(Page::IDC_IMAGE_FIT), "拉伸平铺");
  EXPECT_EQ(Shown(Page::IDC_IMAGE), "/img/off1");
  EXPECT_EQ(Shown(Page::IDC_IMAGE2), "/img/on1");
  EXPECT_EQ(ComboText(Page::IDC_BUTTON_TYPE), "设置OFF按钮");
  EXPECT_EQ(Shown(Page::IDC_HOLD_DELAY), "1.5");
  EXPECT_TRUE(Edit(Page::IDC_HOLD_DELAY)->isEnabled());
  EXPECT_EQ(ComboText(Page::IDC_USER_LEVEL), "工程师");
  EXPECT_FALSE(Item<QCheckBox>(Page::IDC_CHECK3)->isChecked());
  EXPECT_TRUE(Item<QCheckBox>(Page::IDC_CHECK3)->isEnabled());
  EXPECT_EQ(Shown(Page::IDC_READ_ADDRESS), "PLC1.0x00001");
  EXPECT_EQ(Shown(Page::IDC_WRITE_ADDRESS), "PLC1.0x00002");
  EXPECT_TRUE(Edit(Page::IDC_READ_ADDRESS)->isEnabled());
  EXPECT_TRUE(Edit(Page::IDC_WRITE_ADDRESS)->isEnabled());
  // A bit button: no constant type, and the constant group hidden.
  EXPECT_EQ(Item<QComboBox>(Page::IDC_DATA_TYPE)->currentIndex(), -1);
  EXPECT_EQ(Shown(Page::IDC_PRESET), "");
  for (const int id : {Page::IDC_DATA_TYPE, Page::IDC_PRESET, Page::IDC_PRESET_LABEL}) {
    EXPECT_FALSE(Visible(id)) << id;
  }
  EXPECT_TRUE(Visible(Page::IDC_CAPTION_PRESET));
  EXPECT_EQ(Item<QLabel>(Page::IDC_HOLD_DELAY_LABEL)->text().toStdString(), "长按延时(秒):");
  EXPECT_EQ(Item<QLabel>(Page::IDC_PRESET_LABEL)->text().toStdString(), "写入值:");
  EXPECT_EQ(Item<QCheckBox>(Page::IDC_CHECK3)->text().toStdString(), "读写同一个地址");
  EXPECT_FALSE(page_->loading);

  EXPECT_EQ(changes_, 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Data(i).text, "关" + std::to_string(i)) << i;
    EXPECT_EQ(Data(i).imagePath, "/img/off" + std::to_string(i)) << i;
    EXPECT_EQ(Data(i).accessPermission, i == 1 ? 2 : 0) << i;
  }
  ExpectGroups(*page_, {1050, 1051, 1052, 1053, 1054, 1058, 1060, 1062},
               {{1047, "按钮类型"}, {1048, "通用"}, {1049, "OFF"}, {1055, "ON"},
                {1056, "读写地址"}, {1057, "安全"}, {1059, "写入常量"}, {1061, "可见性"}});
}

TEST_F(ProtButtonTest, WithoutRecordAndBindingTheDefaultsShow) {
  Host(1)->_qlUi.reset();
  Host(1)->_qlIo.reset();
  page_->Bind(elems_);
  EXPECT_EQ(Shown(Page::IDC_TEXT), "");
  EXPECT_EQ(Shown(Page::IDC_TEXT2), "");
  for (const int id : {Page::IDC_TEXT_COLOR, Page::IDC_TEXT_COLOR2, Page::IDC_BK_COLOR,
                       Page::IDC_BK_COLOR2, Page::IDC_BORDER_COLOR}) {
    EXPECT_EQ(Item<NsWui::CColorButton>(id)->swatchColour, 0u) << id;
  }
  EXPECT_EQ(ComboText(Page::IDC_FONT_SIZE), "10");
  EXPECT_EQ(ComboText(Page::IDC_STYLE), "平面按钮");
  EXPECT_EQ(Item<QSlider>(Page::IDC_OPACITY)->value(), 100);
  EXPECT_EQ(ComboText(Page::IDC_IMAGE_FIT), "实际尺寸");
  EXPECT_EQ(Shown(Page::IDC_IMAGE), "");
  EXPECT_EQ(ComboText(Page::IDC_BUTTON_TYPE), "取反型按钮");
  EXPECT_EQ(Shown(Page::IDC_HOLD_DELAY), "0.0");
  EXPECT_EQ(ComboText(Page::IDC_USER_LEVEL), "无");
  EXPECT_FALSE(Item<QCheckBox>(Page::IDC_CHECK3)->isChecked());
  EXPECT_EQ(Shown(Page::IDC_READ_ADDRESS), "");
  EXPECT_EQ(Shown(Page::IDC_WRITE_ADDRESS), "");
  EXPECT_TRUE(Edit(Page::IDC_WRITE_ADDRESS)->isEnabled());
  EXPECT_EQ(ComboText(Page::IDC_DATA_TYPE), "有符号 WORD(16bits)");
  EXPECT_EQ(Shown(Page::IDC_PRESET), "0");
  EXPECT_EQ(changes_, 0);

  // Edits pass over the button that lacks the part they write.
  QLineEdit* edit = Item<QLineEdit>(Page::IDC_TEXT);
  edit->setFocus();
  QTest::keyClicks(edit, QStringLiteral("x"));
  EXPECT_EQ(Data(0).text, "x");
  EXPECT_EQ(Data(2).text, "x");
  Choose(Page::IDC_BUTTON_TYPE, 2);
  EXPECT_EQ(Io(0).buttonType, 2);
  EXPECT_EQ(Io(2).buttonType, 2);
  EXPECT_EQ(changes_, 2);
}

TEST_F(ProtButtonTest, EachButtonTypeSetsTheBindingAndTheControlsItUses) {
  struct Case {
    int type;
    bool constant;      // 1011, 1002 and "写入值:" shown
    bool checkEnabled;  // 1010
    bool checkChecked;
    bool readEnabled;
    bool writeEnabled;
    bool holdEnabled;
    uint16_t dataType;
  };
  const Case cases[] = {
      {0, false, true, false, true, true, true, 1},
      {1, false, false, false, false, true, false, 1},
      {2, false, true, false, true, true, true, 1},
      {3, false, true, false, true, true, true, 1},
      {4, true, true, false, true, true, true, 4},
      {5, false, false, true, true, false, false, 1},
  };
  int expectedChanges = 0;
  for (const Case& c : cases) {
    // Every case starts from buttons with their own read and write address.
    for (int i = 0; i < 3; ++i) Io(i).sameAsRead = false;
    ArmProbes();
    Choose(Page::IDC_BUTTON_TYPE, c.type);
    EXPECT_EQ(changes_, ++expectedChanges) << c.type;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Io(i).buttonType, c.type) << c.type << " " << i;
      EXPECT_EQ(Io(i).dataType, c.dataType) << c.type << " " << i;
    }
    ExpectFollowUp(SeenFollowUp::Revalidate);
    DisarmProbes();
    for (const int id : {Page::IDC_DATA_TYPE, Page::IDC_PRESET, Page::IDC_PRESET_LABEL}) {
      EXPECT_EQ(Visible(id), c.constant) << c.type << " " << id;
    }
    auto* check = Item<QCheckBox>(Page::IDC_CHECK3);
    EXPECT_EQ(check->isEnabled(), c.checkEnabled) << c.type;
    EXPECT_EQ(check->isChecked(), c.checkChecked) << c.type;
    EXPECT_EQ(Edit(Page::IDC_READ_ADDRESS)->isEnabled(), c.readEnabled) << c.type;
    EXPECT_EQ(Edit(Page::IDC_WRITE_ADDRESS)->isEnabled(), c.writeEnabled) << c.type;
    EXPECT_EQ(Edit(Page::IDC_HOLD_DELAY)->isEnabled(), c.holdEnabled) << c.type;
    EXPECT_EQ(Shown(Page::IDC_WRITE_ADDRESS), "PLC1.0x00002") << c.type;
  }
  // The display-only check box shows one address without changing the
  // binding; its own binding reads and writes the read address.
  EXPECT_TRUE(Io(1).sameAsRead);
  EXPECT_EQ(Io(1).readAddress, "PLC1.0x00001");
}

TEST_F(ProtButtonTest, ASetValueButtonKeepsTheChosenConstantType) {
  // The anchored bit button shows no constant type: choosing "设置值按钮"
  // stores the unsigned word but leaves the list without a choice.
  Choose(Page::IDC_BUTTON_TYPE, NsQlElemIo::kButtonSetValue);
  EXPECT_EQ(Io(1).dataType, NsTermination::kTypeUInt16);
  EXPECT_EQ(Item<QComboBox>(Page::IDC_DATA_TYPE)->currentIndex(), -1);
  TypeAndConfirm(Edit(Page::IDC_PRESET), "5");
  EXPECT_EQ(TakeTip(), "请先选择数据类型.");
  EXPECT_TRUE(Edit(Page::IDC_PRESET)->editing);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).presetValue, 0u) << i;
  EXPECT_EQ(changes_, 1);

  // Back to a toggle button: a bit again, the constant group hidden.
  Choose(Page::IDC_BUTTON_TYPE, NsQlElemIo::kButtonToggle);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).dataType, NsTermination::kTypeBit) << i;
  EXPECT_FALSE(Visible(Page::IDC_PRESET));

  // A set-value button of double words shows its type; switching the
  // button type away and back keeps the list's choice.
  Io(1).buttonType = NsQlElemIo::kButtonSetValue;
  Io(1).dataType = NsTermination::kTypeInt32;
  page_->Bind(elems_);
  EXPECT_TRUE(Visible(Page::IDC_PRESET));
  EXPECT_EQ(ComboText(Page::IDC_DATA_TYPE), "有符号 DWORD(32bits)");
  Choose(Page::IDC_BUTTON_TYPE, NsQlElemIo::kButtonToggle);
  Choose(Page::IDC_BUTTON_TYPE, NsQlElemIo::kButtonSetValue);
  EXPECT_EQ(Io(1).dataType, NsTermination::kTypeUInt16);
  EXPECT_EQ(ComboText(Page::IDC_DATA_TYPE), "有符号 DWORD(32bits)");
}

TEST_F(ProtButtonTest, PresetValuesByTheChosenDataType) {
  Io(1).buttonType = NsQlElemIo::kButtonSetValue;
  page_->Bind(elems_);
  struct Case {
    int typeIndex;  // in 1011: 0 signed word, 1 unsigned word, 2 signed and 3 unsigned dword
    const char* text;
    const char* message;  // null: accepted
    uint32_t stored;
    const char* shownAgain;
  };
  const Case cases[] = {
      {0, "-32768", nullptr, 0x8000u, "-32768"},
      {0, "-5", nullptr, 0xFFFBu, "-5"},
      {0, "+7", nullptr, 7u, "7"},
      {0, "32768", "[预设值] 数据必须在 -32768 ~ 32767 之间.", 0, nullptr},
      {0, "1.5", "[预设值] 请输入整数类型的数字例如 (100, -100) 等等.", 0, nullptr},
      {1, "65535", nullptr, 0xFFFFu, "65535"},
      {1, "-1", "[预设值] 请输入无符号类型的数字例如 (0， 100) 等等.", 0, nullptr},
      {1, "65536", "[预设值] 数据必须在 0 ~ 65535 之间.", 0, nullptr},
      {2, "-2147483648", nullptr, 0x80000000u, "-2147483648"},
      {2, "2147483648", "[预设值] 数据必须在 -2147483648 ~ 2147483647 之间.", 0, nullptr},
      {3, "4294967295", nullptr, 0xFFFFFFFFu, "4294967295"},
      {3, "4294967296", "[预设值] 数据必须在 0 ~ 4294967295 之间.", 0, nullptr},
      {3, "", "[预设值] 请输入无符号类型的数字例如 (0， 100) 等等.", 0, nullptr},
  };
  const uint16_t flags[] = {2, 4, 8, 16};
  for (const Case& c : cases) {
    for (int i = 0; i < 3; ++i) Io(i).presetValue = 12345;
    Choose(Page::IDC_DATA_TYPE, c.typeIndex);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).dataType, flags[c.typeIndex]) << c.text;
    changes_ = 0;
    TypeAndConfirm(Edit(Page::IDC_PRESET), c.text);
    if (c.message != nullptr) {
      EXPECT_EQ(TakeTip(), c.message) << c.text;
      for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).presetValue, 12345u) << c.text;
      EXPECT_EQ(changes_, 0) << c.text;
      // Leaving the edit gives up the refused text.
      Item<QWidget>(Page::IDC_TEXT)->setFocus();
      continue;
    }
    EXPECT_EQ(TakeTip(), "") << c.text;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).presetValue, c.stored) << c.text << " " << i;
    EXPECT_EQ(changes_, 1) << c.text;
    page_->Bind(elems_);
    EXPECT_EQ(Shown(Page::IDC_PRESET), c.shownAgain) << c.text;
  }
}

TEST_F(ProtButtonTest, ChoosingTheConstantTypeChecksAndShowsTheValueAnew) {
  Io(1).buttonType = NsQlElemIo::kButtonSetValue;
  Io(1).dataType = NsTermination::kTypeUInt32;
  Io(1).presetValue = 0xFFFFFFFEu;
  page_->Bind(elems_);
  EXPECT_EQ(Shown(Page::IDC_PRESET), "4294967294");
  const std::pair<int, const char*> cases[] = {
      {0, "-2"}, {1, "65534"}, {2, "-2"}, {3, "4294967294"}};
  for (const auto& [index, shown] : cases) {
    ArmProbes();
    Choose(Page::IDC_DATA_TYPE, index);
    EXPECT_EQ(Shown(Page::IDC_PRESET), shown) << index;
    ExpectFollowUp(SeenFollowUp::Check);
  }
  EXPECT_EQ(changes_, 4);
}

TEST_F(ProtButtonTest, ReadAddressesAreCheckedByTheAnchoredButton) {
  struct Case {
    int type;
    const char* text;
    const char* message;  // null: accepted
  };
  const Case cases[] = {
      {0, "", "读写地址不能为空."},
      {0, "  ", "读写地址不能为空."},
      {5, "", "读写地址不能为空."},
      {1, "", nullptr},
      {2, " ", nullptr},
      {4, "", nullptr},
      {0, "PLC9.0x1", "没有找到相应的节点"},
      {0, "PLC1.zz1", "格式错误"},
      // The anchored button's read address is parsed: the data blocks count.
      {0, "PLC1.0x100", "不在预定义的数据块内"},
      {3, "PLC1.0x3", nullptr},
  };
  for (const Case& c : cases) {
    Io(1).buttonType = c.type;
    std::string message = "untouched";
    EXPECT_EQ(page_->ValidateReadAddress(c.text, message), c.message == nullptr)
        << c.type << " " << c.text;
    EXPECT_EQ(message, c.message ? c.message : "untouched") << c.type << " " << c.text;
  }
  // Without a parsed read address the data blocks are not asked.
  Io(1).readAddress.clear();
  Host(1)->Revalidate();
  std::string message;
  EXPECT_TRUE(page_->ValidateReadAddress("PLC1.0x100", message)) << message;

  // A button without binding needs an address.
  Host(1)->_qlIo.reset();
  EXPECT_FALSE(page_->ValidateReadAddress("", message));
  EXPECT_EQ(message, "读写地址不能为空.");
  // Without an anchored element nothing is accepted.
  elems_[1]->host.reset();
  page_->Bind(elems_);
  EXPECT_FALSE(page_->ValidateReadAddress("PLC1.0x3", message));
  EXPECT_EQ(message, "系统错误: 无效的控件.");
}

TEST_F(ProtButtonTest, AConfirmedReadAddressIsNormalizedAndBoundOnEveryButton) {
  TypeAndConfirm(Edit(Page::IDC_READ_ADDRESS), "PLC9.0x1");
  EXPECT_EQ(TakeTip(), "没有找到相应的节点");
  EXPECT_EQ(changes_, 0);
  Item<QWidget>(Page::IDC_TEXT)->setFocus();
  EXPECT_EQ(Shown(Page::IDC_READ_ADDRESS), "PLC1.0x00001");

  TypeAndConfirm(Edit(Page::IDC_READ_ADDRESS), "PLC1.0x3");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(Shown(Page::IDC_READ_ADDRESS), "PLC1.0x00003");
  EXPECT_EQ(changes_, 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Io(i).readAddress, "PLC1.0x00003") << i;
    EXPECT_EQ(Io(i).GetReadAddr().count, 1) << i;
    EXPECT_NE(Io(i).GetReadTask(), nullptr) << i;
  }
  EXPECT_EQ(Io(1).writeAddress, "PLC1.0x00002");
}

TEST_F(ProtButtonTest, WriteAddressesNeedADeviceButNoDataBlock) {
  const std::pair<const char*, const char*> refused[] = {
      {"PLC9.0x1", "没有找到相应的节点"},
      {"PLC1.zz1", "格式错误"},
  };
  for (const auto& [text, message] : refused) {
    TypeAndConfirm(Edit(Page::IDC_WRITE_ADDRESS), text);
    EXPECT_EQ(TakeTip(), message) << text;
  }
  std::string message;
  EXPECT_FALSE(Page::ValidateWriteAddress("", message));
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(changes_, 0);

  // Outside every data block, still a coil of the device.
  TypeAndConfirm(Edit(Page::IDC_WRITE_ADDRESS), "PLC1.0x100");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(Shown(Page::IDC_WRITE_ADDRESS), "PLC1.0x00100");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Io(i).writeAddress, "PLC1.0x00100") << i;
    EXPECT_EQ(Io(i).GetWriteAddr().count, 1) << i;
  }
  // The anchored button reads and writes two addresses: the read ones stay.
  EXPECT_EQ(Io(0).readAddress, "PLC1.0x00005");
  EXPECT_EQ(Io(1).readAddress, "PLC1.0x00001");
  EXPECT_EQ(changes_, 1);
}

TEST_F(ProtButtonTest, AMomentaryButtonOnOneAddressWritesItAsTheReadAddressOfAll) {
  Io(1).buttonType = NsQlElemIo::kButtonMomentary;
  Io(1).sameAsRead = true;
  Io(0).sameAsRead = false;
  Io(2).sameAsRead = false;
  page_->Bind(elems_);
  // It shows its read address as the one it writes.
  EXPECT_EQ(Shown(Page::IDC_WRITE_ADDRESS), "PLC1.0x00001");
  EXPECT_TRUE(Edit(Page::IDC_WRITE_ADDRESS)->isEnabled());
  EXPECT_FALSE(Edit(Page::IDC_READ_ADDRESS)->isEnabled());
  EXPECT_FALSE(Item<QCheckBox>(Page::IDC_CHECK3)->isEnabled());
  EXPECT_TRUE(Item<QCheckBox>(Page::IDC_CHECK3)->isChecked());

  TypeAndConfirm(Edit(Page::IDC_WRITE_ADDRESS), "PLC1.0x7");
  EXPECT_EQ(TakeTip(), "");
  for (int i = 0; i < 3; ++i) {
    // Decided by the anchored button for every one of them.
    EXPECT_EQ(Io(i).readAddress, "PLC1.0x00007") << i;
    EXPECT_EQ(Io(i).writeAddress, "PLC1.0x00007") << i;
    EXPECT_EQ(Io(i).GetReadAddr().count, 1) << i;
  }
  EXPECT_EQ(changes_, 1);
}

TEST_F(ProtButtonTest, OneAddressForBothIsCheckedOnEveryButton) {
  auto* same = Item<QCheckBox>(Page::IDC_CHECK3);
  ArmProbes();
  Click(same);
  EXPECT_TRUE(same->isChecked());
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Io(i).sameAsRead) << i;
  ExpectFollowUp(SeenFollowUp::Check);
  EXPECT_FALSE(Edit(Page::IDC_WRITE_ADDRESS)->isEnabled());
  // The write edit keeps its text.
  EXPECT_EQ(Shown(Page::IDC_WRITE_ADDRESS), "PLC1.0x00002");
  Click(same);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(Io(i).sameAsRead) << i;
  EXPECT_TRUE(Edit(Page::IDC_WRITE_ADDRESS)->isEnabled());
  EXPECT_EQ(changes_, 2);
}

TEST_F(ProtButtonTest, HoldDelaysAreTypedInSecondsAndStoredInTenths) {
  struct Case {
    const char* text;
    const char* message;  // null: accepted
    uint16_t stored;
    const char* shownAgain;
  };
  const Case cases[] = {
      {"10", nullptr, 100, "10.0"},
      {"2.25", nullptr, 23, "2.3"},
      {"0", nullptr, 0, "0.0"},
      {"0.04", nullptr, 0, "0.0"},
      {"10.1", "[长按延时] 数据必须在 0.0 ~ 10.0 之间.", 0, nullptr},
      {"-1", "[长按延时] 数据必须在 0.0 ~ 10.0 之间.", 0, nullptr},
      {"1,5", "[长按延时] 请输入浮点数类型的数字，例如 (0.213, -12.345) 等等.", 0, nullptr},
  };
  for (const Case& c : cases) {
    for (int i = 0; i < 3; ++i) Data(i).holdDelay = 77;
    changes_ = 0;
    TypeAndConfirm(Edit(Page::IDC_HOLD_DELAY), c.text);
    if (c.message != nullptr) {
      EXPECT_EQ(TakeTip(), c.message) << c.text;
      for (int i = 0; i < 3; ++i) EXPECT_EQ(Data(i).holdDelay, 77) << c.text;
      EXPECT_EQ(changes_, 0);
      Item<QWidget>(Page::IDC_TEXT)->setFocus();
      continue;
    }
    EXPECT_EQ(TakeTip(), "") << c.text;
    // The edit keeps what was typed until the next bind.
    EXPECT_EQ(Shown(Page::IDC_HOLD_DELAY), c.text);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Data(i).holdDelay, c.stored) << c.text << " " << i;
    EXPECT_EQ(changes_, 1);
    page_->Bind(elems_);
    EXPECT_EQ(Shown(Page::IDC_HOLD_DELAY), c.shownAgain) << c.text;
  }
  // Without an anchored element nothing is accepted.
  elems_[1]->host.reset();
  page_->Bind(elems_);
  std::string message;
  EXPECT_FALSE(page_->ValidateHoldDelay("1", message));
  EXPECT_EQ(message, "系统错误: 无效的控件.");
}

TEST_F(ProtButtonTest, EveryKeystrokeRenamesTheOffAndOnTextsOfAllButtons) {
  struct Case {
    int id;
    std::string NsQlUiElem::QlUiButtonData::*field;
  };
  const Case cases[] = {{Page::IDC_TEXT, &NsQlUiElem::QlUiButtonData::text},
                        {Page::IDC_TEXT2, &NsQlUiElem::QlUiButtonData::text2}};
  int expectedChanges = 0;
  for (const Case& c : cases) {
    QLineEdit* edit = Item<QLineEdit>(c.id);
    const std::string start = edit->text().toStdString();
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, QStringLiteral("AB"));
    expectedChanges += 2;
    EXPECT_EQ(changes_, expectedChanges);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Data(i).*c.field, start + "AB") << c.id << " " << i;
  }
  // Binding another selection writes nothing.
  auto others = MakeSelection<QlEHostButton>(
      1, 0, [] { return std::make_shared<QlEHostButton>(NsDx2d::D2D_POINT_2F{}); });
  page_->Bind(others);
  page_->Bind(elems_);
  EXPECT_EQ(Data(0).text, "关1AB");
  EXPECT_EQ(HostOf<QlEHostButton>(others[0])->_qlUi->data.text, "OFF");
  EXPECT_EQ(changes_, expectedChanges);
}

TEST_F(ProtButtonTest, ColoursChosenGoToEveryButton) {
  using ButtonData = NsQlUiElem::QlUiButtonData;
  const std::pair<int, uint32_t ButtonData::*> cases[] = {
      {Page::IDC_TEXT_COLOR, &ButtonData::textColour},
      {Page::IDC_TEXT_COLOR2, &ButtonData::textColour2},
      {Page::IDC_BK_COLOR, &ButtonData::bkColour},
      {Page::IDC_BK_COLOR2, &ButtonData::bkColour2},
      {Page::IDC_BORDER_COLOR, &ButtonData::borderColour}};
  int expectedChanges = 0;
  for (const auto& [id, field] : cases) {
    ui_.PushColour(0xABCDEF);
    QTest::mouseClick(Item<QPushButton>(id), Qt::LeftButton);
    EXPECT_EQ(changes_, ++expectedChanges) << id;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Data(i).*field, 0xABCDEFu) << id << " " << i;
    // The colour they all have now is still written and reported.
    ui_.PushColour(0xABCDEF);
    QTest::mouseClick(Item<QPushButton>(id), Qt::LeftButton);
    EXPECT_EQ(changes_, ++expectedChanges) << id;
  }
}

TEST_F(ProtButtonTest, ListsWriteTheirChoiceWithTheirFollowUp) {
  struct Case {
    int id;
    int index;
    SeenFollowUp followUp;
    std::function<bool(ProtButtonTest&, int)> written;
  };
  const Case cases[] = {
      {Page::IDC_FONT_SIZE, 4, SeenFollowUp::None,
       [](ProtButtonTest& t, int i) { return t.Data(i).fontSize == 120; }},
      {Page::IDC_FONT_SIZE, 17, SeenFollowUp::None,
       [](ProtButtonTest& t, int i) { return t.Data(i).fontSize == 420; }},
      {Page::IDC_IMAGE_FIT, 1, SeenFollowUp::None,
       [](ProtButtonTest& t, int i) { return t.Data(i).imageStyle == 1; }},
      {Page::IDC_USER_LEVEL, 3, SeenFollowUp::Revalidate,
       [](ProtButtonTest& t, int i) { return t.Data(i).accessPermission == 99; }},
      {Page::IDC_USER_LEVEL, 0, SeenFollowUp::Revalidate,
       [](ProtButtonTest& t, int i) { return t.Data(i).accessPermission == 0; }},
      {Page::IDC_STYLE, 4, SeenFollowUp::None,
       [](ProtButtonTest& t, int i) {
         return t.Data(i).borderStyle == 4 && t.Ui(i).painter.style == 4;
       }},
  };
  int expectedChanges = 0;
  for (const Case& c : cases) {
    ArmProbes();
    Choose(c.id, c.index);
    EXPECT_EQ(changes_, ++expectedChanges) << c.id << " " << c.index;
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(c.written(*this, i)) << c.id << " " << c.index << " " << i;
    ExpectFollowUp(c.followUp);
    DisarmProbes();
    for (int i = 0; i < 3; ++i) ASSERT_FALSE(Ui(i).inError) << Ui(i).errorText;
  }
}

TEST_F(ProtButtonTest, TheShapeFollowsTheStyleInTheStateShown) {
  // Online, the button shows ON (state 2): a flat button in that state is
  // drawn with the pressed shape, not the OFF one.
  for (int i = 0; i < 3; ++i) Ui(i).SetState(i == 0 ? 0 : 2);
  Choose(Page::IDC_STYLE, 0);
  EXPECT_EQ(Ui(0).painter.style, 0);
  EXPECT_EQ(Ui(1).painter.style, QlUiButton::PainterStyleFor(0, 2));
  EXPECT_EQ(Ui(2).painter.style, QlUiButton::PainterStyleFor(0, 2));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Data(i).borderStyle, 0) << i;
  // Nothing is chosen without an item.
  auto* style = Item<QComboBox>(Page::IDC_STYLE);
  style->setCurrentIndex(-1);
  emit style->activated(-1);
  EXPECT_EQ(changes_, 1);
}

TEST_F(ProtButtonTest, PicturesAreSetAndEmptiedOnEveryButton) {
  struct Case {
    int edit;
    int clear;
    std::string NsQlUiElem::QlUiButtonData::*field;
  };
  const Case cases[] = {
      {Page::IDC_IMAGE, Page::IDC_CLEAR_IMAGE, &NsQlUiElem::QlUiButtonData::imagePath},
      {Page::IDC_IMAGE2, Page::IDC_CLEAR_IMAGE2, &NsQlUiElem::QlUiButtonData::imagePath2}};
  for (const Case& c : cases) {
    auto* browse = Item<NsWui::MfcEditBrowse>(c.edit);
    EXPECT_EQ(browse->GetMode(), NsWui::MfcEditBrowse::Mode::File);
    // Browsing fills the edit, whose change is the edit.
    changes_ = 0;
    ArmProbes();
    ui_.PushPath(std::string("/pics/lamp.png"));
    browse->OnBrowse();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Data(i).*c.field, "/pics/lamp.png") << c.edit << " " << i;
    ExpectFollowUp(SeenFollowUp::Check);
    EXPECT_EQ(changes_, 1);

    QTest::mouseClick(Item<QPushButton>(c.clear), Qt::LeftButton);
    EXPECT_EQ(Shown(c.edit), "");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Data(i).*c.field, "") << c.edit << " " << i;
    EXPECT_EQ(changes_, 2);

    // The anchored button has no picture while another still has one: "X"
    // empties that one too.
    Data(2).*c.field = "/pics/other.png";
    QTest::mouseClick(Item<QPushButton>(c.clear), Qt::LeftButton);
    EXPECT_EQ(Data(2).*c.field, "");
    EXPECT_EQ(changes_, 3);
  }
}

TEST_F(ProtButtonTest, TheOpacityTakesEffectWhenTheMouseIsReleased) {
  auto* slider = Item<OpacitySlider>(Page::IDC_OPACITY);
  slider->setValue(35);
  EXPECT_EQ(changes_, 0);
  QTest::mouseRelease(slider, Qt::LeftButton);
  for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(Data(i).bkOpacity, 0.35f) << i;
  EXPECT_EQ(changes_, 1);
}

TEST_F(ProtButtonTest, AMissingCheckBoxIsReportedAndTheRestHandled) {
  delete Item<QCheckBox>(Page::IDC_CHECK3);
  Choose(Page::IDC_BUTTON_TYPE, NsQlElemIo::kButtonDisplayOnly);
  EXPECT_EQ(ui_.MessageTexts(), (std::vector<std::string>{"无效的 Item id: IDC_CHECK3."}));
  const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "提示");
  EXPECT_EQ(boxes[0].type, NsWui::MB_ICONERROR);
  EXPECT_FALSE(Edit(Page::IDC_WRITE_ADDRESS)->isEnabled());
  EXPECT_TRUE(Edit(Page::IDC_READ_ADDRESS)->isEnabled());
}

TEST_F(ProtButtonTest, TheVisibilityBlockEditsTheButtonBindings) {
  Io(1).GetBaseIoData()->enableVisib = true;
  Io(1).GetBaseIoData()->addressForVisib = "PLC1.0x00004";
  page_->Bind(elems_);
  EXPECT_TRUE(Item<QCheckBox>(VisibilityBlock::IDC_ENABLE)->isChecked());
  EXPECT_EQ(Shown(VisibilityBlock::IDC_ADDRESS), "PLC1.0x00004");
  TypeAndConfirm(Edit(VisibilityBlock::IDC_ADDRESS), "PLC1.0x5");
  EXPECT_EQ(TakeTip(), "");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Io(i).GetBaseIoData()->addressForVisib, "PLC1.0x00005") << i;
  }
  EXPECT_EQ(changes_, 1);
}

}  // namespace
}  // namespace NsOvrin::Testing
