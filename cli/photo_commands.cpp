#include "cli/photo_commands.h"

#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <ostream>
#include <thread>

#include "cli/args.h"
#include "photo/batch/batch_texts.h"
#include "photo/batch/batch_run.h"
#include "photo/compress/compress_texts.h"
#include "photo/compress/compress_model.h"
#include "photo/image/crop_rules.h"
#include "photo/image/size_format.h"
#include "workbook/workbook_source.h"

using namespace qm::cli;
using namespace qm::photo;

namespace {

constexpr std::string_view kPhotosHelp =
    "Usage: quillmere-batch photos LIST.xls SOURCE_DIR (TARGET_DIR | --in-place) [--threads N]\n"
    "\n"
    "Makes the 154 x 189 registration photo of every student in sheet Sheet1 of\n"
    "LIST.xls, as the batch photo window does: SOURCE_DIR/<照片号>.jpg (letter case\n"
    "ignored when no file has the exact name) is cut to the photo's proportions,\n"
    "scaled by area averaging and written as TARGET_DIR/<身份证件号>.jpg at JPEG\n"
    "quality 100. Prints the log lines (UTF-8) on standard output, one per line.\n"
    "Ctrl-C stops the run after the current student, as the window's stop button.\n"
    "\n"
    "Options:\n"
    "  --in-place     write into SOURCE_DIR (原图直接处理) instead of TARGET_DIR\n"
    "  --threads N    threads making photos (default: the number of cores)\n"
    "  -h, --help     show this help\n"
    "\n"
    "Exit status: 0 the run ended (failed photos are in the log), 2 usage error,\n"
    "a list that cannot be read, or missing columns.\n";

constexpr std::string_view kCompressHelp =
    "Usage: quillmere-batch compress PICTURE [--width W] [--height H] [--keep-ratio]\n"
    "                                [--quality Q] (--output FILE | --in-place)\n"
    "\n"
    "Re-encodes a JPEG or BMP picture as JPEG, as the compression window does: the\n"
    "picture is scaled by area averaging to W x H and encoded at quality Q. Prints\n"
    "the predicted size and the written size, one per line, as \"0.00Kb\" (bytes\n"
    "divided by 1000).\n"
    "\n"
    "Options:\n"
    "  --width W      new width, 1 to the picture's width (default: the picture's)\n"
    "  --height H     new height, 1 to the picture's height (default: the picture's)\n"
    "  --keep-ratio   keep the proportions: give exactly one of --width and --height\n"
    "  --quality Q    JPEG quality 1 to 100 (default 100)\n"
    "  --output FILE  write a new file (压缩另存为)\n"
    "  --in-place     write over PICTURE, JPEG data under its own name (压缩原名保存)\n"
    "  -h, --help     show this help\n"
    "Values out of range are brought into it, as the window's boxes do.\n"
    "\n"
    "Exit status: 0 written, 2 usage error or a picture that cannot be read or written.\n";

constexpr std::array<OptionSpec, 2> kPhotosOptions{{{"--in-place", false}, {"--threads", true}}};
constexpr std::array<OptionSpec, 6> kCompressOptions{{{"--width", true},
                                                      {"--height", true},
                                                      {"--keep-ratio", false},
                                                      {"--quality", true},
                                                      {"--output", true},
                                                      {"--in-place", false}}};

double number(const ParsedArgs& a, std::string_view option) {
  const std::string& text = *a.value(option);
  double v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
    throw UsageError(std::string(option) + " needs a number, not \"" + text + "\"");
  return v;
}

unsigned threadCount(const ParsedArgs& a) {
  if (!a.value("--threads")) return std::max(1u, std::thread::hardware_concurrency());
  double v = number(a, "--threads");
  if (v != std::floor(v) || v < 1 || v > 256) throw UsageError("--threads needs a whole number from 1 to 256");
  return static_cast<unsigned>(v);
}

// The message box text on a terminal: its CR becomes a line end.
std::string forTerminal(std::string text) {
  for (char& c : text)
    if (c == '\r') c = '\n';
  return text;
}

std::atomic<bool> interruptStop{false};

extern "C" void stopOnInterrupt(int) {
  interruptStop.store(true);
  std::signal(SIGINT, SIG_DFL);  // a second Ctrl-C ends the program at once
}

class PrintingListener : public BatchListener {
 public:
  explicit PrintingListener(std::ostream& out) : out_(out) {}
  void logLine(const std::string& line) override { out_ << line << '\n'; }
  void recordDone(int, int) override { out_.flush(); }

 private:
  std::ostream& out_;
};

}  // namespace

int runPhotosCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs a;
  BatchRunOptions options;
  if (auto done = startCommand("photos", args, kPhotosOptions, kPhotosHelp, a, out, err, [&] {
        const bool inPlace = a.has("--in-place");
        const std::size_t expected = inPlace ? 2 : 3;
        if (a.positional.size() != expected)
          throw UsageError(inPlace ? "give LIST.xls and SOURCE_DIR with --in-place"
                                   : "give LIST.xls, SOURCE_DIR and TARGET_DIR (or --in-place)");
        options.threads = threadCount(a);
        options.sourceFolder = a.positional[1];
        options.targetFolder = inPlace ? a.positional[1] : a.positional[2];
        for (const std::string& folder : {options.sourceFolder, options.targetFolder}) {
          std::error_code ec;
          if (!std::filesystem::is_directory(folder, ec)) throw UsageError("not a folder: " + folder);
        }
      }))
    return *done;

  qm::WorkbookSource list;
  std::vector<BatchStudent> students;
  try {
    openBatchList(list, a.positional[0]);
    students = readBatchList(list);
  } catch (const BatchListError& e) {
    err << "quillmere-batch photos: " << kBatchErrorTitle << "\n" << forTerminal(e.what()) << "\n";
    return kExitFailure;
  }
  list.close();

  PrintingListener listener(out);
  interruptStop.store(false);
  auto previous = std::signal(SIGINT, stopOnInterrupt);
  runPhotoBatch(students, options, interruptStop, listener);
  std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
  out.flush();
  return kExitOk;
}

int runCompressCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs a;
  if (auto done = startCommand("compress", args, kCompressOptions, kCompressHelp, a, out, err, [&] {
        if (a.positional.size() != 1) throw UsageError(a.positional.empty() ? "no picture given" : "one picture only");
        if (a.has("--output") == a.has("--in-place")) throw UsageError("give either --output FILE or --in-place");
        if (a.has("--keep-ratio") && a.has("--width") == a.has("--height"))
          throw UsageError("--keep-ratio needs exactly one of --width and --height");
        for (const char* option : {"--width", "--height", "--quality"})
          if (a.value(option)) number(a, option);
      }))
    return *done;

  CompressModel model;
  if (!model.open(a.positional[0])) {
    err << "quillmere-batch compress: " << kCompressErrorTitle << "\n" << kCompressUnreadable << "\n";
    return kExitFailure;
  }
  model.setQuality(a.value("--quality") ? roundHalfEven(std::clamp(number(a, "--quality"), 1.0, 100.0)) : 100);
  model.setKeepRatio(a.has("--keep-ratio"));
  if (a.value("--width")) model.setWidth(number(a, "--width"));
  if (a.value("--height")) model.setHeight(number(a, "--height"));

  auto predicted = model.predictSize();
  CompressSaveResult saved;
  if (predicted) saved = a.has("--in-place") ? model.saveInPlace() : model.saveAs(*a.value("--output"));
  if (!predicted || !saved.ok) {
    err << "quillmere-batch compress: " << kCompressErrorTitle << "\n" << kCompressSaveFailed << "\n";
    return kExitFailure;
  }
  out << formatKb(*predicted) << "\n" << formatKb(saved.size) << "\n";
  return kExitOk;
}
