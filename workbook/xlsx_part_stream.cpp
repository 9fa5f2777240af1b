#include "workbook/xlsx_part_stream.h"

#include <cstring>

#include <expat.h>
#include <zip.h>

#include <exception>
#include <vector>

#include "workbook/workbook_reader.h"
#include "workbook/workbook_source.h"

namespace qm::xlsx {
namespace {

constexpr char kNamespaceSeparator = '|';
constexpr int kChunk = 64 * 1024;

// One pass over the name: expat hands every element its namespace URI in
// front, some sixty characters per cell tag.
std::string_view localName(const char* name) {
  const char* bar = std::strrchr(name, kNamespaceSeparator);
  return bar == nullptr ? std::string_view(name) : std::string_view(bar + 1);
}

// Expat is C: an exception must not cross it. The callbacks keep the first
// one and stop the parser; parse() throws it once expat has returned.
struct Walk {
  XML_Parser parser;
  XmlHandler* handler;
  std::exception_ptr error;
};

template <typename F>
void guarded(void* data, F&& f) {
  auto* walk = static_cast<Walk*>(data);
  if (walk->error) return;
  try {
    f(*walk->handler);
  } catch (...) {
    walk->error = std::current_exception();
    XML_StopParser(walk->parser, XML_FALSE);
  }
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** atts) {
  guarded(data, [&](XmlHandler& h) { h.start(localName(name), atts); });
}
void XMLCALL onEnd(void* data, const XML_Char* name) {
  guarded(data, [&](XmlHandler& h) { h.end(localName(name)); });
}
void XMLCALL onText(void* data, const XML_Char* s, int len) {
  guarded(data, [&](XmlHandler& h) { h.text(std::string_view(s, static_cast<std::size_t>(len))); });
}

struct ParserDeleter {
  void operator()(XML_Parser p) const { XML_ParserFree(p); }
};
struct ZipFileDeleter {
  void operator()(zip_file_t* f) const { zip_fclose(f); }
};

}  // namespace

const char* attribute(const char** attributes, std::string_view name) {
  for (const char** a = attributes; a != nullptr && a[0] != nullptr; a += 2) {
    if (localName(a[0]) == name) return a[1];
  }
  return nullptr;
}

Package::Package(const std::string& path) : path_(path) {
  int code = 0;
  zip_ = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (zip_ == nullptr) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const std::string detail = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw WorkbookError(damagedWorkbookText(path, detail));
  }
}

Package::~Package() {
  if (zip_ != nullptr) zip_discard(zip_);
}

bool Package::has(std::string_view part) const {
  return zip_name_locate(zip_, std::string(part).c_str(), ZIP_FL_NOCASE) >= 0;
}

void Package::parse(std::string_view part, XmlHandler& handler) const {
  const std::string name(part);
  const zip_int64_t index = zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE);
  if (index < 0) throw WorkbookError(damagedWorkbookText(path_, "缺少 " + name));
  std::unique_ptr<zip_file_t, ZipFileDeleter> file(zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0));
  if (!file) throw WorkbookError(damagedWorkbookText(path_, name + "：" + zip_strerror(zip_)));
  std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreateNS(nullptr, kNamespaceSeparator));
  if (!parser) throw WorkbookError("内存不足，无法读取：" + path_);
  Walk walk{parser.get(), &handler, nullptr};
  XML_SetUserData(parser.get(), &walk);
  XML_SetElementHandler(parser.get(), onStart, onEnd);
  XML_SetCharacterDataHandler(parser.get(), onText);
  for (;;) {
    void* buffer = XML_GetBuffer(parser.get(), kChunk);
    if (buffer == nullptr) throw WorkbookError("内存不足，无法读取：" + path_);
    const zip_int64_t got = zip_fread(file.get(), buffer, kChunk);
    if (got < 0) throw WorkbookError(damagedWorkbookText(path_, name + "：" + zip_file_strerror(file.get())));
    const bool last = got == 0;
    const XML_Status status = XML_ParseBuffer(parser.get(), static_cast<int>(got), last);
    if (walk.error) std::rethrow_exception(walk.error);
    if (status != XML_STATUS_OK) {
      throw WorkbookError(damagedWorkbookText(
          path_, name + " 第" + std::to_string(XML_GetCurrentLineNumber(parser.get())) + "行：" +
                     XML_ErrorString(XML_GetErrorCode(parser.get()))));
    }
    if (last) return;
  }
}

std::string resolvePart(std::string_view fromPart, std::string_view target) {
  std::string joined;
  if (!target.empty() && target.front() == '/') {
    joined = target.substr(1);
  } else {
    const auto slash = fromPart.rfind('/');
    if (slash != std::string_view::npos) joined = fromPart.substr(0, slash + 1);
    joined += target;
  }
  std::vector<std::string_view> segments;
  const std::string_view all(joined);
  for (std::size_t from = 0; from <= all.size();) {
    auto to = all.find('/', from);
    if (to == std::string_view::npos) to = all.size();
    const std::string_view seg = all.substr(from, to - from);
    if (seg == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!seg.empty() && seg != ".") {
      segments.push_back(seg);
    }
    from = to + 1;
  }
  std::string out;
  for (const auto seg : segments) {
    if (!out.empty()) out.push_back('/');
    out += seg;
  }
  return out;
}

std::string relsPartOf(std::string_view part) {
  const auto slash = part.rfind('/');
  const std::string_view dir = slash == std::string_view::npos ? std::string_view{} : part.substr(0, slash + 1);
  const std::string_view base = slash == std::string_view::npos ? part : part.substr(slash + 1);
  return std::string(dir) + "_rels/" + std::string(base) + ".rels";
}

}  // namespace qm::xlsx
