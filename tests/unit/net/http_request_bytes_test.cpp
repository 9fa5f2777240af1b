// The exact bytes of the requests that the exports and the keep-alive send.
#include <gtest/gtest.h>

#include "loopback_server.h"
#include "net/http_client.h"

namespace qm {
namespace {

using test::CannedResponse;
using test::LoopbackServer;

const std::string kListPage = "/jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp";
const std::string kQueryService =
    "/command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJbxxQueryCmd/queryZxs";

std::string request(const std::string& requestLine, const std::vector<std::string>& lines,
                    const std::string& body = "") {
  std::string out = requestLine + "\r\n";
  for (const auto& l : lines) out += l + "\r\n";
  return out + "\r\n" + body;
}

// A GET with the starting values and the one cookie line, as the first page
// request of an export and every keep-alive request send it.
struct StartingGetCase {
  const char* name;
  std::string path;
  std::string cookieText;
};

class StartingValuesGet : public ::testing::TestWithParam<StartingGetCase> {};

TEST_P(StartingValuesGet, SendsStartingValuesAndOneCookieLine) {
  LoopbackServer server;
  server.enqueue(CannedResponse::ok("page"));
  HttpClient client("IdHTTP2");
  client.clearExtraLines();
  client.addExtraLine("Cookie:" + GetParam().cookieText);

  EXPECT_EQ(client.get(server.url(GetParam().path)), "page");

  auto sent = server.requests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].raw, request("GET " + GetParam().path + " HTTP/1.1",
                                 {"Host: " + server.host(), "Content-Type: text/html",
                                  "Cookie:" + GetParam().cookieText, "Accept: text/html, */*",
                                  "User-Agent: Mozilla/3.0 (compatible; Indy Library)"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartingValuesGet,
    ::testing::Values(
        StartingGetCase{"export_page", kListPage, "JSESSIONID=0A1B2C; route=r1"},
        StartingGetCase{"keep_alive", "/jsp/public/head.jsp", "JSESSIONID=0A1B2C"},
        StartingGetCase{"empty_cookie_text_bare_line", "/jsp/public/head.jsp", ""},
        StartingGetCase{"long_cookie_text_whole", kListPage,
                        "JSESSIONID=0A1B2C; big=" + std::string(4200, 'q') + "; tail=end"}),
    [](const auto& info) { return std::string(info.param.name); });

// Page request, query POST, then the next export's page request, on one client.
TEST(QueryHeaders, StayOnTheClientForTheNextPageRequest) {
  LoopbackServer server;
  server.enqueue(CannedResponse::ok("page one"));
  server.enqueue(CannedResponse::ok("{\"rows\":[]}"));
  server.enqueue(CannedResponse::ok("page two"));
  HttpClient client("IdHTTP1");
  const std::string cookie = "Cookie:JSESSIONID=77F; SERVERID=s2";
  const std::string token = "0d1e2f30-4a5b-6c7d-8e9f-a0b1c2d3e4f5";
  const std::string referer = "http://" + server.host() + kListPage;
  const std::string body = "{\"xm\":\"张三\",\"pageSize\":50}";

  client.clearExtraLines();
  client.addExtraLine(cookie);
  client.get(server.url(kListPage));

  auto& h = client.headers();
  h.connection = "Keep-Alive";
  h.contentType = "application/json";
  h.cacheControl = "no-cache";
  h.accept = "*/*";
  h.acceptEncoding = "gzip, deflate";
  h.acceptLanguage = "zh-Hans-CN,zh-Hans;q=0.5";
  h.referer = referer;
  h.userAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows 98; Maxthon)";
  client.addExtraLine("X-Requested-With: XMLHttpRequest");
  client.addExtraLine("ccrf-token:" + token);
  EXPECT_EQ(client.post(server.url(kQueryService), body), "{\"rows\":[]}");

  client.clearExtraLines();
  client.addExtraLine(cookie);
  EXPECT_EQ(client.get(server.url(kListPage)), "page two");

  auto sent = server.requests();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].raw, request("GET " + kListPage + " HTTP/1.1",
                                 {"Host: " + server.host(), "Content-Type: text/html", cookie,
                                  "Accept: text/html, */*",
                                  "User-Agent: Mozilla/3.0 (compatible; Indy Library)"}));
  const std::vector<std::string> queryTail = {
      "Accept: */*", "Accept-Encoding: gzip, deflate", "Accept-Language: zh-Hans-CN,zh-Hans;q=0.5",
      "Referer: " + referer, "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows 98; Maxthon)"};
  std::vector<std::string> post = {"Host: " + server.host(), "Connection: Keep-Alive",
                                   "Content-Type: application/json",
                                   "Content-Length: " + std::to_string(body.size()),
                                   "Cache-control: no-cache", cookie,
                                   "X-Requested-With: XMLHttpRequest", "ccrf-token:" + token};
  post.insert(post.end(), queryTail.begin(), queryTail.end());
  EXPECT_EQ(sent[1].raw, request("POST " + kQueryService + " HTTP/1.0", post, body));
  std::vector<std::string> later = {"Host: " + server.host(), "Connection: Keep-Alive",
                                    "Content-Type: application/json", "Cache-control: no-cache",
                                    cookie};
  later.insert(later.end(), queryTail.begin(), queryTail.end());
  EXPECT_EQ(sent[2].raw, request("GET " + kListPage + " HTTP/1.1", later));
}

TEST(EmptyHeaderValues, SendNoLineAndCurlAddsNoneOfItsOwn) {
  LoopbackServer server;
  server.enqueue(CannedResponse::ok("a"));
  server.enqueue(CannedResponse::ok("b"));
  HttpClient client("IdHTTP4");
  client.headers() = HttpHeaderValues{"", "", "", "", "", "", "", ""};
  client.get(server.url("/g"));
  client.post(server.url("/p"), "");

  auto sent = server.requests();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].raw, request("GET /g HTTP/1.1", {"Host: " + server.host()}));
  EXPECT_EQ(sent[1].raw,
            request("POST /p HTTP/1.0", {"Host: " + server.host(), "Content-Length: 0"}));
}

}  // namespace
}  // namespace qm
