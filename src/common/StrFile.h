#pragma once
// Line-oriented text files whose bytes are in an 8-bit code page: the CSV
// import and export of alarm lists and IO-table addresses. The encoding is a
// pluggable rule; the file classes only handle descriptors, buffering and line
// ends. Texts on our side are UTF-8.
#include <cstdint>
#include <memory>
#include <string>

#include "common/ByteBuffer.h"

namespace NsOvrin {

// How WFileBase::Open treats an existing or a missing file.
enum class CreationDisposition {
  CreateNew,         // fails when the file exists
  CreateAlways,      // any file
  OpenExisting,      // fails when the file is missing
  OpenAlways,        // any file
  TruncateExisting,  // fails when the file is missing
};

// Writes a file line by line. The lines go to a temporary file in the target's
// folder that replaces the target only when everything was written: a failed
// write, or a crash, never loses the old file.
class WFileBase {
 public:
  class CodeRule {
   public:
    virtual ~CodeRule() = default;
    // Writes text converted to the rule's encoding to the descriptor.
    virtual bool Write(int handle, const std::string& text) = 0;
    // Called once for a file that is new (see Open).
    virtual bool WriteHeader(int handle) = 0;
  };

  virtual ~WFileBase();
  WFileBase(const WFileBase&) = delete;
  WFileBase& operator=(const WFileBase&) = delete;

  // Starts writing path. False without a rule, for a disposition that refuses
  // the file as it is, for a target that is not a regular file or is
  // read-only, or when no temporary file can be made in its folder; errno then
  // holds the reason. The rule's header is written when the file counts as
  // new (CreateNew, CreateAlways, TruncateExisting; OpenAlways on a missing
  // file). Whatever the disposition, the written lines become the whole file.
  // A file still open from an earlier Open is closed first, as by Close.
  bool Open(const std::string& path, CreationDisposition disposition);

  // Writes text and "\r\n". An empty text writes only "\r\n". False, and no
  // line end, when no file is open, when the text cannot be written, or after
  // an earlier failure: a file with a failed write never replaces the target.
  bool WriteLine(const std::string& text);

  // Puts the written file in place of the target. False when no file was open
  // or when anything failed since Open; the target is then left as it was.
  // The destructor does the same for a file still open, without a result.
  bool Close();

  bool IsOpen() const { return handle_ >= 0; }

 protected:
  explicit WFileBase(std::unique_ptr<CodeRule> rule);

 private:
  int handle_ = -1;
  std::unique_ptr<CodeRule> rule_;
  std::string target_;
  std::string tempPath_;
  bool createNew_ = false;
  bool failed_ = false;
};

// A writer in the ANSI code page (CP936).
class WFileACP : public WFileBase {
 public:
  class CR_ACP : public CodeRule {
   public:
    // A character the code page lacks, and a byte that is not part of valid
    // UTF-8, becomes '?'.
    bool Write(int handle, const std::string& text) override;
    // The code page has no header: writes nothing.
    bool WriteHeader(int handle) override;
  };

  WFileACP();
};

// Reads a file line by line. A line ends at LF; its trailing run of CR and LF
// is dropped; the last line needs no LF.
class RFileBase {
 public:
  class CodeRule {
   public:
    virtual ~CodeRule() = default;
    // Checks (and consumes) what precedes the first line; false refuses the file.
    virtual bool ReadHeader(int handle) = 0;
    // Looks for a line end in bytes [from, to). True with position = the
    // index of its LF. False when there is none yet; position is then where a
    // later search over more bytes may resume.
    virtual bool FindLineEnd(const uint8_t* bytes, int32_t from, int32_t to, int32_t& position) = 0;
    // The UTF-8 text of length bytes.
    virtual void Decode(const uint8_t* bytes, int32_t length, std::string& text) = 0;
  };

  virtual ~RFileBase();
  RFileBase(const RFileBase&) = delete;
  RFileBase& operator=(const RFileBase&) = delete;

  // Opens an existing regular file; false without a rule, when it does not
  // open or when the rule refuses its header. Bytes left from a file opened
  // earlier are dropped.
  bool Open(const std::string& path);

  // The next line, without its line end. False when no file is open, when no
  // line is left, and when reading the file failed (Failed tells which).
  bool ReadLine(std::string& text);

  // Reads until the pending bytes hold a whole line (or the file ends); false
  // when no byte is pending or a read failed.
  bool FillLine();

  // A read of the open file failed: the lines given so far are not the whole
  // file, and no further line is given. Error() is errno of that read.
  bool Failed() const { return error_ != 0; }
  int Error() const { return error_; }

 protected:
  explicit RFileBase(std::unique_ptr<CodeRule> rule);

 private:
  void CloseHandle();
  // Ends the reading after a failure: nothing more is given.
  void StopFailed(int error);

  int handle_ = -1;
  ByteBuffer pending_;
  int32_t lineLength_ = 0;
  bool endOfData_ = true;
  // errno of a failed read; 0 while none failed.
  int error_ = 0;
  // Where the line-end search resumes after more bytes were read.
  int32_t searchFrom_ = 0;
  std::unique_ptr<CodeRule> rule_;
};

// A reader in the ANSI code page (CP936). A file that begins with the UTF-8
// byte-order mark is UTF-8 (spreadsheet programs save CSV files so): it is
// read as such, without the mark.
class RFileACP : public RFileBase {
 public:
  class CRACP : public CodeRule {
   public:
    // Looks for the mark; false only when the file cannot be read.
    bool ReadHeader(int handle) override;
    bool FindLineEnd(const uint8_t* bytes, int32_t from, int32_t to, int32_t& position) override;
    // A byte that starts no character of the file's encoding becomes U+FFFD.
    void Decode(const uint8_t* bytes, int32_t length, std::string& text) override;

   private:
    // The file began with the UTF-8 mark.
    bool utf8_ = false;
  };

  RFileACP();
};

}  // namespace NsOvrin
