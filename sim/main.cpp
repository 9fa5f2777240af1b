// regsim: runs the substitute registration server until SIGINT or SIGTERM.
// Prints "LISTENING <port>" once it accepts connections.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "sim/regsim.h"

namespace {

using qm::sim::RegSimOptions;

void usage() {
  std::fprintf(stderr,
               "usage: regsim [--port N] [--account-type N] [--seed N] [--students N] [--drop-at N]\n"
               "              [--fail-status-at N] [--missing-key-at N] [--no-class-at N] [--keepalive-redirect]\n"
               "              [--delay-ms N] [--log FILE]\n"
               "  list pages:   [--details-layout] [--grid-rows N] [--pager-stuck] [--page-step-ms N]\n"
               "  province:     [--outside-people N] [--print-captcha] [--session-ends-at N]\n"
               "                [--page-without-token] [--login-page-when-logged-out]\n"
               "  update:       [--update-version TEXT] [--update-same-version] [--update-no-section]\n"
               "                [--update-wrong-hash] [--update-drop-download] [--update-program FILE]\n"
               "                [--update-key PEM] [--update-unsigned] [--update-tamper-descriptor]\n"
               "                [--update-companion-wrong-hash]\n"
               "                [--update-fault stall|endless|close-early|early-hints] [--update-fault-file NAME]\n"
               "  (--update-version defaults to the built version: no update is offered)\n"
               "  hostile:      [--endless-body] [--never-answer] [--bare-cr-cookie]\n"
               "login: user \"%s\", password \"%s\"\n",
               qm::sim::RegSim::kUserName, qm::sim::RegSim::kPassword);
}

bool parseInt(const char* text, long long low, long long high, long long& out) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < low || v > high) return false;
  out = v;
  return true;
}

struct SwitchFlag {
  const char* name;
  bool RegSimOptions::*member;
};
const SwitchFlag kSwitches[] = {
    {"--keepalive-redirect", &RegSimOptions::keepAliveRedirect},
    {"--details-layout", &RegSimOptions::detailsLayout},
    {"--pager-stuck", &RegSimOptions::pagerStuck},
    {"--print-captcha", &RegSimOptions::printCaptcha},
    {"--update-same-version", &RegSimOptions::updateSameVersion},
    {"--update-no-section", &RegSimOptions::updateNoSection},
    {"--update-wrong-hash", &RegSimOptions::updateWrongHash},
    {"--update-drop-download", &RegSimOptions::updateDropDownload},
    {"--update-unsigned", &RegSimOptions::updateUnsigned},
    {"--update-tamper-descriptor", &RegSimOptions::updateTamperDescriptor},
    {"--update-companion-wrong-hash", &RegSimOptions::updateCompanionWrongHash},
    {"--endless-body", &RegSimOptions::endlessBody},
    {"--never-answer", &RegSimOptions::neverAnswer},
    {"--bare-cr-cookie", &RegSimOptions::bareCrCookie},
    {"--page-without-token", &RegSimOptions::pageWithoutToken},
    {"--login-page-when-logged-out", &RegSimOptions::loginPageWhenLoggedOut},
};

struct IntFlag {
  const char* name;
  int RegSimOptions::*member;
  long long low, high;
};
const IntFlag kInts[] = {
    {"--port", &RegSimOptions::port, 0, 65535},
    {"--account-type", &RegSimOptions::accountType, 0, 9},
    {"--students", &RegSimOptions::students, 0, 10000000},
    {"--drop-at", &RegSimOptions::dropAtRequest, 0, 1 << 30},
    {"--fail-status-at", &RegSimOptions::failStatusAt, 0, 1 << 30},
    {"--missing-key-at", &RegSimOptions::missingKeyAt, -1, 1 << 30},
    {"--no-class-at", &RegSimOptions::noClassAt, -1, 1 << 30},
    {"--delay-ms", &RegSimOptions::delayMs, 0, 600000},
    {"--grid-rows", &RegSimOptions::gridRows, -1, 10000000},
    {"--page-step-ms", &RegSimOptions::pageStepMs, 0, 600000},
    {"--outside-people", &RegSimOptions::outsidePeople, 0, 100000},
    {"--session-ends-at", &RegSimOptions::sessionEndsAt, 0, 1 << 30},
};

struct TextFlag {
  const char* name;
  std::string RegSimOptions::*member;
};
const TextFlag kTexts[] = {
    {"--log", &RegSimOptions::logPath},
    {"--update-version", &RegSimOptions::updateVersion},
    {"--update-program", &RegSimOptions::updateProgramFile},
    {"--update-key", &RegSimOptions::updateKeyFile},
    {"--update-fault", &RegSimOptions::updateFault},
    {"--update-fault-file", &RegSimOptions::updateFaultFile},
};

// Applies one flag with a value; false when the flag is unknown or the value bad.
bool applyValue(RegSimOptions& options, const std::string& flag, const char* value) {
  for (const auto& f : kTexts) {
    if (flag != f.name) continue;
    options.*f.member = value;
    return true;
  }
  long long n = 0;
  if (flag == "--seed") {
    if (!parseInt(value, 0, 4294967295ll, n)) return false;
    options.seed = static_cast<unsigned>(n);
    return true;
  }
  for (const auto& f : kInts) {
    if (flag != f.name) continue;
    if (!parseInt(value, f.low, f.high, n)) return false;
    options.*f.member = static_cast<int>(n);
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  RegSimOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--help" || flag == "-h") {
      usage();
      return 0;
    }
    bool isSwitch = false;
    for (const auto& f : kSwitches)
      if (flag == f.name) options.*f.member = isSwitch = true;
    if (isSwitch) continue;
    if (i + 1 >= argc) {
      std::fprintf(stderr, "regsim: %s needs a value\n", flag.c_str());
      usage();
      return 2;
    }
    const char* value = argv[++i];
    if (!applyValue(options, flag, value)) {
      std::fprintf(stderr, "regsim: bad option %s %s\n", flag.c_str(), value);
      usage();
      return 2;
    }
  }
  const std::string fault = options.updateFault;
  if (!fault.empty() && fault != "stall" && fault != "endless" && fault != "close-early" && fault != "early-hints") {
    std::fprintf(stderr, "regsim: unknown --update-fault %s\n", fault.c_str());
    return 2;
  }
  if (!options.updateProgramFile.empty() && access(options.updateProgramFile.c_str(), R_OK) != 0) {
    std::fprintf(stderr, "regsim: cannot read %s: %s\n", options.updateProgramFile.c_str(), std::strerror(errno));
    return 2;
  }

  // Block the stop signals before any thread starts, so only sigwait below sees them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  qm::sim::RegSim server(options);
  if (!server.start()) {
    std::fprintf(stderr, "regsim: cannot listen on 127.0.0.1:%d: %s\n", options.port, std::strerror(errno));
    return 1;
  }
  std::cout << "LISTENING " << server.port() << std::endl;
  int signal = 0;
  sigwait(&stopSignals, &signal);
  server.stop();
  return 0;
}
