#include "sim/pages.h"

#include <cstdio>

#include "sim/http_message.h"

namespace qm::sim {
namespace {

// Pages a school user reaches from the home page.
const char* const kMenuLinks =
    "<ul>\n"
    "<li><a href=\"/jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp\">在校学生查询</a></li>\n"
    "<li><a href=\"/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_xxsh_list.jsp\">学籍异动审核（学校）</a></li>\n"
    "<li><a href=\"/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_zgbmsh_list.jsp\">学籍异动审核（主管部门）</a></li>\n"
    "<li><a href=\"/jsp/mems/kszs/kszsSh_list.jsp\">跨省就学审核</a></li>\n"
    "<li><a href=\"/jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp\">全省学生查询</a></li>\n"
    "<li><a href=\"/jsp/mems/xjgl/zhcx/byscx/byscx.jsp\">毕业生查询</a></li>\n"
    "</ul>\n";

}  // namespace

std::string htmlPage(const std::string& title, const std::string& body, const std::string& script) {
  std::string html = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                     htmlEscape(title) + "</title>\n";
  if (!script.empty()) html += "<script>\n" + script + "</script>\n";
  return html + "</head>\n<body>\n" + body + "</body>\n</html>\n";
}

std::string hexEscaped(const std::string& text) {
  std::string out;
  char buf[8];
  for (const char c : text) {
    std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned char>(c));
    out += buf;
  }
  return out;
}

std::string loginPage(bool failed) {
  std::string body = "<h1>全国中小学生学籍信息管理系统</h1>\n";
  if (failed) body += "<p class=\"error\">用户名或密码错误，请重新输入。</p>\n";
  // INPUTs as the login keeper counts them: the user name (0), a hidden field (1) and the
  // password box (2), where the focus goes once a name is filled in; Enter there submits.
  body +=
      "<form method=\"post\" action=\"/login\">\n"
      "<p>用户名：<input name=\"_j_username\" type=\"text\"></p>\n"
      "<input type=\"hidden\" name=\"loginType\" value=\"1\">\n"
      "<p>密码：<input type=\"password\" name=\"_j_password\"></p>\n"
      "<p><input type=\"submit\" value=\"登录\"></p>\n"
      "</form>\n";
  return htmlPage("学籍管理系统 登录", body);
}

std::string homePage(int accountType, const std::string& userName) {
  const std::string script = "var cfg = {userType:\"" + std::to_string(accountType) + "\", userName:\"" +
                             htmlEscape(userName) + "\"};\n";
  const std::string body = "<h1>全国中小学生学籍信息管理系统</h1>\n<p>欢迎您，" + htmlEscape(userName) +
                           "</p>\n" + kMenuLinks + "<p><a href=\"/logout\">注销</a></p>\n";
  return htmlPage("学籍管理系统", body, script);
}

std::string keepAlivePage() { return htmlPage("学籍管理系统", "<div class=\"head\">全国中小学生学籍信息管理系统</div>\n"); }

std::string queryPageScript(int accountType, const std::string& organCode, const std::string& token) {
  return "var userType = " + std::to_string(accountType) + ";\nvar organCode=\"" + organCode +
         "\";\nvar ccrf = \"" + hexEscaped("token':'" + token + "'") + "\";\n";
}

std::string menuPage(const std::string& title) {
  return htmlPage(title, "<h2>" + htmlEscape(title) + "</h2>\n<button type=\"button\" id=\"query\">查询</button>\n");
}

std::string notFoundPage() { return htmlPage("404 页面不存在", "<p>页面不存在。</p>\n"); }

std::string errorPage() { return htmlPage("500 服务器内部错误", "<p>服务器内部错误。</p>\n"); }

std::string popupPage() {
  return htmlPage("弹出测试",
              "<p><a id=\"pop\" href=\"/sim/child.html\" target=\"_blank\">打开子窗口</a></p>\n"
              "<p><button id=\"open\" type=\"button\" onclick=\"window.open('/sim/child.html')\">新窗口</button></p>\n");
}

std::string childPage() { return htmlPage("子窗口", "<p>子窗口</p>\n"); }

std::string closerPage() {
  return htmlPage("关闭页", "<p><button id=\"close\" type=\"button\" onclick=\"window.close()\">关闭</button></p>\n");
}

std::string titlePage(const std::string& title) { return htmlPage(title, "<p>" + htmlEscape(title) + "</p>\n"); }

std::string inputsPage() {
  return htmlPage("查询", "<p><input name=\"first\"> <input name=\"second\"> <input name=\"third\"></p>\n");
}

}  // namespace qm::sim
