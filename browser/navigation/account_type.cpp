#include "browser/navigation/account_type.h"

#include "common/gbk_cut.h"

namespace qm {

// Without the marker the page's 10th byte is read, as the audit button always did.
std::optional<int> readAccountType(std::string_view html) { return accountTypeDigit(html, false); }

}  // namespace qm
