#pragma once
// Folders, photos and .xls lists for the batch run tests. Lists are written by
// tests/fixtures/photo/make_list.py with python3-xlwt, an independent writer.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>
#include <variant>
#include <vector>

#include "photo/batch/batch_run.h"
#include "photo/image/jpeg_codec.h"
#include "tests/support/temp_folder.h"
#include "tests/unit/photo/synthetic_photo.h"

namespace qm::photo::test {

namespace fs = std::filesystem;

struct BatchFolders {
  qm::test::TempFolder tmp;
  fs::path root, source, target;
  explicit BatchFolders(const std::string& name)
      : tmp("photo_" + name), root(tmp.path), source(root / "src"), target(root / "dst") {
    fs::create_directories(source);
    fs::create_directories(target);
  }
};

using qm::test::readFile;

inline void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A camera-like JPEG, different for every seed.
inline std::string cameraJpeg(std::uint64_t seed, int w = 640, int h = 480) {
  return encodeJpeg(syntheticPhoto(w, h, seed), 90);
}

// File names in a folder.
inline std::set<std::string> listFolder(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

using Cell = std::variant<std::monostate, std::string, double>;

inline std::string jsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\', out += char(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += char(c);
    }
  }
  return out + "\"";
}

// Writes rows (the first names the columns) into sheet of a new .xls file.
inline void writeList(const fs::path& xls, const std::vector<std::vector<Cell>>& rows,
                      const std::string& sheet = "Sheet1") {
  std::string json = "{\"sheet\": " + jsonString(sheet) + ", \"rows\": [";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    json += r ? ",[" : "[";
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      if (c) json += ",";
      const Cell& cell = rows[r][c];
      if (auto* s = std::get_if<std::string>(&cell)) json += jsonString(*s);
      else if (auto* d = std::get_if<double>(&cell)) json += std::to_string(*d);
      else json += "null";
    }
    json += "]";
  }
  json += "]}";
  fs::path description = xls.string() + ".json";
  writeFile(description, json);
  std::string command = std::string(QM_TEST_PYTHON) + " " + QM_PHOTO_FIXTURES + "/make_list.py '" + description.string() +
                        "' '" + xls.string() + "'";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("make_list.py failed: " + command);
  fs::remove(description);
}

struct RecordingListener : BatchListener {
  std::vector<std::string> lines;
  std::vector<int> records;
  std::function<void(int)> onRecord;
  void logLine(const std::string& line) override { lines.push_back(line); }
  void recordDone(int record, int) override {
    records.push_back(record);
    if (onRecord) onRecord(record);
  }
};

}  // namespace qm::photo::test
