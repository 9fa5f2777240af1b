#include "workbook/xlsx_workbook.h"

#include <charconv>
#include <cstring>
#include <map>

#include "workbook/number_format.h"
#include "workbook/workbook_reader.h"
#include "workbook/workbook_source.h"

namespace qm::xlsx {
namespace {


bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

bool isTrue(const char* v) { return v != nullptr && (std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0); }

int toInt(const char* v, int fallback) {
  if (v == nullptr) return fallback;
  int n = fallback;
  const auto res = std::from_chars(v, v + std::strlen(v), n);
  return res.ec == std::errc() ? n : fallback;
}

struct Relationship {
  std::string type;
  std::string target;
};

// Id -> relationship, external targets left out.
class RelsHandler final : public XmlHandler {
 public:
  std::map<std::string, Relationship, std::less<>> byId;
  void start(std::string_view name, const char** atts) override {
    if (name != "Relationship") return;
    const char* id = attribute(atts, "Id");
    const char* type = attribute(atts, "Type");
    const char* target = attribute(atts, "Target");
    const char* mode = attribute(atts, "TargetMode");
    if (id == nullptr || type == nullptr || target == nullptr) return;
    if (mode != nullptr && std::strcmp(mode, "External") == 0) return;
    byId.emplace(id, Relationship{type, target});
  }
  void end(std::string_view) override {}
  const Relationship* firstOfType(std::string_view tail) const {
    for (const auto& [id, rel] : byId)
      if (endsWith(rel.type, tail)) return &rel;
    return nullptr;
  }
};

class WorkbookHandler final : public XmlHandler {
 public:
  struct Sheet {
    std::string name, relId;
  };
  std::vector<Sheet> sheets;
  bool date1904 = false;
  void start(std::string_view name, const char** atts) override {
    if (name == "workbookPr") {
      date1904 = isTrue(attribute(atts, "date1904"));
    } else if (name == "sheet") {
      const char* sheetName = attribute(atts, "name");
      const char* id = attribute(atts, "id");
      if (sheetName != nullptr && id != nullptr) sheets.push_back({sheetName, id});
    }
  }
  void end(std::string_view) override {}
};

class SharedStringsHandler final : public XmlHandler {
 public:
  explicit SharedStringsHandler(StringPool& out) : out_(out) {}
  void start(std::string_view name, const char**) override {
    if (name == "si") {
      inItem_ = true;
    } else if (name == "rPh") {
      ++phonetic_;  // the reading aid above East Asian text is not the cell's text
    } else if (name == "t" && inItem_ && phonetic_ == 0) {
      inText_ = true;
    }
  }
  void end(std::string_view name) override {
    if (name == "t") {
      inText_ = false;
    } else if (name == "rPh") {
      --phonetic_;
    } else if (name == "si") {
      inItem_ = false;
      cells::capCellText(out_.text, out_.offsets.back());
      out_.end();
      if ((out_.size() & 0x3FF) == 0) checkBudget();
    }
  }
  void text(std::string_view s) override {
    if (!inText_) return;
    out_.text.append(s);
    if (out_.text.size() - out_.offsets.back() > 4 * cells::kMaxCellUnits) {
      // Longer than any cell may be: cut now, so one huge item cannot fill memory.
      cells::capCellText(out_.text, out_.offsets.back());
      checkBudget();
    }
  }
  void checkBudget() const {
    if (out_.text.size() + out_.offsets.size() * sizeof(std::uint32_t) > kWorkbookBudget)
      throw WorkbookError(workbookTooLargeText());
  }

 private:
  StringPool& out_;
  bool inItem_ = false;
  bool inText_ = false;
  int phonetic_ = 0;
};

class StylesHandler final : public XmlHandler {
 public:
  std::map<int, cells::ValueKind> customFormats;
  std::vector<int> cellFormatIds;
  void start(std::string_view name, const char** atts) override {
    if (name == "numFmt") {
      const char* code = attribute(atts, "formatCode");
      customFormats[toInt(attribute(atts, "numFmtId"), -1)] =
          code != nullptr ? cells::formatCodeKind(code) : cells::ValueKind::Number;
    } else if (name == "cellXfs") {
      inCellFormats_ = true;
    } else if (name == "xf" && inCellFormats_) {
      cellFormatIds.push_back(toInt(attribute(atts, "numFmtId"), 0));
    }
  }
  void end(std::string_view name) override {
    if (name == "cellXfs") inCellFormats_ = false;
  }

 private:
  bool inCellFormats_ = false;
};

RelsHandler readRels(const Package& package, const std::string& part) {
  RelsHandler rels;
  if (package.has(part)) package.parse(part, rels);
  return rels;
}

}  // namespace

Workbook::Workbook(const Package& package) : package_(package) {
  const RelsHandler root = readRels(package, "_rels/.rels");
  const Relationship* office = root.firstOfType("/officeDocument");
  const std::string workbookPart = office != nullptr ? resolvePart("", office->target) : "xl/workbook.xml";
  if (!package.has(workbookPart)) throw WorkbookError(notWorkbookText(package.path()));

  WorkbookHandler book;
  package.parse(workbookPart, book);
  date1904_ = book.date1904;
  const RelsHandler rels = readRels(package, relsPartOf(workbookPart));
  for (const auto& sheet : book.sheets) {
    const auto rel = rels.byId.find(sheet.relId);
    if (rel == rels.byId.end())
      throw WorkbookError(damagedWorkbookText(package.path(), "工作表“" + sheet.name + "”没有对应的部件"));
    // Chart sheets and macro sheets are listed among the sheets but hold no table.
    if (!endsWith(rel->second.type, "/worksheet")) continue;
    sheets_.push_back({sheet.name, resolvePart(workbookPart, rel->second.target)});
  }
  if (const Relationship* r = rels.firstOfType("/sharedStrings")) sharedStringsPart_ = resolvePart(workbookPart, r->target);
  if (const Relationship* r = rels.firstOfType("/styles")) stylesPart_ = resolvePart(workbookPart, r->target);
}

const std::shared_ptr<const StringPool>& Workbook::sharedStrings() {
  // A failed load throws and is tried again on the next use, never half kept.
  if (!sharedLoaded_) {
    auto loaded = std::make_shared<StringPool>();
    if (!sharedStringsPart_.empty() && package_.has(sharedStringsPart_)) {
      SharedStringsHandler handler(*loaded);
      package_.parse(sharedStringsPart_, handler);
      handler.checkBudget();
    }
    loaded->text.shrink_to_fit();
    loaded->offsets.shrink_to_fit();
    shared_ = std::move(loaded);
    sharedLoaded_ = true;
  }
  return shared_;
}

const std::vector<cells::ValueKind>& Workbook::styleKinds() {
  if (!stylesLoaded_) {
    std::vector<cells::ValueKind> kinds;
    if (!stylesPart_.empty() && package_.has(stylesPart_)) {
      StylesHandler handler;
      package_.parse(stylesPart_, handler);
      kinds.reserve(handler.cellFormatIds.size());
      for (const int id : handler.cellFormatIds) {
        const auto custom = handler.customFormats.find(id);
        kinds.push_back(custom != handler.customFormats.end() ? custom->second : cells::builtInFormatKind(id));
      }
    }
    styleKinds_ = std::move(kinds);
    stylesLoaded_ = true;
  }
  return styleKinds_;
}

}  // namespace qm::xlsx
