#pragma once
// File downloads as the registration site serves them (spreadsheets, PDFs,
// templates), for the browser's download tests:
//   GET /sim/downloads.html        a page that links to each kind below
//   GET /sim/download/gbk          filename= with raw GBK bytes (学生名单.xls)
//   GET /sim/download/rawutf8      filename= with raw UTF-8 bytes (成绩单.xls)
//   GET /sim/download/utf8         filename="template.pdf"; filename*=UTF-8''<学籍模板.pdf>
//   GET /sim/download/path         filename="..\..\<x01>evil.xls": a path and a control character
//   GET /sim/download/drop         announces the whole body, sends half and closes
#include <string>

namespace qm::sim {

inline constexpr const char* kDownloadPrefix = "/sim/download/";
inline constexpr const char* kDownloadsPagePath = "/sim/downloads.html";

// The body a download kind carries (the drop kind announces this and sends half).
std::string downloadBody(const std::string& kind);

}  // namespace qm::sim
