// Failures and answer bodies.
#include <gtest/gtest.h>

#include "loopback_server.h"
#include "net/http_client.h"

namespace qm {
namespace {

using test::CannedResponse;
using test::LoopbackServer;

struct FailureCase {
  const char* name;
  CannedResponse answer;
  bool refused;
  int status;
};

class FailingRequest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailingRequest, ThrowsHttpErrorForGetAndPost) {
  for (bool post : {false, true}) {
    LoopbackServer server;
    server.enqueue(GetParam().answer);
    server.enqueue(CannedResponse::ok("must not be fetched"));
    HttpClient client("IdHTTP1");
    std::string url = GetParam().refused
                          ? "http://127.0.0.1:" + std::to_string(LoopbackServer::refusedPort()) + "/x"
                          : server.url("/x");
    try {
      post ? client.post(url, "{}") : client.get(url);
      ADD_FAILURE() << (post ? "POST" : "GET") << " succeeded";
    } catch (const HttpError& e) {
      EXPECT_EQ(e.status(), GetParam().status) << e.what();
    }
    // A redirect is not followed.
    EXPECT_EQ(server.requests().size(), GetParam().refused ? 0u : 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailingRequest,
    ::testing::Values(
        FailureCase{"redirect", CannedResponse::status(302, "Found", "Location: /login.jsp\r\n"), false, 302},
        FailureCase{"server_error", CannedResponse::status(500, "Internal Server Error"), false, 500},
        FailureCase{"not_found", CannedResponse::status(404, "Not Found"), false, 404},
        FailureCase{"connection_refused", CannedResponse::ok(""), true, 0},
        FailureCase{"dropped_without_answer", CannedResponse::drop(), false, 0},
        FailureCase{"dropped_mid_body",
                    {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly part", true}, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HttpAnswer, StatusLineIsTheErrorText) {
  LoopbackServer server;
  server.enqueue(CannedResponse::status(500, "Internal Server Error"));
  HttpClient client("IdHTTP1");
  try {
    client.get(server.url("/x"));
    FAIL() << "no error";
  } catch (const HttpError& e) {
    EXPECT_STREQ(e.what(), "HTTP/1.1 500 Internal Server Error");
  }
}

TEST(HttpAnswer, ReadTimeoutFiresWhenNothingArrives) {
  LoopbackServer server;
  CannedResponse late = CannedResponse::ok("too late");
  late.delayMs = 8000;
  server.enqueue(late);
  HttpClient client("IdHTTP3", 300);
  try {
    client.get(server.url("/slow"));
    FAIL() << "answer arrived although the client should have timed out";
  } catch (const HttpError& e) {
    EXPECT_EQ(e.status(), 0);
    EXPECT_STREQ(e.what(), "Read timed out.");
  }
}

TEST(HttpAnswer, WithoutTimeoutASlowAnswerArrives) {
  LoopbackServer server;
  CannedResponse late = CannedResponse::ok("slow but fine");
  late.delayMs = 1500;
  server.enqueue(late);
  HttpClient client("IdHTTP1");
  EXPECT_EQ(client.get(server.url("/slow")), "slow but fine");
}

std::string garbage() {
  std::string bytes;
  for (int i = 0; i < 3000; ++i) bytes += static_cast<char>((i * 131 + 7) % 256);
  bytes += std::string("\x1f\x8b\x08\x00", 4) + std::string(3, '\0') + "\xb9\xfa\xc3\xf1";
  return bytes;
}

struct BodyCase {
  const char* name;
  CannedResponse answer;
};

class AnswerBody : public ::testing::TestWithParam<BodyCase> {};

TEST_P(AnswerBody, ComesBackByteForByteUndecoded) {
  LoopbackServer server;
  server.enqueue(GetParam().answer);
  server.enqueue(GetParam().answer);
  HttpClient client("IdHTTP1");
  auto& h = client.headers();
  h.acceptEncoding = "gzip, deflate";
  EXPECT_EQ(client.get(server.url("/g")), garbage());
  EXPECT_EQ(client.post(server.url("/p"), "{}"), garbage());
}

const std::string kGzip = "Content-Encoding: gzip\r\nContent-Type: text/html; charset=GBK\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, AnswerBody,
    ::testing::Values(BodyCase{"with_length", CannedResponse::ok(garbage(), kGzip)},
                      BodyCase{"chunked", CannedResponse::chunked(garbage(), kGzip)},
                      BodyCase{"until_close", CannedResponse::untilClose(garbage(), kGzip)},
                      BodyCase{"deflate_no_gzip_header",
                               CannedResponse::ok(garbage(), "Content-Encoding: deflate\r\n")}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm
