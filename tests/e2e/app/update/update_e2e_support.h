#pragma once
// Shared by the update and companion tests: a regsim whose update server the
// settings file names, a scratch program folder, and waiting on the event loop.
#include <QCoreApplication>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/update/update_source.h"
#include "common/profile_file.h"
#include "tests/support/regsim_test_util.h"
#include "tests/support/temp_folder.h"
#include "tests/support/update_signing.h"

namespace qm::test {

inline std::vector<std::string> namesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Keeps the event loop running until pred holds; generous, so a slow machine
// only makes the test slower.
template <typename Pred>
bool waitUntil(Pred pred, int ms = 60000) {
  return QTest::qWaitFor(pred, ms);
}

// A port on 127.0.0.1 where nothing listens: a server that was there and went.
inline int closedPort() {
  sim::RegSim gone;
  if (!gone.start()) return 1;
  const int port = gone.port();
  gone.stop();
  return port;
}

// The program's folder with its settings file naming the update server.
struct ProgramFolder {
  TempFolder tmp;
  std::filesystem::path folder;
  std::string programPath, settingsPath;

  // publicKey: "[升级] pubkey=", the key regsim signs with unless given; empty: none.
  ProgramFolder(const std::string& name, const std::string& updateUrl, const std::string& publicKey = testPublicKey())
      : tmp(name) {
    folder = tmp.path / "程序";
    std::filesystem::create_directories(folder);
    programPath = (folder / "quillmere").string();
    std::ofstream(programPath, std::ios::binary) << "#!/bin/sh\n# the old program\n";
    std::filesystem::permissions(programPath, std::filesystem::perms::owner_all);
    settingsPath = (folder / "quillmeresz.ini").string();
    ProfileFile(settingsPath).write(kUpdateSection, kUpdateUrlKey, updateUrl);
    if (!publicKey.empty()) ProfileFile(settingsPath).write(kUpdateSection, "pubkey", publicKey);
  }
  std::string dir() const { return folder.string() + "/"; }
};

}  // namespace qm::test
