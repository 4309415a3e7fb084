#include <gtest/gtest.h>

#include <QLineEdit>
#include <QWidget>

#include "wui/DlgItem.h"

namespace NsOvrin::NsWui {
namespace {

TEST(ParseDlgItemInt, ReadsLeadingDigitsLikeADialogDoes) {
  struct Case {
    const char* text;
    bool isSigned;
    int64_t value;
    bool translated;
  };
  const Case cases[] = {
      {"1024", true, 1024, true},
      {"  800", true, 800, true},
      {"12px", true, 12, true},
      {"-5", true, -5, true},
      {"-5", false, 0, false},
      {"+5", true, 0, false},
      {"abc", true, 0, false},
      {"", true, 0, false},
      {"-", true, 0, false},
      {"2147483647", true, 2147483647, true},
      {"2147483648", true, 0, false},
      {"-2147483648", true, -2147483648LL, true},
      {"-2147483649", true, 0, false},
      {"4294967295", false, 4294967295LL, true},
      {"4294967296", false, 0, false},
      {"99999999999999999999999", true, 0, false},
  };
  for (const Case& c : cases) {
    bool translated = !c.translated;
    EXPECT_EQ(ParseDlgItemInt(c.text, c.isSigned, &translated), c.value) << c.text;
    EXPECT_EQ(translated, c.translated) << c.text;
  }
}

TEST(DlgItem, FindsControlsByIdAndKind) {
  QWidget dialog;
  auto* edit = new QLineEdit(&dialog);
  SetDlgItemId(edit, 1002);
  auto* nested = new QWidget(&dialog);
  auto* inner = new QLineEdit(nested);
  SetDlgItemId(inner, 1003);

  EXPECT_EQ(DlgItem<QLineEdit>(&dialog, 1002), edit);
  EXPECT_EQ(DlgItem<QLineEdit>(&dialog, 1003), inner);
  EXPECT_EQ(GetDlgItem(&dialog, 1004), nullptr);

  SetDlgItemInt(&dialog, 1002, -42);
  EXPECT_EQ(edit->text(), QStringLiteral("-42"));
  bool translated = false;
  EXPECT_EQ(GetDlgItemInt(&dialog, 1002, &translated, true), -42);
  EXPECT_TRUE(translated);
  EXPECT_EQ(GetDlgItemInt(&dialog, 1004, &translated, true), 0);
  EXPECT_FALSE(translated);
}

}  // namespace
}  // namespace NsOvrin::NsWui
