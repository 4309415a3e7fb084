#include "project_base/QlUser.h"

namespace NsOvrin {
namespace {

constexpr const char kAnonymousName[] = "匿名用户";

}  // namespace

const QlUser AnonymousUser{kAnonymousName, "", kUserAnonymous};

std::vector<QlUser>& GetUserList() {
  static std::vector<QlUser> users;
  return users;
}

void ResetDefaultUsers() {
  GetUserList() = {
      {"操作员", "", kUserOperator},
      {"工程师", "", kUserEngineer},
      {"管理员", "", kUserAdministrator},
      {"设备厂商", "", kUserDeviceMaker},
  };
}

QlUser& GetCurrentUser() {
  // Built from the literal, not from AnonymousUser, so that a first call
  // during another file's static initialisation is safe.
  static QlUser current{kAnonymousName, "", kUserAnonymous};
  return current;
}

void LogoutUser() { GetCurrentUser() = AnonymousUser; }

}  // namespace NsOvrin
