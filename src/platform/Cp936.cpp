#include "platform/Cp936.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

#include "platform/Utf.h"

namespace NsOvrin::NsPlatform {
namespace {

constexpr const char* kAcpNames[] = {"CP936", "GBK"};

// An iconv handle keeps shift state and is not thread-safe: one per call.
class Converter {
 public:
  explicit Converter(bool toAcp) {
    for (const char* name : kAcpNames) {
      cd_ = toAcp ? iconv_open(name, "UTF-8") : iconv_open("UTF-8", name);
      if (cd_ != reinterpret_cast<iconv_t>(-1)) break;
    }
  }
  ~Converter() {
    if (Ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of [in, in + inLeft) as it can, appending to out.
  // Returns 0 when everything was consumed, otherwise the errno that stopped
  // it (EILSEQ or EINVAL), with in/inLeft at the offending input.
  int Run(const char*& in, std::size_t& inLeft, std::string& out) {
    char buf[256];
    while (inLeft > 0) {
      char* dst = buf;
      std::size_t dstLeft = sizeof(buf);
      const std::size_t r = iconv(cd_, const_cast<char**>(&in), &inLeft, &dst, &dstLeft);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) return errno;
    }
    return 0;
  }

  void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};

std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  return 4;
}

}  // namespace

std::string Utf8ToAcp(std::string_view utf8) {
  if (utf8.empty() || !IsValidUtf8(utf8)) return {};
  Converter conv(true);
  if (!conv.Ok()) return {};
  std::string out;
  out.reserve(utf8.size());
  const char* in = utf8.data();
  std::size_t left = utf8.size();
  while (left > 0) {
    const int err = conv.Run(in, left, out);
    if (err == 0) break;
    if (err != EILSEQ && err != EINVAL) return {};
    // The input is valid UTF-8, so this is one character CP936 lacks.
    const std::size_t skip = std::min(left, Utf8SequenceLength(static_cast<unsigned char>(*in)));
    in += skip;
    left -= skip;
    out += '?';
    conv.Reset();
  }
  return out;
}

std::string AcpToUtf8(std::string_view bytes) {
  if (bytes.empty()) return {};
  Converter conv(false);
  if (!conv.Ok()) return {};
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  const char* in = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const int err = conv.Run(in, left, out);
    if (err == 0) break;
    if (err != EILSEQ && err != EINVAL) return {};
    ++in;
    --left;
    AppendUtf8(out, 0xFFFD);
    conv.Reset();
  }
  return out;
}

}  // namespace NsOvrin::NsPlatform
