#pragma once
// Test workbooks written by python3-xlwt (tests/support/write_xls.py), an
// independent writer. A test target defines QM_XLS_PYTHON and QM_XLS_WRITER.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace qm::test {

struct XlsCell {
  enum class Kind { Empty, Text, Number, Date } kind = Kind::Empty;
  std::string text;  // Text; Date as YYYY-MM-DD
  double number = 0;

  XlsCell() = default;
  XlsCell(const char* t) : kind(Kind::Text), text(t) {}
  XlsCell(std::string t) : kind(Kind::Text), text(std::move(t)) {}
  XlsCell(int n) : kind(Kind::Number), number(n) {}
  XlsCell(double n) : kind(Kind::Number), number(n) {}
  static XlsCell date(std::string ymd) {
    XlsCell c;
    c.kind = Kind::Date;
    c.text = std::move(ymd);
    return c;
  }
};
using XlsRow = std::vector<XlsCell>;

struct XlsSheet {
  std::string name;
  std::vector<XlsRow> rows;  // row 1 first: the column names
};

struct XlsFile {
  std::string path;
  std::vector<XlsSheet> sheets;
};

inline void appendJsonString(std::string& out, const std::string& s) {
  out += '"';
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

inline std::string xlsJson(const std::vector<XlsFile>& files) {
  std::string j = "{\"files\":[";
  for (std::size_t f = 0; f < files.size(); ++f) {
    j += f ? ",{\"path\":" : "{\"path\":";
    appendJsonString(j, files[f].path);
    j += ",\"sheets\":[";
    for (std::size_t s = 0; s < files[f].sheets.size(); ++s) {
      const XlsSheet& sheet = files[f].sheets[s];
      j += s ? ",{\"name\":" : "{\"name\":";
      appendJsonString(j, sheet.name);
      j += ",\"rows\":[";
      for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        j += r ? ",[" : "[";
        for (std::size_t c = 0; c < sheet.rows[r].size(); ++c) {
          if (c) j += ',';
          const XlsCell& cell = sheet.rows[r][c];
          switch (cell.kind) {
            case XlsCell::Kind::Empty: j += "null"; break;
            case XlsCell::Kind::Text: appendJsonString(j, cell.text); break;
            case XlsCell::Kind::Number: {
              char buf[64];
              std::snprintf(buf, sizeof buf, "%.17g", cell.number);
              j += buf;
              break;
            }
            case XlsCell::Kind::Date:
              j += "{\"date\":";
              appendJsonString(j, cell.text);
              j += '}';
              break;
          }
        }
        j += ']';
      }
      j += "]}";
    }
    j += "]}";
  }
  return j + "]}";
}

// Writes all the files with one run of the script.
inline void writeXlsFiles(const std::vector<XlsFile>& files, const std::string& scratchDir) {
  const std::string json = scratchDir + "/xls_description_" + std::to_string(::getpid()) + ".json";
  {
    std::ofstream out(json, std::ios::binary);
    out << xlsJson(files);
    if (!out) throw std::runtime_error("cannot write " + json);
  }
  const std::string command = std::string("'") + QM_XLS_PYTHON + "' '" + QM_XLS_WRITER + "' '" + json + "'";
  const int status = std::system(command.c_str());
  std::remove(json.c_str());
  if (status != 0) throw std::runtime_error("failed: " + command);
}

inline void writeXls(const XlsFile& file, const std::string& scratchDir) { writeXlsFiles({file}, scratchDir); }

}  // namespace qm::test
