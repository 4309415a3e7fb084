#include <gtest/gtest.h>

#include <vector>

#include "project_base/QlUser.h"
#include "UserPrinter.h"

namespace NsOvrin {
namespace {

class UserListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedList_ = GetUserList();
    savedCurrent_ = GetCurrentUser();
  }
  void TearDown() override {
    GetUserList() = savedList_;
    GetCurrentUser() = savedCurrent_;
  }

 private:
  std::vector<QlUser> savedList_;
  QlUser savedCurrent_;
};

const std::vector<QlUser> kDefaultUsers = {
    {"操作员", "", 1},
    {"工程师", "", 2},
    {"管理员", "", 99},
    {"设备厂商", "", 100},
};

// Nothing but a logout changes the current user, and every test here puts it back.
TEST_F(UserListTest, CurrentUserStartsAnonymous) { EXPECT_EQ(GetCurrentUser(), AnonymousUser); }

TEST_F(UserListTest, AnonymousUserIsLevelZeroWithoutPassword) {
  EXPECT_EQ(AnonymousUser.name, "匿名用户");
  EXPECT_EQ(AnonymousUser.password, "");
  EXPECT_EQ(AnonymousUser.level, kUserAnonymous);
}

TEST_F(UserListTest, ResetDefaultUsersReplacesTheWholeList) {
  GetUserList() = {{"x", "secret", 5}, {"操作员", "pw", 1}};
  ResetDefaultUsers();
  EXPECT_EQ(GetUserList(), kDefaultUsers);
  EXPECT_EQ(GetUserList()[2].level, kUserAdministrator);
  EXPECT_EQ(GetUserList()[3].level, kUserDeviceMaker);

  // A second reset undoes edits made in place (the users dialog edits passwords).
  GetUserList()[0].password = "1234";
  GetUserList().pop_back();
  ResetDefaultUsers();
  EXPECT_EQ(GetUserList(), kDefaultUsers);
}

TEST_F(UserListTest, DefaultUsersAreNotTheCurrentUser) {
  LogoutUser();
  ResetDefaultUsers();
  EXPECT_EQ(GetCurrentUser(), AnonymousUser);
}

TEST_F(UserListTest, LogoutRestoresNamePasswordAndLevel) {
  GetCurrentUser() = {"管理员", "abc", kUserAdministrator};
  LogoutUser();
  EXPECT_EQ(GetCurrentUser().name, "匿名用户");
  EXPECT_EQ(GetCurrentUser().password, "");
  EXPECT_EQ(GetCurrentUser().level, 0);

  // The current user is a copy: changing it leaves the constant alone.
  GetCurrentUser().name = "changed";
  EXPECT_EQ(AnonymousUser.name, "匿名用户");
  LogoutUser();
  EXPECT_EQ(GetCurrentUser(), AnonymousUser);
}

}  // namespace
}  // namespace NsOvrin
