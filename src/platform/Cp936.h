#pragma once
// The program's "ANSI code page" is CP936 (GBK): CSV files, user records and
// INI files written by Windows tools hold their text in it.
#include <string>
#include <string_view>

namespace NsOvrin::NsPlatform {

// UTF-8 to CP936. A character CP936 cannot represent becomes '?'; malformed
// UTF-8 gives the empty text (a failed conversion).
std::string Utf8ToAcp(std::string_view utf8);

// CP936 to UTF-8. A byte that does not start a valid CP936 character
// (including a lead byte cut off at the end) becomes U+FFFD, and decoding
// resumes at the next byte.
std::string AcpToUtf8(std::string_view bytes);

}  // namespace NsOvrin::NsPlatform
