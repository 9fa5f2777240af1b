// Downloads with the Content-Disposition names real servers send.
#include "sim/downloads.h"
#include "sim/pages.h"
#include "sim/regsim_impl.h"

namespace qm::sim {
namespace {

struct DownloadKind {
  const char* kind;
  const char* contentType;
  const char* disposition;
};

const DownloadKind kKinds[] = {
    {"gbk", "application/vnd.ms-excel", "attachment; filename=\xd1\xa7\xc9\xfa\xc3\xfb\xb5\xa5.xls"},
    {"rawutf8", "application/vnd.ms-excel", "attachment; filename=\xe6\x88\x90\xe7\xbb\xa9\xe5\x8d\x95.xls"},
    {"utf8", "application/pdf",
     "attachment; filename=\"template.pdf\"; filename*=UTF-8''%E5%AD%A6%E7%B1%8D%E6%A8%A1%E6%9D%BF.pdf"},
    {"path", "application/vnd.ms-excel", "attachment; filename=\"..\\..\\\x01" "evil.xls\""},
    {"drop", "application/octet-stream", "attachment; filename=\"broken.xls\""},
};

}  // namespace

std::string downloadBody(const std::string& kind) {
  // Large enough that the engine has written part of it before a drop.
  std::string body;
  const std::string line = "Quillmere download " + kind + "\n";
  while (body.size() < 512 * 1024) body += line;
  return body;
}

Outcome RegSim::Impl::handleDownload(const RawRequest& r) {
  Outcome out;
  if (r.path == kDownloadsPagePath) {
    std::string links;
    for (const DownloadKind& k : kKinds)
      links += std::string("<p><a id=\"") + k.kind + "\" href=\"" + kDownloadPrefix + k.kind + "\">" + k.kind +
               "</a></p>\n";
    out.response.body = htmlPage("下载", links);
    return out;
  }
  const std::string kind = r.path.substr(std::string(kDownloadPrefix).size());
  for (const DownloadKind& k : kKinds) {
    if (kind != k.kind) continue;
    out.response.contentType = k.contentType;
    out.response.headers.push_back(std::string("Content-Disposition: ") + k.disposition);
    out.response.body = downloadBody(kind);
    if (kind == "drop") out.bodyCut = static_cast<long long>(out.response.body.size() / 2);
    return out;
  }
  out.response.status = 404;
  out.response.body = notFoundPage();
  return out;
}

}  // namespace qm::sim
