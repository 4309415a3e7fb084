#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "wui/IpAddressCtrl.h"

namespace NsOvrin::NsWui {
namespace {

class IpAddressCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ip_.show();
    ip_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ip_));
  }
  std::string Fields() const {
    std::string text;
    for (int i = 0; i < 4; ++i) text += (i ? "|" : "") + ip_.Field(i)->text().toStdString();
    return text;
  }

  IpAddressCtrl ip_;
};

TEST_F(IpAddressCtrlTest, BlankOnlyWhileEveryFieldIsEmpty) {
  EXPECT_TRUE(ip_.IsBlank());
  EXPECT_EQ(ip_.GetAddress(), 0u);
  QTest::keyClicks(ip_.Field(2), "0");
  EXPECT_FALSE(ip_.IsBlank());
  // The empty fields read as 0.
  EXPECT_EQ(ip_.GetAddress(), 0u);
  ip_.SetAddress(0);
  EXPECT_EQ(Fields(), "0|0|0|0");
  EXPECT_FALSE(ip_.IsBlank());
  ip_.ClearAddress();
  EXPECT_TRUE(ip_.IsBlank());
}

TEST_F(IpAddressCtrlTest, TheFirstFieldIsTheHighestByte) {
  ip_.SetAddress(0xC0A8010Au);
  EXPECT_EQ(Fields(), "192|168|1|10");
  EXPECT_EQ(ip_.GetAddress(), 0xC0A8010Au);
  ip_.ClearAddress();
  QTest::keyClicks(ip_.Field(0), "10");
  QTest::keyClicks(ip_.Field(3), "255");
  EXPECT_EQ(ip_.GetAddress(), 0x0A0000FFu);
}

TEST_F(IpAddressCtrlTest, AFieldTakesOnlyNumbersUpTo255) {
  struct Case {
    const char* typed;
    const char* kept;
  };
  const Case cases[] = {{"255", "255"}, {"256", "25"}, {"300", "30"}, {"1a2", "12"},
                        {"-1", "1"},    {"1234", "123"}, {"007", "007"}};
  for (const Case& c : cases) {
    ip_.Field(1)->clear();
    QTest::keyClicks(ip_.Field(1), c.typed);
    EXPECT_EQ(ip_.Field(1)->text().toStdString(), c.kept) << c.typed;
  }
  ip_.ClearAddress();
  QTest::keyClicks(ip_.Field(1), "007");
  EXPECT_EQ(ip_.GetAddress(), 0x00070000u);
}

TEST_F(IpAddressCtrlTest, ADotMovesOnToTheNextField) {
  ip_.Field(0)->setFocus();
  QTest::keyClicks(ip_.Field(0), "192.");
  EXPECT_TRUE(ip_.Field(1)->hasFocus());
  QTest::keyClicks(ip_.Field(1), "168.");
  QTest::keyClicks(ip_.Field(2), "1.");
  QTest::keyClicks(ip_.Field(3), "9.");
  EXPECT_TRUE(ip_.Field(3)->hasFocus());
  EXPECT_EQ(Fields(), "192|168|1|9");
}

}  // namespace
}  // namespace NsOvrin::NsWui
