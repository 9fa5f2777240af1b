#pragma once
// Parts of an .xlsx package read straight from the zip and fed to expat in
// small pieces: a sheet's XML is never held whole in memory.
#include <string>
#include <string_view>

struct zip;

namespace qm::xlsx {

// Receives the elements of one part. Names are local names (namespace
// dropped: transitional and strict files use different ones).
class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void start(std::string_view name, const char** attributes) = 0;
  virtual void end(std::string_view name) = 0;
  virtual void text(std::string_view) {}
};

// The value of the attribute with this local name, or nullptr.
const char* attribute(const char** attributes, std::string_view localName);

class Package {
 public:
  // Throws WorkbookError when the file is no readable zip.
  explicit Package(const std::string& path);
  ~Package();
  Package(const Package&) = delete;
  Package& operator=(const Package&) = delete;

  const std::string& path() const { return path_; }
  // Part names compare without regard to case, as the package format says.
  bool has(std::string_view part) const;
  // Streams the part through the handler. A handler stops the walk by
  // throwing WorkbookError; that error, or one for bad XML or a damaged
  // entry, leaves this function.
  void parse(std::string_view part, XmlHandler& handler) const;

 private:
  std::string path_;
  zip* zip_ = nullptr;
};

// Target of a relationship resolved against the part that holds it:
// "/xl/a.xml" stays absolute, "sheets/b.xml" from "xl/workbook.xml" is
// "xl/sheets/b.xml", ".." steps up. Returned without a leading "/".
std::string resolvePart(std::string_view fromPart, std::string_view target);
// "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"
std::string relsPartOf(std::string_view part);

}  // namespace qm::xlsx
