// Text files in the ANSI code page, read line by line as the CSV imports do;
// every line is written back through the code-page writer.
#include "FuzzSupport.h"
#include "common/StrFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  RFileACP reader;
  if (!reader.Open(NsFuzz::WriteFile("list.csv", data, size))) return 0;
  WFileACP writer;
  writer.Open(NsFuzz::PrivateFolder() + "/out.csv", CreationDisposition::CreateAlways);
  std::string line;
  while (reader.ReadLine(line)) writer.WriteLine(line);
  writer.Close();
  return 0;
}
