// The CSV imports: an alarm list into an alarm group, and an address list into
// an IO table, as the two dialogs import them. Input: one byte choosing the
// group's address, the alarm list, a 0x1E byte, the address list (each in the
// code page, or UTF-8 behind the byte-order mark). Every text imported is
// UTF-8, whatever the bytes. The group is written to the alarm configuration
// file and read back, the table to its page file and read back: both hold
// exactly what was imported, a group left without messages included, with its
// address.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "platform/Utf.h"
#include "QlUiElem/QlPageData.h"
#include "QlUiElem/QlUiOvList.h"
#include "alarm/AlarmSegCvb.h"
#include "element_io/QlOvListIo.h"
#include "project_persistence/AlarmConfigFile.h"
#include "project_persistence/AlarmListCsv.h"
#include "project_persistence/IoTableCsv.h"
#include "project_persistence/PageFile.h"

namespace {

using namespace NsOvrin;

// Word and bit addresses of the fixed data blocks, short and long runs, and
// one in no block at all.
constexpr const char* kGroupAddresses[] = {"PLC1.4x0", "PLC1.0x60", "FX1.M10", "TCP1.4x99",
                                           "H3U1.D0", "NoSuch.D1"};

struct AlarmTexts {
  std::vector<std::string> messages;
  std::vector<std::string> templates;
  bool operator==(const AlarmTexts&) const = default;
};

AlarmTexts TextsOf(const NsAlarm::AlarmSeg& group) {
  AlarmTexts texts;
  for (std::size_t i = 0; i < group.GetCount(); ++i) {
    texts.messages.push_back(group.GetBitMessage(i));
    texts.templates.push_back(group.GetBitTemplate(i));
  }
  return texts;
}

void ImportAlarmList(const std::string& address, const std::string& csv) {
  NsFuzz::LoadFixedNodeDb(true);
  auto group = std::make_shared<NsAlarm::AlarmSegCvb>();
  group->BindAddress(address);
  std::vector<std::string> messages;
  if (!ReadAlarmListCsv(NsFuzz::WriteFile("alarms.csv", csv), messages)) std::abort();
  for (const std::string& message : messages)
    if (!NsPlatform::IsValidUtf8(message)) std::abort();
  // The dialog leaves out what the group cannot hold.
  if (messages.size() > group->GetMaxBits()) messages.resize(group->GetMaxBits());
  group->SetMessages(messages);
  NsAlarm::AlarmManager::Instance().AddSeg(group);
  const AlarmTexts imported = TextsOf(*group);
  const std::string importedAddress = group->GetAddress();
  group.reset();

  const std::string file = NsFuzz::PrivateFolder() + "/alarm_config";
  if (!WriteAlarmConfigFile(file)) std::abort();
  NsFuzz::LoadFixedNodeDb(true);
  if (!ReadAlarmConfigFile(file)) std::abort();
  const auto groups = NsAlarm::AlarmManager::Instance().GetSegments();
  if (groups.size() != 1 || !groups[0] || !(TextsOf(*groups[0]) == imported)) std::abort();
  const auto* reread = dynamic_cast<const NsAlarm::AlarmSegCvb*>(groups[0].get());
  if (reread == nullptr || reread->GetAddress() != importedAddress) std::abort();
}

void ImportAddressList(const std::string& csv) {
  using NsQlUiElem::QlUiOvList;
  using NsQlElemIo::QlOvListIo;
  std::vector<std::pair<std::string, std::string>> rows;
  if (!ReadIoTableCsv(NsFuzz::WriteFile("addresses.csv", csv), rows)) std::abort();
  for (const auto& [address, description] : rows)
    if (!NsPlatform::IsValidUtf8(address) || !NsPlatform::IsValidUtf8(description)) std::abort();
  auto page = std::make_shared<NsQlUiElem::QlPageData>();
  page->name = "table";
  page->rect = {0.0f, 0.0f, 800.0f, 480.0f};
  auto ui = std::make_shared<QlUiOvList>();
  auto io = std::make_shared<QlOvListIo>(ui);
  ui->table.SetRect({10.0f, 10.0f, 400.0f, 300.0f});
  // A full table takes neither half of a row, as in the dialog.
  for (const auto& [address, description] : rows) {
    if (!ui->AddRow(description)) break;
    io->rowAddresses.push_back(address);
  }
  page->elements.push_back({NsQlUiElem::kElemOVTable, ui, io});
  if (!SavePageFile(NsFuzz::PrivateFolder(), page, {})) std::abort();

  std::shared_ptr<NsQlUiElem::QlPageData> reread;
  if (!LoadPageFile(NsFuzz::PrivateFolder(), page->name, {}, reread) || reread->elements.size() != 1)
    std::abort();
  const auto* readUi = dynamic_cast<const QlUiOvList*>(reread->elements[0].ui.get());
  const auto* readIo = dynamic_cast<const QlOvListIo*>(reread->elements[0].io.get());
  if (readUi == nullptr || readIo == nullptr) std::abort();
  if (readUi->data.descriptions != ui->data.descriptions || readIo->rowAddresses != io->rowAddresses)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  NsFuzz::InputReader input(data, size);
  const char* address = kGroupAddresses[input.Byte() % std::size(kGroupAddresses)];
  const std::string alarms = input.Until('\x1e');
  ImportAlarmList(address, alarms);
  ImportAddressList(input.Rest());
  NsFuzz::ResetRuntime();
  return 0;
}
