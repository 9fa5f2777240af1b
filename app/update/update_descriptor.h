#pragma once
// The update descriptor: "quillmereup.txt" on the update server, saved beside
// the program as "quillmereup.ini" and read as a profile file, section "file".
#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

inline constexpr const char* kDescriptorRemoteName = "quillmereup.txt";
inline constexpr const char* kDescriptorFileName = "quillmereup.ini";
inline constexpr const char* kDescriptorSection = "file";

struct UpdateDescriptor {
  std::string filename;  // stem of the new program on the server and of the local download
  std::string ver;       // the announced version
  std::string sjxx;      // one line of update notes
  std::string sha256;    // SHA-256 of the new program, hex; our server publishes it
};

// Every key reads empty when the file, the section or the key is missing.
UpdateDescriptor readUpdateDescriptor(const std::string& path);
// The same from the descriptor's bytes (those whose signature was checked).
UpdateDescriptor parseUpdateDescriptor(std::string_view bytes);

// Section "companions": "<stem>=<sha256>" for each companion tool.
inline constexpr const char* kCompanionsSection = "companions";
// The hash the descriptor gives for a companion stem, trimmed; empty when none.
std::string companionHash(std::string_view descriptorBytes, const std::string& stem);

// Most a descriptor or its signature may be: a few hundred bytes in practice.
inline constexpr std::int64_t kMaxDescriptorBytes = 64 * 1024;
// Most a program or a companion tool may be.
inline constexpr std::int64_t kMaxProgramBytes = 512ll * 1024 * 1024;

// 64 hexadecimal digits, either case.
bool isSha256Hex(std::string_view text);

// A name the descriptor may give for files beside the program: not empty, no
// folder part, no "." or "..", no control characters. The original took any
// text, so "../x" would have written outside the program's folder.
bool isPlainFileStem(std::string_view stem);

}  // namespace qm
