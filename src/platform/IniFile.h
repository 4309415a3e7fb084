#pragma once
// INI files with the Win32 profile semantics the program relies on. Not
// QSettings, which escapes backslashes that Windows-written values hold.
//
// Lines end in LF or CRLF; a UTF-8 BOM is kept; a line whose first non-blank
// character is ';' is a comment. A file that is not valid UTF-8 was written
// in the ANSI code page (CP936) and is decoded from it; a write stores the
// whole file as UTF-8.
#include <cstddef>
#include <string>

namespace NsOvrin::NsPlatform {

// Section and key compared case-insensitively (ASCII); only the first section of the name is
// searched and its first matching key wins; blanks around keys
// and values are trimmed; a value in matching double or single quotes loses them; a missing file,
// section or key gives the default. The result is cut to maxChars - 1 UTF-16 units.
std::string GetProfileString(const std::string& iniPath, const std::string& section,
                             const std::string& key, const std::string& defaultValue,
                             std::size_t maxChars = 1024);

// Replaces the first matching key of the first section of the name (or appends it there,
// creating the section and the file when missing); written to a temporary file in the same
// folder and renamed over the target. A folder that takes no new file gets an existing file
// rewritten in place. False on any error.
// Also false, with the file untouched, for what would not read back as written: an empty
// section or key, a line break or NUL in any of the three, a key holding '=' or starting
// with ';' or '['.
bool WriteProfileString(const std::string& iniPath, const std::string& section,
                        const std::string& key, const std::string& value);

}  // namespace NsOvrin::NsPlatform
