#pragma once
// A project made for the benchmarks in a temporary folder: pages of every
// element kind, written from element entries through the page reader and
// writer, and a running Modbus TCP node with the data blocks the addresses
// of those elements lie in. Nothing of it is stored in the repository.
#include <memory>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "support/ModbusTcpSlave.h"
#include "termination/Channel.h"

namespace NsOvrin::NsBench {

// The 14 element type names in type-code order.
extern const char* const kKindNames[14];

class BenchProject {
 public:
  // A fresh temporary folder; removed with the object.
  BenchProject();
  ~BenchProject();
  BenchProject(const BenchProject&) = delete;
  BenchProject& operator=(const BenchProject&) = delete;

  const std::string& Directory() const { return folder_.Path(); }
  const std::vector<std::string>& PageNames() const { return pages_; }

  // pages pages of perKind elements of each kind, IO tables of tableRows rows.
  // False when a page could not be written.
  bool WritePages(int pages, int perKind, int tableRows);
  // One page holding one IO table of rows rows.
  bool WriteTablePage(const std::string& name, int rows);
  // The page files' total size in bytes.
  std::size_t TotalBytes() const;

  // Opens the project as the error check sees it (folder and page names)
  // and starts node PLC1 against a loopback slave, with data blocks over the
  // generated addresses. False when the node could not be set up.
  bool Open();
  void Close();

 private:
  bool WritePage(const std::string& name, const std::string& elementsJson);

  TempFolder folder_;
  std::vector<std::string> pages_;
  NsTestSupport::ModbusTcpSlave slave_;
  bool running_ = false;
  bool open_ = false;
};

// The elements array of a page: perKind entries of each kind, in rows.
std::string MakeElementsJson(int perKind, int tableRows);

}  // namespace NsOvrin::NsBench
