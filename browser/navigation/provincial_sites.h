#pragma once
// Public student-query sites of other provinces, opened from the
// quick-navigation menu. Hosts are placeholders until confirmed.
#include <span>
#include <string>

namespace qm {

struct ProvincialSite {
  const char* item;       // menu item component name, "N3"
  const char* caption;    // menu caption
  const char* scheme;     // "http" or "https"
  const char* host;
  const char* path;
  const char* panelText;  // status panel 0 while the page opens
  bool hidden;

  std::string address() const { return std::string(scheme) + "://" + host + path; }
};

// In menu order: N3, N4, N5, N6, N8, N9, N10.
std::span<const ProvincialSite> provincialSites();
// nullptr when item is not a provincial site.
const ProvincialSite* findProvincialSite(const std::string& item);

}  // namespace qm
