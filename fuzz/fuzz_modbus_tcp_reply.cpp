// Modbus TCP replies as they come off a TCP stream, through the general
// Modbus map and through the H3U map. The input describes frames (of this
// exchange or of others, well formed or not, some carrying a frame of this
// exchange in their payload), their bytes are cut into chunks anywhere and
// fed to an exchange in progress, as the node feeds its receives. The block
// only ever takes the data of the first frame of its own exchange, and only
// once that frame is whole and a right reply. An input whose first byte has
// its high bit set is instead one raw reply in two chunks; one whose first
// byte has bit 6 set and bit 5 clear plays a device's output over several
// exchanges of one connection through the node's own exchange (see
// FuzzConnection below).
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "ProtocolFuzz.h"
#include "protocol/ProtocolModbTcp.h"
#include "termination/Node.h"
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

constexpr std::size_t kMaxField = NsProtocol::ProtocolModbTcp::kMaxLengthField;

bool IsFrameLength(std::size_t field) { return field >= 2 && field <= kMaxField; }

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
  std::vector<std::size_t> chunkEnds;
  for (std::size_t at = 0; at < stream.size() && status == ProtoStatus::MoreData;) {
    const std::size_t size = in.AtEnd() ? stream.size() - at
                                        : std::min<std::size_t>(in.Byte() + 1, stream.size() - at);
    const Bytes chunk(stream.begin() + static_cast<std::ptrdiff_t>(at),
                      stream.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
    chunkEnds.push_back(at);
    status = write ? codec.ParseWriteReply(addr, chunk.data(), static_cast<uint32_t>(size))
                   : codec.ParseReadReply(chunk.data(), static_cast<uint32_t>(size), addr, block.get());
  }

  // The frame of this exchange that decides; none when its header is not all
  // there. A header with a length no frame can have loses the frames' starts
  // until the next chunk: when that is no frame's start either, where the
  // codec takes up the frames again is not known.
  const FrameSpan* first = nullptr;
  bool known = true;
  for (std::size_t i = 0; i < frames.size() && known;) {
    const FrameSpan& span = frames[i];
    if (span.begin + 6 > stream.size()) break;
    if (!IsFrameLength(span.size - 6)) {
      const auto end = std::upper_bound(chunkEnds.begin(), chunkEnds.end(), span.begin + 5);
      const std::size_t resume = end == chunkEnds.end() ? stream.size() : *end;
      while (i < frames.size() && frames[i].begin < resume) ++i;
      known = i < frames.size() ? frames[i].begin == resume : resume >= stream.size();
      continue;
    }
    if (span.id == own) {
      first = &span;
      break;
    }
    ++i;
  }
  const bool taken = !write && status == ProtoStatus::Complete;
  if (block->GetUpdateCount() != (taken ? updates + 1 : updates)) std::abort();
  if (!known) return;
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
  if (taken) {
    Bytes held(first->data.size());
    block->ReadBytes(0, held.data(), static_cast<uint16_t>(held.size()));
    if (held != first->data) std::abort();
  }
}

// ---- one connection over several exchanges ----
//
// The node's own exchange (purge, request, receives until the reply decides
// or its deadline passes) runs against a transport that plays what a device
// sent on one connection, in virtual milliseconds: for each request some
// frames (its right reply, frames of this exchange that are not, replies of
// other exchanges, frames carrying a look-alike of the reply in their
// payload, headers with a length no frame can have followed by anything),
// cut into chunks anywhere and timed, some of them arriving after their
// exchange ended; between exchanges the connection may end or be made anew.
// A receive gets the chunks that have arrived, whole, as many as fit.
//
// The oracle: each exchange ends by its deadline and, where the frames'
// starts are known (always, unless a header no frame can have was followed
// in the same receive by a chunk that starts inside a frame), exactly the
// first frame of its own that began after its request decides, once whole:
// a right reply puts its data into the block, anything else fails the
// exchange, and without one the exchange waits until its deadline. Where
// the starts are not known, a block takes only bytes that came during its
// exchange as a right reply with its number.

using Ms = int64_t;

struct Segment {
  std::size_t begin;
  std::size_t size;
  bool frame;  // its length field is one a frame can have
  uint16_t id;
  Bytes body;  // after the length field
};

struct Chunk {
  std::size_t begin;
  std::size_t end;
  Ms at;
};

// What the node received: stream bytes [begin, end), in the purge before
// exchange or during it.
struct Receipt {
  std::size_t begin;
  std::size_t end;
  int exchange;
  bool purge;
};

class PlayedConnection : public NsTermination::DeviceImpl {
 public:
  uint32_t GetKind() const override { return kTcp; }
  void Connect(NsTermination::LinkFailCount&) override {}
  void Purge() override {
    // What has arrived by now came before the request.
    waitingEnd_ = next_;
    while (waitingEnd_ < chunks_.size() && chunks_[waitingEnd_].at <= now_) ++waitingEnd_;
    purging_ = true;
  }
  int32_t ReceiveWaiting(uint8_t* buffer, uint32_t size) override {
    if (next_ >= waitingEnd_) return 0;
    return Deliver(buffer, size, waitingEnd_);
  }
  bool Send(const uint8_t* data, uint32_t length, NsTermination::LinkFailCount&) override {
    if (ended_) std::abort();  // the harness connects anew first
    // What the purge marked and the node did not take is gone, as a purge
    // that drops what waits would lose it.
    next_ = std::max(next_, waitingEnd_);
    request_.assign(data, data + length);
    deadline_ = now_ + timeout_;
    waitOver_ = false;
    purging_ = false;
    ++exchange_;
    sentAt_ = next_ < chunks_.size() ? chunks_[next_].begin : stream_.size();
    return true;
  }
  bool IsReady(uint32_t, NsTermination::LinkFailCount&) override { return true; }
  int32_t Receive(uint8_t* buffer, uint32_t size, NsTermination::LinkFailCount&) override {
    // A wait that its deadline (or the end of the stream) ended is over.
    if (waitOver_ || purging_) std::abort();
    if (next_ < chunks_.size() && chunks_[next_].at < deadline_) {
      now_ = std::max(now_, chunks_[next_].at);
      std::size_t upTo = next_;
      while (upTo < chunks_.size() && chunks_[upTo].at <= now_) ++upTo;
      return Deliver(buffer, size, upTo);
    }
    waitOver_ = true;
    if (next_ >= chunks_.size() && closing_) {
      ended_ = true;
      return 0;
    }
    now_ = deadline_;
    return -1;
  }
  void Close() override {}
  void Interrupt() override {}
  uint32_t GetConnection() const override { return connection_; }

  // The device's output for the request just sent goes after what it sent before.
  void Play(const Bytes& bytes, const std::vector<std::pair<std::size_t, Ms>>& cuts, bool close) {
    // A device answers in order: nothing before what it sent earlier.
    Ms at = now_;
    std::size_t from = stream_.size();
    stream_.insert(stream_.end(), bytes.begin(), bytes.end());
    for (const auto& [end, delay] : cuts) {
      at = std::max(at + delay, lastAt_);
      lastAt_ = at;
      chunks_.push_back(Chunk{from, stream_.size() - bytes.size() + end, at});
      from = chunks_.back().end;
    }
    closing_ = close;
  }
  // A new connection: what the old one did not deliver is gone.
  void Reconnect() {
    ++connection_;
    next_ = waitingEnd_ = chunks_.size();
    lastAt_ = now_;
    ended_ = closing_ = false;
  }
  void Wait(Ms ms) { now_ += ms; }
  void SetTimeout(Ms ms) { timeout_ = ms; }

  const Bytes& Stream() const { return stream_; }
  const Bytes& Request() const { return request_; }
  const std::vector<Receipt>& Receipts() const { return receipts_; }
  // Where the bytes that came after the last request begin in the stream.
  std::size_t SentAt() const { return sentAt_; }
  bool Ended() const { return ended_; }
  // The exchange whose request went out last.
  int Exchange() const { return exchange_; }
  bool WaitOver() const { return waitOver_; }

 private:
  int32_t Deliver(uint8_t* buffer, uint32_t size, std::size_t upTo) {
    std::size_t end = next_ + 1;
    const std::size_t begin = chunks_[next_].begin;
    while (end < upTo && chunks_[end].end - begin <= size) ++end;
    const std::size_t stop = chunks_[end - 1].end;
    if (stop - begin > size) std::abort();  // chunks are made smaller
    std::copy(stream_.begin() + static_cast<std::ptrdiff_t>(begin),
              stream_.begin() + static_cast<std::ptrdiff_t>(stop), buffer);
    receipts_.push_back(Receipt{begin, stop, exchange_, purging_});
    next_ = end;
    return static_cast<int32_t>(stop - begin);
  }

  Bytes stream_;
  std::vector<Chunk> chunks_;
  std::size_t next_ = 0;
  std::size_t waitingEnd_ = 0;
  std::size_t sentAt_ = 0;
  std::vector<Receipt> receipts_;
  Bytes request_;
  Ms now_ = 0;
  Ms deadline_ = 0;
  Ms timeout_ = 0;
  Ms lastAt_ = 0;
  int exchange_ = -1;
  uint32_t connection_ = 1;
  bool purging_ = false;
  bool waitOver_ = false;
  bool closing_ = false;
  bool ended_ = false;
};

class FuzzNode : public NsTermination::Node {
 public:
  using Node::Node;
  using Node::Transact;
};

// The frames' starts as the codec must find them, walked receipt by
// receipt, and what decides each exchange.
class StreamModel {
 public:
  struct Decision {
    bool decided = false;
    bool right = false;
    const Segment* frame = nullptr;
    std::size_t receipt = 0;  // the receipt it came in
  };

  StreamModel(const std::vector<Segment>& segments) : segments_(segments) {}

  bool Known() const { return known_; }
  void NewStream(std::size_t at) {
    next_ = at;
    known_ = true;
  }
  // Takes the receipt; seeking: the exchange's number, reply length and
  // expected reply, when it is one of its own receives not yet decided.
  void Take(const Receipt& r, std::size_t index, std::size_t streamEnd, const uint16_t* seekId,
            uint32_t replyLength, const Expected* expected, std::size_t sentAt, Decision& decision) {
    while (known_ && next_ < r.end) {
      const Segment* s = SegmentAt(next_);
      if (s == nullptr) std::abort();  // the walk only ever stops at starts
      if (s->begin + 6 > r.end) return;
      if (!s->frame) {
        next_ = r.end;
        known_ = next_ >= streamEnd || SegmentAt(next_) != nullptr;
        return;
      }
      const std::size_t end = s->begin + s->size;
      if (seekId != nullptr && !decision.decided && s->begin >= sentAt && s->id == *seekId) {
        if (s->body.size() == replyLength && end > r.end) return;  // the rest comes later
        decision.decided = true;
        decision.right = IsRightBody(*expected, s->body);
        decision.frame = s;
        decision.receipt = index;
      }
      next_ = end;
    }
  }

 private:
  const Segment* SegmentAt(std::size_t offset) const {
    const auto it = std::lower_bound(segments_.begin(), segments_.end(), offset,
                                     [](const Segment& s, std::size_t at) { return s.begin < at; });
    return it != segments_.end() && it->begin == offset ? &*it : nullptr;
  }

  const std::vector<Segment>& segments_;
  std::size_t next_ = 0;
  bool known_ = true;
};

template <typename Map>
void FuzzConnection(std::unique_ptr<NsProtocol::ProtocolModbTcp> codec, const std::shared_ptr<Map>& map,
                    const std::vector<const char*>& addresses, NsFuzz::InputReader& in) {
  using namespace NsTermination;
  auto connection = std::make_shared<PlayedConnection>();
  FuzzNode node("PLC", map, std::move(codec), connection);
  connection->SetTimeout(20 + Ms{in.Byte()} * 4);
  std::vector<Segment> segments;
  StreamModel model(segments);
  std::size_t taken = 0;  // receipts the model has walked
  std::vector<Bytes> earlierReplies;

  const int exchanges = in.Byte() % 8 + 1;
  for (int k = 0; k < exchanges && !in.AtEnd(); ++k) {
    const uint8_t choice = in.Byte();
    connection->Wait(choice & 0x7F);
    if (connection->Ended() || (choice & 0x80) != 0) {
      connection->Reconnect();
      model.NewStream(connection->Stream().size());
    }
    TermAddr addr;
    if (map->ParseAddress(addresses[in.Byte() % addresses.size()], addr) != kAddrOk) std::abort();
    const uint8_t mode = in.Byte();
    const bool write = (mode & 1) != 0;
    std::unique_ptr<Task> task;
    std::shared_ptr<CacheVarBlock> block;
    const Bytes value(static_cast<std::size_t>(addr.count) * 4 + 8, mode);
    if (write) {
      static constexpr uint32_t kTypes[] = {kTypeBit, kTypeInt16, kTypeUInt16, kTypeInt32, kTypeUInt32};
      auto writeTask = std::make_unique<TaskWriteData>(addr, kTypes[(mode >> 1) % 5]);
      writeTask->SetValue(value.data());
      task = std::move(writeTask);
    } else {
      block = map->CreateCacheFor(addr);
      task = std::make_unique<TaskReadData>(block, BlockDescriptor{addr, 0}, "b");
    }
    const uint32_t updates = block ? block->GetUpdateCount() : 0;

    // The device's output for the request: the node sends it inside
    // Transact, so the output is made from what the transport will see,
    // built here from the request the codec will number next.
    const uint8_t* built = nullptr;
    uint32_t builtLength = 0;
    if (task->GetRequest(node.GetProtocol(), built, builtLength) != ProtoStatus::Built) continue;
    Bytes request(built, built + builtLength);
    auto* tcp = static_cast<NsProtocol::ProtocolModbTcp*>(node.GetProtocol());
    const uint16_t own = static_cast<uint16_t>(tcp->GetTransaction() + 1);
    request[0] = static_cast<uint8_t>(own >> 8);
    request[1] = static_cast<uint8_t>(own & 0xFF);
    const Expected expected = ExpectedReply(request, write);
    const uint32_t replyLength = write ? 6 : 3 + expected.dataLength;

    Bytes output;
    std::vector<std::size_t> noCutBefore(1, 0);  // per byte of output: a cut here is refused
    const std::size_t base = connection->Stream().size();
    const int frameCount = in.Byte() % 5;
    for (int f = 0; f < frameCount; ++f) {
      const uint8_t kind = in.Byte();
      Segment s{base + output.size(), 0, true, own, RightBody(expected, in)};
      switch (kind & 7) {
        case 0: break;  // the right reply
        case 1: {       // one byte otherwise
          const std::size_t at = in.Byte() % s.body.size();
          s.body[at] = static_cast<uint8_t>(s.body[at] ^ (in.Byte() | 1));
          break;
        }
        case 2:  // an exception, or a length other than the reply's
          if (in.Byte() & 1) {
            s.body = {expected.unit, static_cast<uint8_t>(expected.fc | 0x80), in.Byte()};
          } else {
            s.body.resize(2 + in.Byte() % (kMaxField - 1), in.Byte());
          }
          break;
        case 3:  // an earlier exchange's number
          s.id = static_cast<uint16_t>(own - 1 - in.Byte() % 4);
          if (!earlierReplies.empty() && (kind & 8)) s.body = earlierReplies[in.Byte() % earlierReplies.size()];
          break;
        case 4:  // a later exchange's number
          s.id = static_cast<uint16_t>(own + 1 + in.Byte() % 3);
          break;
        case 5:  // any number
          s.id = Word(Bytes{in.Byte(), in.Byte()}.data());
          break;
        case 6: {  // another exchange's frame carrying a reply of this one (or the next)
          Bytes inner = Frame((kind & 8) ? static_cast<uint16_t>(own + 1) : own, 0, s.body);
          s.id = static_cast<uint16_t>(own - 1 - in.Byte() % 2);
          inner.resize(std::min<std::size_t>(inner.size(), kMaxField - 3));
          s.body = {expected.unit, expected.fc, static_cast<uint8_t>(inner.size())};
          s.body.insert(s.body.end(), inner.begin(), inner.end());
          break;
        }
        default: {  // a length no frame can have, then anything (a reply of this one, too)
          s.frame = false;
          s.id = Word(Bytes{in.Byte(), in.Byte()}.data());
          const uint8_t size = in.Byte();
          static constexpr uint16_t kFields[] = {0, 1, kMaxField + 1, 0xFF00};
          const uint16_t field = static_cast<uint16_t>(kFields[size & 3] + ((size & 2) ? in.Byte() : 0));
          Bytes rest;
          if (size & 4) rest = Frame(own, 0, RightBody(expected, in));
          for (int i = size >> 3; i > 0; --i) rest.push_back(in.Byte());
          Bytes bytes = Frame(s.id, 0, {});
          bytes[4] = static_cast<uint8_t>(field >> 8);
          bytes[5] = static_cast<uint8_t>(field & 0xFF);
          bytes.insert(bytes.end(), rest.begin(), rest.end());
          s.size = bytes.size();
          s.body.clear();
          const std::size_t at = output.size();
          output.insert(output.end(), bytes.begin(), bytes.end());
          // No chunk may end between its sixth byte and its end: the next
          // receive after it starts at a frame's start.
          noCutBefore.resize(output.size() + 1, 0);
          for (std::size_t i = at + 6; i < output.size(); ++i) noCutBefore[i] = 1;
          segments.push_back(std::move(s));
          continue;
        }
      }
      const Bytes bytes = Frame(s.id, (kind & 0x40) ? in.Byte() : 0, s.body);
      s.size = bytes.size();
      s.frame = s.body.size() >= 2 && s.body.size() <= kMaxField;
      if (!s.frame) std::abort();
      output.insert(output.end(), bytes.begin(), bytes.end());
      noCutBefore.resize(output.size() + 1, 0);
      segments.push_back(std::move(s));
    }
    // Cut into timed chunks.
    std::vector<std::pair<std::size_t, Ms>> cuts;
    for (std::size_t at = 0; at < output.size();) {
      std::size_t end = std::min<std::size_t>(at + 1 + in.Byte(), output.size());
      while (end < output.size() && noCutBefore[end]) ++end;
      const uint8_t delay = in.Byte();
      cuts.emplace_back(end, delay < 200 ? Ms{delay % 40} : Ms{delay - 200} * 25);
      at = end;
    }
    connection->Play(output, cuts, (mode & 0x80) != 0);
    earlierReplies.push_back(RightBody(expected, in));

    const std::size_t receiptsBefore = connection->Receipts().size();
    const bool ok = node.Transact(task.get());
    if (tcp->GetTransaction() != own) std::abort();
    if (Bytes(connection->Request()) != request) std::abort();

    // Walk what the node received: the purge, then the exchange.
    const std::vector<Receipt>& receipts = connection->Receipts();
    StreamModel::Decision decision;
    std::size_t lastOwn = 0;
    bool anyOwn = false;
    for (; taken < receipts.size(); ++taken) {
      const Receipt& r = receipts[taken];
      const bool seeking = !r.purge && r.exchange == connection->Exchange();
      if (seeking) {
        if (decision.decided) std::abort();  // the exchange went on after it was decided
        lastOwn = taken;
        anyOwn = true;
      }
      model.Take(r, taken, connection->Stream().size(), seeking ? &own : nullptr, replyLength,
                 &expected, connection->SentAt(), decision);
    }
    const bool updated = block && block->GetUpdateCount() != updates;
    if (block && block->GetUpdateCount() != updates + (ok && !write ? 1 : 0)) std::abort();
    if (model.Known()) {
      if (decision.decided) {
        if (!anyOwn || decision.receipt != lastOwn) std::abort();
        if (ok != decision.right) std::abort();
        if (updated) {
          Bytes held(expected.dataLength);
          block->ReadBytes(0, held.data(), static_cast<uint16_t>(held.size()));
          if (!std::equal(held.begin(), held.end(), decision.frame->body.begin() + 3)) std::abort();
        }
      } else {
        // Nothing decided: the exchange waited until its deadline or the
        // stream's end.
        if (ok || !connection->WaitOver()) std::abort();
      }
    } else if (updated) {
      // The data came as a right reply with the exchange's number during it
      // (its receives are one run of the stream).
      Bytes reply = Frame(own, 0, RightBody(expected, in));
      block->ReadBytes(0, reply.data() + 9, static_cast<uint16_t>(expected.dataLength));
      std::size_t from = SIZE_MAX;
      std::size_t to = 0;
      for (std::size_t i = receiptsBefore; i < receipts.size(); ++i) {
        if (receipts[i].purge || receipts[i].exchange != connection->Exchange()) continue;
        from = std::min(from, receipts[i].begin);
        to = std::max(to, receipts[i].end);
      }
      const Bytes& stream = connection->Stream();
      bool found = false;
      for (std::size_t at = from; at != SIZE_MAX && at + reply.size() <= to && !found; ++at) {
        const auto here = stream.begin() + static_cast<std::ptrdiff_t>(at);
        // The protocol identifier is not compared.
        found = std::equal(reply.begin(), reply.begin() + 2, here) &&
                std::equal(reply.begin() + 4, reply.end(), here + 4);
      }
      if (!found) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const auto modbus = std::make_shared<NsTermination::NodeMemModbus>();
  static const auto hxu = std::make_shared<NsTermination::NodeMemHxU>();
  static const std::vector<const char*> modbusAddresses = {
      "4x[0~9]", "0x[0~15]", "1x[5~12]", "3x[65500~65533]", "4x100", "0x7", "4x[0~124]",
      "0x[0~1999]"};
  static const std::vector<const char*> hxuAddresses = {
      "D[0~9]", "M[0~127]", "X[0~17]", "Y[0~7]", "D100", "M5", "S[0~15]", "X[3~12]"};
  NsFuzz::InputReader in(data, size);
  const uint8_t device = in.Byte();
  const uint8_t unit = in.Byte();
  const bool raw = (device & 0x80) != 0;
  const bool connection = !raw && (device & 0x60) == 0x40;
  if (device & 1) {
    if (connection) {
      FuzzConnection(std::make_unique<NsProtocol::ProtocolH3uTcp>(unit), hxu, hxuAddresses, in);
      return 0;
    }
    NsProtocol::ProtocolH3uTcp codec(unit);
    if (raw) {
      NsFuzz::FuzzReply(codec, *hxu, hxuAddresses, in);
    } else {
      FuzzStream(codec, *hxu, hxuAddresses, in);
    }
  } else {
    if (connection) {
      FuzzConnection(std::make_unique<NsProtocol::ProtocolGeneralModbTcp>(unit), modbus,
                     modbusAddresses, in);
      return 0;
    }
    NsProtocol::ProtocolGeneralModbTcp codec(unit);
    if (raw) {
      NsFuzz::FuzzReply(codec, *modbus, modbusAddresses, in);
    } else {
      FuzzStream(codec, *modbus, modbusAddresses, in);
    }
  }
  return 0;
}
