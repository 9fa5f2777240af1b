#pragma once
// The province-wide student query behind the duplicate check: its page, the
// request body as the server reads it, and its answers.
#include <string>
#include <string_view>
#include <vector>

#include "sim/province_registry.h"

namespace qm::sim {

struct ProvinceQuery {
  std::string name;      // "xm", as sent (the client does not escape it)
  std::string idNumber;  // "sfzjh"
  std::string captcha;   // "rdmCode"
};

ProvinceQuery parseProvinceQuery(std::string_view body);

// {"total":N,"javaClass":"DataSet","rows":[...]}: one row per registration, each row's
// "XXMC" value (\u escapes for everything outside ASCII) followed at once by its "CSRQ" key.
std::string provinceAnswer(const std::vector<Registration>& found);

// The answer to a wrong, missing or used captcha code: {"error":"验证码校验失败！"} with the
// message as lower-case \u escapes.
std::string captchaFailedAnswer();

// The province query page: the page script (token included), a query form with the
// captcha picture; its first button sends nothing while a field is empty.
std::string provinceQueryPage(const std::string& headScript, const std::string& captchaPath,
                              const std::string& servicePath);

}  // namespace qm::sim
