// The settings-file rules on arbitrary file bytes (GB18030, UTF-8 or UTF-16
// with their marks): reading never fails, a written value reads back, and
// writing it again changes nothing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/profile_file.h"

namespace {

// Names the broken invariant's line before aborting.
void requireAt(bool ok, int line) {
  if (ok) return;
  std::fprintf(stderr, "invariant at line %d broken\n", line);
  std::abort();
}
#define require(ok) requireAt((ok), __LINE__)

// Names and values from a small alphabet, so what must read back is known.
std::string plainText(std::string_view raw, std::size_t max) {
  static constexpr std::string_view kAlphabet = "abcXYZ019_ .";
  std::string out;
  for (char c : raw.substr(0, max)) out += kAlphabet[static_cast<unsigned char>(c) % kAlphabet.size()];
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  // Three leading bytes give the lengths of section, key and value; the rest is the file.
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t sectionLen = data[0] % 8 + 1, keyLen = data[1] % 8 + 1, valueLen = data[2] % 16;
  std::string_view rest = input.substr(3);
  const std::string section = plainText(rest, sectionLen);
  rest.remove_prefix(std::min(rest.size(), sectionLen));
  const std::string key = plainText(rest, keyLen);
  rest.remove_prefix(std::min(rest.size(), keyLen));
  const std::string value = plainText(rest, valueLen);
  rest.remove_prefix(std::min(rest.size(), valueLen));
  const std::string_view file = rest;

  (void)qm::profileRead(file, section, key, "default");
  (void)qm::profileRead(file, "学籍系统省份", "xjxtsf", "");

  // Names that trim to nothing, or start a comment, are not names.
  auto trim = [](std::string s) {
    while (!s.empty() && s.front() == ' ') s.erase(0, 1);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  };
  // Callers pass names without blanks at their ends.
  const std::string name = trim(section), entry = trim(key);
  if (name.empty() || entry.empty()) return 0;

  const std::string written = qm::profileWritten(file, name, entry, value);
  require(qm::profileRead(written, name, entry, "\x01") == trim(value));
  require(qm::profileWritten(written, name, entry, value) == written);
  return 0;
}
