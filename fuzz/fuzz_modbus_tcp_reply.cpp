// Modbus TCP replies as they come off a TCP stream, through the general
// Modbus map and through the H3U map. The input describes frames (of this
// exchange or of others, well formed or not, some carrying a frame of this
// exchange in their payload), their bytes are cut into chunks anywhere and
// fed to an exchange in progress, as the node feeds its receives. The block
// only ever takes the data of the first frame of its own exchange, and only
// once that frame is whole and a right reply. An input whose first byte has
// its high bit set is instead one raw reply in two chunks.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "ProtocolFuzz.h"
#include "protocol/ProtocolModbTcp.h"
#include "termination/NodeMemHxU.h"
#include "termination/NodeMemModbus.h"

namespace {

using namespace NsOvrin;
using Bytes = std::vector<uint8_t>;
namespace ProtoStatus = NsProtocol::ProtoStatus;

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

void PutWord(Bytes& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value & 0xFF));
}

struct FrameSpan {
  std::size_t begin;
  std::size_t size;
  uint16_t id;
  bool valid;  // a right reply of the exchange when its id is the exchange's
  Bytes data;  // the data of a read reply
};

// The reply the request asks for, judged from the request's own bytes: a
// read's data length comes from its function code and quantity.
struct Expected {
  bool write;
  uint8_t unit;
  uint8_t fc;
  uint32_t dataLength;
  Bytes echo;  // a write's start and quantity
};

Expected ExpectedReply(const Bytes& request, bool write) {
  Expected e{write, request[6], request[7], 0, {}};
  const uint16_t quantity = Word(&request[10]);
  if (write) {
    e.echo.assign(request.begin() + 8, request.begin() + 12);
  } else {
    e.dataLength = e.fc <= 2 ? (uint32_t{quantity} + 7) / 8 : (2 * uint32_t{quantity}) & 0xFF;
  }
  return e;
}

Bytes RightBody(const Expected& e, NsFuzz::InputReader& in) {
  Bytes body = {e.unit, e.fc};
  if (e.write) {
    body.insert(body.end(), e.echo.begin(), e.echo.end());
  } else {
    body.push_back(static_cast<uint8_t>(e.dataLength));
    for (uint32_t i = 0; i < e.dataLength; ++i) body.push_back(in.Byte());
  }
  return body;
}

bool IsRightBody(const Expected& e, const Bytes& body) {
  if (e.write) {
    return body.size() == 6 && body[0] == e.unit && body[1] == e.fc &&
           std::equal(e.echo.begin(), e.echo.end(), body.begin() + 2);
  }
  return body.size() == 3 + e.dataLength && body[0] == e.unit && body[1] == e.fc &&
         body[2] == e.dataLength;
}

Bytes Frame(uint16_t id, uint16_t protocol, const Bytes& body) {
  Bytes frame;
  PutWord(frame, id);
  PutWord(frame, protocol);
  PutWord(frame, static_cast<uint16_t>(body.size()));
  frame.insert(frame.end(), body.begin(), body.end());
  return frame;
}

template <typename Map>
void FuzzStream(NsProtocol::ProtocolModbTcp& codec, const Map& map,
                const std::vector<const char*>& addresses, NsFuzz::InputReader& in) {
  NsTermination::TermAddr addr;
  if (map.ParseAddress(addresses[in.Byte() % addresses.size()], addr) != NsTermination::kAddrOk)
    std::abort();
  const uint8_t mode = in.Byte();
  const bool write = (mode & 1) != 0;
  Bytes request;
  uint32_t length = 0;
  uint8_t built;
  if (write) {
    using namespace NsTermination;
    static constexpr uint32_t kTypes[] = {kTypeBit, kTypeInt16, kTypeUInt16, kTypeInt32,
                                          kTypeUInt32};
    const uint32_t type = kTypes[(mode >> 1) % 5];
    const Bytes value(static_cast<std::size_t>(addr.count) * 4 + 8, mode);
    request.resize(codec.GetWriteRequestSize(type, addr.count));
    built = codec.BuildWriteRequest(addr, type, value.data(), request.data(),
                                    static_cast<uint32_t>(request.size()), length);
  } else {
    request.resize(codec.GetReadRequestSize(addr));
    built = codec.BuildReadRequest(addr, request.data(), static_cast<uint32_t>(request.size()), length);
  }
  if (built != ProtoStatus::Built || length < 12) return;
  request.resize(length);
  // Some exchanges have gone before this one.
  const int earlier = in.Byte();
  for (int i = 0; i <= earlier; ++i) codec.BeginExchange(request.data(), length);
  const uint16_t own = Word(request.data());
  const Expected expected = ExpectedReply(request, write);
  codec.ResetReceive();

  Bytes stream;
  std::vector<FrameSpan> frames;
  const int frameCount = in.Byte() % 8 + 1;
  for (int f = 0; f < frameCount && !in.AtEnd(); ++f) {
    const uint8_t kind = in.Byte();
    uint16_t id = own;
    switch (kind & 3) {
      case 0: break;
      case 1: id = static_cast<uint16_t>(own + 1 + in.Byte()); break;
      case 2: id = static_cast<uint16_t>(own ^ (1u << (in.Byte() % 16))); break;
      default: id = Word(Bytes{in.Byte(), in.Byte()}.data()); break;
    }
    Bytes body = RightBody(expected, in);
    switch ((kind >> 2) & 7) {
      case 0: break;
      case 1: {  // one byte of it otherwise
        const std::size_t at = in.Byte() % body.size();
        body[at] = static_cast<uint8_t>(body[at] ^ (in.Byte() | 1));
        break;
      }
      case 2:  // its length field ends early
        body.resize(body.size() - (1 + in.Byte() % body.size()));
        break;
      case 3:  // more bytes than it should carry
        for (int i = in.Byte() % 8 + 1; i > 0; --i) body.push_back(in.Byte());
        break;
      case 4: {  // a frame of this exchange inside its payload
        const Bytes inner = Frame(own, 0, RightBody(expected, in));
        body = {expected.unit, expected.fc, static_cast<uint8_t>(inner.size())};
        body.insert(body.end(), inner.begin(), inner.end());
        break;
      }
      case 5: {  // anything
        body.clear();
        for (int i = in.Byte(); i > 0; --i) body.push_back(in.Byte());
        break;
      }
      case 6:  // an exception
        body = {expected.unit, static_cast<uint8_t>(expected.fc | 0x80), in.Byte()};
        break;
      default:  // a long frame, longer than any reply
        body.resize(256 + (std::size_t{in.Byte()} << 6), in.Byte());
        break;
    }
    const uint16_t protocol = (kind & 0x80) != 0 ? in.Byte() : 0;
    const Bytes frame = Frame(id, protocol, body);
    FrameSpan span{stream.size(), frame.size(), id, IsRightBody(expected, body), {}};
    if (!write && span.valid) span.data.assign(body.begin() + 3, body.end());
    frames.push_back(std::move(span));
    stream.insert(stream.end(), frame.begin(), frame.end());
  }
  // The stream may end inside its last frame.
  const uint8_t cut = in.Byte();
  if (cut < 32) stream.resize(stream.size() - std::min<std::size_t>(cut, stream.size()));

  // Chunks of the sizes the rest of the input says, each a copy of exactly
  // its bytes so that a read past its end is caught.
  const auto block = map.CreateCacheFor(addr);
  const uint32_t updates = block->GetUpdateCount();
  uint8_t status = ProtoStatus::MoreData;
  for (std::size_t at = 0; at < stream.size() && status == ProtoStatus::MoreData;) {
    const std::size_t size = in.AtEnd() ? stream.size() - at
                                        : std::min<std::size_t>(in.Byte() + 1, stream.size() - at);
    const Bytes chunk(stream.begin() + static_cast<std::ptrdiff_t>(at),
                      stream.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
    status = write ? codec.ParseWriteReply(addr, chunk.data(), static_cast<uint32_t>(size))
                   : codec.ParseReadReply(chunk.data(), static_cast<uint32_t>(size), addr, block.get());
  }

  // The frame of this exchange that decides; none when its header is not all there.
  const FrameSpan* first = nullptr;
  for (const FrameSpan& span : frames) {
    if (span.begin + 6 > stream.size()) break;
    if (span.id == own) {
      first = &span;
      break;
    }
  }
  const bool whole = first != nullptr && first->begin + first->size <= stream.size();
  if (status == ProtoStatus::Complete) {
    if (first == nullptr || !whole || !first->valid) std::abort();
  } else if (status == ProtoStatus::Error) {
    if (first == nullptr || first->valid) std::abort();
  } else if (status == ProtoStatus::MoreData) {
    if (whole) std::abort();
  } else {
    std::abort();
  }
  const bool taken = !write && status == ProtoStatus::Complete;
  if (block->GetUpdateCount() != (taken ? updates + 1 : updates)) std::abort();
  if (taken) {
    Bytes held(first->data.size());
    block->ReadBytes(0, held.data(), static_cast<uint16_t>(held.size()));
    if (held != first->data) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const NsTermination::NodeMemModbus modbus;
  static const NsTermination::NodeMemHxU hxu;
  static const std::vector<const char*> modbusAddresses = {
      "4x[0~9]", "0x[0~15]", "1x[5~12]", "3x[65500~65533]", "4x100", "0x7", "4x[0~124]",
      "0x[0~1999]"};
  static const std::vector<const char*> hxuAddresses = {
      "D[0~9]", "M[0~127]", "X[0~17]", "Y[0~7]", "D100", "M5", "S[0~15]", "X[3~12]"};
  NsFuzz::InputReader in(data, size);
  const uint8_t device = in.Byte();
  const uint8_t unit = in.Byte();
  const bool raw = (device & 0x80) != 0;
  if (device & 1) {
    NsProtocol::ProtocolH3uTcp codec(unit);
    if (raw) {
      NsFuzz::FuzzReply(codec, hxu, hxuAddresses, in);
    } else {
      FuzzStream(codec, hxu, hxuAddresses, in);
    }
  } else {
    NsProtocol::ProtocolGeneralModbTcp codec(unit);
    if (raw) {
      NsFuzz::FuzzReply(codec, modbus, modbusAddresses, in);
    } else {
      FuzzStream(codec, modbus, modbusAddresses, in);
    }
  }
  return 0;
}
