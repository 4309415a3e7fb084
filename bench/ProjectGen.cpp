#include "ProjectGen.h"

#include <arpa/inet.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <filesystem>
#include <memory>

#include "QlUiElem/QlPageData.h"
#include "project/QlEProject.h"
#include "project_persistence/PageFile.h"
#include "termination/ChannelManager.h"
#include "termination/DevDefine.h"
#include "termination/DevSetup.h"
#include "termination/NodeFactory.h"

namespace NsOvrin::NsBench {

namespace fs = std::filesystem;
using NsTermination::ChannelManager;

const char* const kKindNames[14] = {"Text",      "Number",          "String",    "Button",   "PageTo",
                                    "Panel",     "Picture",         "NavBar",    "AlarmList", "MultiStateLabel",
                                    "AlarmHist", "BtnLogin",        "MultFunc",  "OVTable"};

namespace {

using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

void Rect(Writer& w, double left, double top, double width, double height) {
  w.Key("rect");
  w.StartObject();
  w.Key("left");
  w.Double(left);
  w.Key("top");
  w.Double(top);
  w.Key("right");
  w.Double(left + width);
  w.Key("bottom");
  w.Double(top + height);
  w.EndObject();
}

void Strings(Writer& w, const char* key, std::initializer_list<std::string> texts) {
  w.Key(key);
  w.StartArray();
  for (const std::string& text : texts) w.String(text.c_str());
  w.EndArray();
}

void String(Writer& w, const char* key, const std::string& text) {
  w.Key(key);
  w.String(text.c_str());
}

// One entry with every key any kind reads; each kind's reader takes its own
// and the writer stores only those.
void Entry(Writer& w, int kind, int n, int tableRows) {
  const std::string bit = "PLC1.0x" + std::to_string(n % 100);
  const std::string word = "PLC1.4x" + std::to_string(n % 100);
  w.StartObject();
  String(w, "type", kKindNames[kind]);
  Rect(w, 10.0 + (n % 10) * 70, 10.0 + (n / 10) * 45, 64, 40);
  String(w, "text", "元件" + std::to_string(n));
  String(w, "text2", "按下");
  String(w, "address", kind == 9 || kind == 0 ? word : (kind == 3 || kind == 4 ? bit : word));
  String(w, "rd-address", bit);
  String(w, "wr-address", bit);
  String(w, "page-name", "页面1");
  w.Key("data-type");
  w.Uint(1);
  w.Key("text-array");
  w.StartArray();
  for (const char* state : {"停止", "运行", "故障"}) {
    w.StartObject();
    String(w, "text", state);
    w.Key("text-color");
    w.Uint(0x0000FF);
    w.Key("bk-color-alpha");
    w.Double(1.0);
    w.EndObject();
  }
  w.EndArray();
  Strings(w, "data-array", {"0", "1", "2"});
  Strings(w, "label-array", {"首页", "设备", "报警"});
  Strings(w, "nav-bar-page-list", {"页面1", "页面2", "页面3"});
  Strings(w, "event-func-list", {"SET " + bit, "RST " + bit, "MOV " + word + " 5"});
  String(w, "title", "IO表");
  w.Key("desc-address-array");
  w.StartArray();
  for (int row = 0; row < (kind == 13 ? tableRows : 0); ++row) {
    w.StartObject();
    String(w, "address", "PLC1.0x" + std::to_string(row % 100));
    String(w, "description", "输入点 " + std::to_string(row));
    w.EndObject();
  }
  w.EndArray();
  w.Key("enable-visib");
  w.Bool(n % 2 == 0);
  String(w, "address-for-visib", bit);
  w.Key("show-when-true");
  w.Bool(true);
  w.EndObject();
}

}  // namespace

std::string MakeElementsJson(int perKind, int tableRows) {
  rapidjson::StringBuffer buffer;
  Writer w(buffer);
  w.StartArray();
  int n = 0;
  for (int i = 0; i < perKind; ++i)
    for (int kind = 0; kind < 14; ++kind) Entry(w, kind, n++, tableRows);
  w.EndArray();
  return buffer.GetString();
}

BenchProject::BenchProject() : folder_("ovrin-bench") {}

BenchProject::~BenchProject() { Close(); }

bool BenchProject::WritePage(const std::string& name, const std::string& elementsJson) {
  rapidjson::Document elements;
  elements.Parse(elementsJson.c_str(), elementsJson.size());
  if (elements.HasParseError() || !elements.IsArray()) return false;
  auto page = std::make_shared<NsQlUiElem::QlPageData>();
  page->name = name;
  page->rect = {0.0f, 0.0f, 800.0f, 600.0f};
  const PageReadContext context{folder_.Path(), nullptr, nullptr};
  for (const rapidjson::Value& element : elements.GetArray()) ReadElementEntry(context, *page, element);
  if (!SavePageFile(folder_.Path(), page, nullptr)) return false;
  pages_.push_back(name);
  return true;
}

bool BenchProject::WritePages(int pages, int perKind, int tableRows) {
  if (folder_.Path().empty()) return false;
  const std::string elements = MakeElementsJson(perKind, tableRows);
  for (int i = 1; i <= pages; ++i)
    if (!WritePage("页面" + std::to_string(i), elements)) return false;
  return true;
}

bool BenchProject::WriteTablePage(const std::string& name, int rows) {
  if (folder_.Path().empty()) return false;
  rapidjson::StringBuffer buffer;
  Writer w(buffer);
  w.StartArray();
  Entry(w, 13, 0, rows);
  w.EndArray();
  return WritePage(name, buffer.GetString());
}

std::size_t BenchProject::TotalBytes() const {
  std::size_t total = 0;
  for (const std::string& name : pages_) {
    std::error_code error;
    const auto size = fs::file_size(GetPageFilePath(folder_.Path(), name), error);
    if (!error) total += static_cast<std::size_t>(size);
  }
  return total;
}

bool BenchProject::Open() {
  open_ = true;
  QlEProject& project = QlEProject::Instance();
  project.Reset(folder_.Path());
  project.open = true;
  project.pageNames = pages_;
  if (!slave_.Start()) return false;
  ChannelManager& db = ChannelManager::Instance();
  db.Reset();
  db.SetRunning(true);
  running_ = true;
  auto channel = std::make_shared<NsTermination::ChannelEthernet>("以太网1");
  if (!db.AddChannel(channel)) return false;
  NsDevDefine::ENetDevParam param;
  param.name = "PLC1";
  param.deviceId = NsTermination::kModelModbusTcp;
  param.ipAddr = htonl(INADDR_LOOPBACK);
  param.port = slave_.Port();
  param.recvTimeout = 2000;
  if (!NsTermination::AddENetDev(channel->GetHandle(), param)) return false;
  if (channel->GetNodeList().empty()) return false;
  const std::shared_ptr<NsTermination::Node> node = channel->GetNodeList().front();
  for (const char* text : {"0x[0~99]", "4x[0~99]"}) {
    NsTermination::BlockDescriptor block;
    if (node->GetNodeMem()->ParseAddress(text, block.addr) != NsTermination::kAddrOk) return false;
    block.interval = 100;
    if (!node->AddReadTask(block, text, true)) return false;
  }
  return true;
}

void BenchProject::Close() {
  // Static projects end after the singletons: nothing to do when closed.
  if (!open_) return;
  open_ = false;
  if (running_) {
    ChannelManager::Instance().Reset();
    running_ = false;
  }
  slave_.Stop();
  QlEProject::Instance().Reset("");
}

}  // namespace NsOvrin::NsBench
