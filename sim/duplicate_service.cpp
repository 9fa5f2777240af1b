#include "sim/duplicate_service.h"

#include "sim/json_text.h"
#include "sim/pages.h"

namespace qm::sim {
namespace {

void addString(std::string& out, const char* key, const std::string& value) {
  out += key;
  out += '"';
  out += jsonEscaped(value);
  out += '"';
}

// Sends the form as the page's own script would; shows the answer text as it came.
const char kQueryScript[] = R"(function qmProvinceQuery() {
  var v = function (id) { return document.getElementById(id).value; };
  var out = document.getElementById('result');
  if (!v('xm') || !v('sfzjh') || !v('rdmCode')) { out.textContent = '请输入姓名、身份证件号和验证码。'; return; }
  var token = ccrf.substring(8, 44);
  var body = '{"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"xm":"' + v('xm') +
      '","sfzjh":"' + v('sfzjh') + '","xbm":"","csrq":"","sfzx":"","grbsm":"","jdztm":"","rdmCode":"' + v('rdmCode') +
      '","start":0,"limit":20,"defaultSort":{"javaClass":"ArrayList","list":[]},"dir":"ASC"},"length":13},' +
      '"context":{"javaClass":"HashMap","map":{},"length":0}}';
  var x = new XMLHttpRequest();
  x.open('POST', SERVICE, true);
  x.setRequestHeader('Content-Type', 'application/json');
  x.setRequestHeader('ccrf-token', token);
  x.onload = function () { out.textContent = x.responseText; qmNewCaptcha(); };
  x.send(body);
}
function qmNewCaptcha() { document.getElementById('captcha').src = CAPTCHA + '?time=' + Date.now(); }
)";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (auto p = text.find(from); p != std::string::npos; p = text.find(from, p + to.size()))
    text.replace(p, from.size(), to);
  return text;
}

}  // namespace

ProvinceQuery parseProvinceQuery(std::string_view body) {
  return {quotedValueAfter(body, "\"xm\":\""), quotedValueAfter(body, "\"sfzjh\":\""),
          quotedValueAfter(body, "\"rdmCode\":\"")};
}

std::string provinceAnswer(const std::vector<Registration>& found) {
  std::string out = "{\"total\":" + std::to_string(found.size()) + ",\"javaClass\":\"DataSet\",\"rows\":[";
  for (std::size_t i = 0; i < found.size(); ++i) {
    const Registration& r = found[i];
    if (i > 0) out += ',';
    out += "{\"javaClass\":\"HashMap\"";
    addString(out, ",\"XM\":", r.name);
    addString(out, ",\"XBM\":", r.genderCode);
    addString(out, ",\"SFZJH\":", r.idNumber);
    addString(out, ",\"XXMC\":", r.schoolName);
    addString(out, ",\"CSRQ\":", r.birthDate);
    addString(out, ",\"NJMC\":", r.gradeName);
    out += ",\"JDZTM\":\"01\"}";
  }
  return out + "],\"metaData\":{\"javaClass\":\"HashMap\",\"map\":{},\"length\":0}}";
}

std::string captchaFailedAnswer() { return "{\"error\":\"" + jsonEscaped("验证码校验失败！") + "\"}"; }

std::string provinceQueryPage(const std::string& headScript, const std::string& captchaPath,
                              const std::string& servicePath) {
  const std::string body =
      "<h2>全省学生查询</h2>\n"
      "<form onsubmit=\"return false;\">\n"
      "<p>姓名：<input id=\"xm\" type=\"text\"> 身份证件号：<input id=\"sfzjh\" type=\"text\"></p>\n"
      "<p>验证码：<input id=\"rdmCode\" type=\"text\" size=\"6\"> <img id=\"captcha\" src=\"" + captchaPath +
      "?t=1\" width=\"89\" height=\"25\" alt=\"验证码\" onclick=\"qmNewCaptcha()\"></p>\n"
      "<p><button type=\"button\" id=\"query\" onclick=\"qmProvinceQuery()\">查询</button></p>\n"
      "</form>\n<pre id=\"result\"></pre>\n";
  const std::string script =
      replaced(replaced(kQueryScript, "SERVICE", "'" + servicePath + "'"), "CAPTCHA", "'" + captchaPath + "'");
  return htmlPage("全省学生查询", body, headScript + script);
}

}  // namespace qm::sim
