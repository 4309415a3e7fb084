#pragma once
// Readable users in failure messages.
#include <ostream>

#include "project_base/QlUser.h"

namespace NsOvrin {

inline void PrintTo(const QlUser& user, std::ostream* os) {
  *os << "{\"" << user.name << "\", \"" << user.password << "\", " << user.level << "}";
}

}  // namespace NsOvrin
