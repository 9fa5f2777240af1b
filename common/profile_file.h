#pragma once
// Windows profile (INI) files with the rules of GetPrivateProfileString /
// WritePrivateProfileString: section and key names compare without regard to
// ASCII case, blanks around a value and one pair of quotes are dropped, at most
// 2047 bytes of a value are seen, writing creates file, section and key as
// needed and replaces the value, leaving every other line as it was. The file
// is GB18030 text (GBK-identical for GBK characters) with CR LF line ends; a
// file with a UTF-8 byte order mark is read and kept as UTF-8, one with a
// UTF-16 mark (either byte order) as UTF-16. A path that is not a regular file
// (a FIFO, a device) reads as missing and refuses writes. Callers pass and
// receive UTF-8. Nothing is cached: each call opens the file.
#include <string>
#include <string_view>

namespace qm {

// The same rules on a file's bytes: the value read, and the file's bytes
// after writing a value.
std::string profileRead(std::string_view fileBytes, const std::string& section, const std::string& key,
                        const std::string& def = {});
std::string profileWritten(std::string_view fileBytes, const std::string& section, const std::string& key,
                           const std::string& value);

class ProfileFile {
 public:
  explicit ProfileFile(std::string path) : path_(std::move(path)) {}
  const std::string& path() const { return path_; }

  // The value, or def when the file, section or key is missing.
  std::string read(const std::string& section, const std::string& key, const std::string& def = {}) const;
  // Writes atomically; on failure returns false with error() holding
  // "Unable to write to <path>".
  bool write(const std::string& section, const std::string& key, const std::string& value);
  const std::string& error() const { return error_; }

 private:
  std::string path_;
  std::string error_;
};

}  // namespace qm
