#pragma once
// The publisher's update server as the about box and the companion tools see it:
// the descriptor, the new program and the companion programs.
#include <string>
#include <string_view>

namespace qm::sim {

// What the descriptor announces and how it is spoiled for the fault tests.
struct UpdateSettings {
  std::string version;        // "ver"
  bool withoutSection = false;  // the keys stand under [readme] instead of [file]
  bool wrongHash = false;       // "sha256" of other bytes
  std::string program;        // the program file's bytes
  bool companionWrongHash = false;  // [companions] hashes of other bytes
};

inline constexpr const char* kUpdateProgramStem = "quillmere";  // the descriptor's "filename"

// The version the program was built as, "a.b.c.d" (CMake's project version).
std::string builtProgramVersion();
// builtProgramVersion() with its last number one higher.
std::string newerProgramVersion();

// The stand-in program served as the update: a shell script that writes the version it
// announces to "<its own path>.started", padded with comment lines to 256 KiB.
std::string standInProgram(const std::string& version);
// A companion stand-in: writes its stem to "<its own path>.started"; 64 KiB.
std::string standInCompanion(std::string_view stem);
// True for "pellow", "drumsel" and "quorrit".
bool isCompanionStem(std::string_view stem);

// The descriptor "quillmereup.txt": GB18030 text, CR LF lines, section [file]
// with keys filename, ver, sjxx, sha256, and section [companions] with
// "<stem>=<sha256>" for each companion stand-in.
std::string updateDescriptor(const UpdateSettings& settings);

// The test key the update server signs with unless told otherwise.
std::string defaultUpdateKeyFile();
// Base64 (one line) of the Ed25519 signature over bytes with the PEM private
// key in keyFile; empty when the key cannot be read or used.
std::string signUpdateDescriptor(std::string_view bytes, const std::string& keyFile);

// Lower-case hex SHA-256 of the bytes.
std::string sha256Hex(std::string_view bytes);

// Bytes of a file; empty when it cannot be read.
std::string readWholeFile(const std::string& path);

// UTF-8 text in GB18030; false when it cannot be converted.
bool toGb18030(const std::string& utf8, std::string& out);

}  // namespace qm::sim
