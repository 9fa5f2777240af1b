// Times the batch photo run on camera-sized (3000 x 4000) and small
// (640 x 480) photos, with one thread and with two, and measures how close
// the written photos are to the exact area average of their crop.
//
//   photo_batch_bench [--big N] [--small N] [--dir FOLDER]
//
// When vipsthumbnail is on the PATH, it makes the same 154 x 189 photos at
// quality 100 in one process for comparison.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "bench/bench_support.h"
#include "photo/batch/batch_run.h"
#include "photo/image/batch_photo.h"
#include "photo/image/jpeg_codec.h"
#include "tests/unit/photo/synthetic_photo.h"

namespace fs = std::filesystem;
using namespace qm::photo;

namespace {

constexpr int kDistinct = 6;  // different pictures per size; the rest are copies

struct Set {
  const char* name;
  int width, height, count;
  std::vector<std::string> pictures;  // the distinct source files
};

struct NullListener : BatchListener {
  int lines = 0;
  void logLine(const std::string&) override { ++lines; }
};

void writeFile(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

std::string readLoad() {
  std::ifstream in("/proc/loadavg");
  std::string line;
  std::getline(in, line);
  return line + "\n";
}

std::string findOnPath(const char* program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "";
  for (std::size_t at = 0; at <= dirs.size();) {
    std::size_t end = dirs.find(':', at);
    if (end == std::string::npos) end = dirs.size();
    fs::path candidate = fs::path(dirs.substr(at, end - at)) / program;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    at = end + 1;
  }
  return {};
}

double timeRunOnce(const std::vector<BatchStudent>& students, const fs::path& source, const fs::path& target,
                   unsigned threads) {
  fs::remove_all(target);
  fs::create_directories(target);
  BatchRunOptions options{source.string(), target.string(), threads, {}};
  NullListener log;
  std::atomic<bool> stop{false};
  auto start = bench::Clock::now();
  BatchSummary s = runPhotoBatch(students, options, stop, log);
  double seconds = bench::seconds(start);
  if (s.ok != s.total) std::printf("  warning: %d of %d photos failed\n", s.failed, s.total);
  return seconds;
}

double threadCpuSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

double cpuSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Voluntary context switches of the process: threads that went to sleep on
// a lock, a condition or the disk.
long sleeps() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return u.ru_nvcsw;
}

struct RunTime {
  double wall = 0, cpu = 0;
  long sleeps = 0;
};

// Best wall time of a few runs, with the CPU time the process spent in that run.
RunTime timeRun(const std::vector<BatchStudent>& students, const fs::path& source, const fs::path& target,
                unsigned threads, int repeats = 3) {
  RunTime best{1e18, 0, 0};
  for (int r = 0; r < repeats; ++r) {
    double cpu = cpuSeconds();
    long slept = sleeps();
    double wall = timeRunOnce(students, source, target, threads);
    if (wall < best.wall) best = {wall, cpuSeconds() - cpu, sleeps() - slept};
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  int big = 200, small = 200;
  fs::path root = fs::temp_directory_path() / ("qm_photo_bench_" + std::to_string(::getpid()));
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string a = argv[i];
    if (a == "--big") big = std::atoi(argv[i + 1]);
    else if (a == "--small") small = std::atoi(argv[i + 1]);
    else if (a == "--dir") root = argv[i + 1];
  }
  std::vector<Set> sets{{"3000x4000", 3000, 4000, big, {}}, {"640x480", 640, 480, small, {}}};

  std::printf("making photos in %s ...\n", root.c_str());
  for (Set& set : sets) {
    for (int k = 0; k < kDistinct; ++k)
      set.pictures.push_back(encodeJpeg(qm::photo::test::syntheticPhoto(set.width, set.height, 100 + k), 97));
    fs::path src = root / set.name;
    fs::create_directories(src);
    for (int i = 0; i < set.count; ++i) writeFile(src / (std::to_string(i) + ".jpg"), set.pictures[i % kDistinct]);
    std::size_t bytes = 0;
    for (auto& p : set.pictures) bytes += p.size();
    std::printf("  %d photos of %s, %.2f MB each on average\n", set.count, set.name, bytes / 1e6 / kDistinct);
  }

  std::printf("\nquality (luma PSNR of the written photo against the exact area average of the crop):\n");
  for (Set& set : sets) {
    double worst = 1e9;
    for (const std::string& picture : set.pictures) {
      RgbImage reference = qm::photo::test::exactBatchPhoto(*decodeJpeg(picture));
      auto written = decodeJpeg(*makeBatchPhoto(picture));
      worst = std::min(worst, qm::photo::test::lumaPsnr(*written, reference));
    }
    std::printf("  %-10s lowest of %d pictures: %.2f dB\n", set.name, kDistinct, worst);
  }

  std::printf("\nreduced decode alone (libjpeg-turbo, CPU time, best of 5 per picture):\n");
  for (Set& set : sets) {
    double total = 0;
    for (const std::string& picture : set.pictures) {
      double best = 1e9;
      DctScale scale = set.width > 1000 ? DctScale{1, 8} : DctScale{1, 1};
      for (int r = 0; r < 5; ++r) {
        double start = threadCpuSeconds();
        decodeJpeg(picture, scale);
        best = std::min(best, threadCpuSeconds() - start);
      }
      total += best;
    }
    std::printf("  %-10s %.2f ms per photo\n", set.name, total / kDistinct * 1e3);
  }

  std::printf("\nload average before the runs: %s", readLoad().c_str());
  std::printf("\nbatch run (read, decode, crop, scale, encode, write atomically, in list order):\n");
  for (Set& set : sets) {
    std::vector<BatchStudent> students;
    for (int i = 0; i < set.count; ++i) students.push_back({std::to_string(i), "ID" + std::to_string(i)});
    fs::path src = root / set.name, dst = root / (std::string(set.name) + "_out");
    timeRunOnce(students, src, dst, 1);  // warm up: files in the page cache
    RunTime one = timeRun(students, src, dst, 1), two = timeRun(students, src, dst, 2);
    auto ms = [&](double s) { return s / set.count * 1e3; };
    // Cores kept busy (CPU time over wall time): on a loaded machine a ratio
    // well below 1 (one thread) or 2 (two) says the run waited for a core,
    // not for its own locks or writes.
    std::printf("  %-10s 1 thread  %6.2f ms per photo (CPU %.2f ms, %.2f cores busy, %.1f sleeps)\n", set.name,
                ms(one.wall), ms(one.cpu), one.cpu / one.wall, double(one.sleeps) / set.count);
    std::printf("  %-10s 2 threads %6.2f ms per photo (CPU %.2f ms, %.2f cores busy, %.1f sleeps), %.2fx the 1-thread rate\n",
                set.name, ms(two.wall), ms(two.cpu), two.cpu / two.wall, double(two.sleeps) / set.count,
                one.wall / two.wall);
  }

  std::string vips = findOnPath("vipsthumbnail");
  if (vips.empty()) {
    std::printf("\nvipsthumbnail not found on the PATH: comparison skipped (package libvips-tools)\n");
  } else {
    std::printf("\n%s, one process per set:\n", vips.c_str());
    for (Set& set : sets) {
      fs::path src = root / set.name, dst = root / (std::string(set.name) + "_vips");
      fs::create_directories(dst);
      std::string command = "'" + vips + "' --size 154x189 --smartcrop none -o '" + dst.string() +
                            "/%s.jpg[Q=100]' '" + src.string() + "'/*.jpg";
      auto start = bench::Clock::now();
      int rc = std::system(command.c_str());
      double s = bench::seconds(start);
      std::printf("  %-10s %.2f ms per photo%s\n", set.name, s / set.count * 1e3, rc ? " (failed)" : "");
    }
  }
  std::printf("\nload average while measuring: %s", readLoad().c_str());
  std::printf("peak resident memory %ld kB\n", bench::statusKb("VmHWM:"));
  fs::remove_all(root);
  return 0;
}
