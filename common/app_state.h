#pragma once
// Run-wide state that start-up fixes and several subsystems read.
#include <atomic>
#include <string>

namespace qm {

struct AppState {
  std::string serverHost;    // host or host:port, no scheme, no trailing "/"; fixed after start-up
  std::string settingsPath;  // full path of "quillmeresz.ini" beside the program
  // Set by "停止抓取", cleared by the exports and read by their worker threads.
  std::atomic<bool> stopRequested = false;
  bool autoUpdateCheck = false;
  std::string companionToolName;

  std::string serverUrl(const std::string& path = {}) const { return "http://" + serverHost + path; }
};

}  // namespace qm
