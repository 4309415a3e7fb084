#pragma once
#include <string>

namespace NsOvrin::NsPlatform {

// Full path of the running program (the target of /proc/self/exe); empty
// when it cannot be read.
std::string ReadExePath();

}  // namespace NsOvrin::NsPlatform
