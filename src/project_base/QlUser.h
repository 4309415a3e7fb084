#pragma once
// The operator panel's user accounts: the process-wide user list edited in
// the users dialog and the user currently logged in.
#include <cstdint>
#include <string>
#include <vector>

namespace NsOvrin {

// The levels users have and that pages and elements store as their access
// permission.
enum QlUserLevel : int32_t {
  kUserAnonymous = 0,  // not logged in
  kUserOperator = 1,
  kUserEngineer = 2,
  kUserAdministrator = 99,
  kUserDeviceMaker = 100,
};

struct QlUser {
  std::string name;
  std::string password;
  int32_t level = kUserAnonymous;  // a QlUserLevel value

  bool operator==(const QlUser&) const = default;
};

// {"匿名用户", no password, level 0}: the current user at start and after a
// logout; never in the user list.
extern const QlUser AnonymousUser;

// Empty until ResetDefaultUsers or a load of the users file fills it.
std::vector<QlUser>& GetUserList();
// The four default users, each without a password: "操作员" 1, "工程师" 2,
// "管理员" 99, "设备厂商" 100.
void ResetDefaultUsers();

QlUser& GetCurrentUser();
// The current user becomes a copy of AnonymousUser.
void LogoutUser();

}  // namespace NsOvrin
