// A page's own dialogs reach the user through Prompts; a flood of refused
// pop-ups at the tab limit shows one message box at a time.
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebEngineView>
#include <functional>
#include <gtest/gtest.h>

#include "browser/main_window.h"
#include "tests/support/main_window_fixture.h"
#include "browser/web/web_page.h"

namespace qm {
namespace {

using test::awaitTask;
using test::kLongWait;

const QString kLimitMessage = QStringLiteral("请关闭一些标签后再打开！");

// Message boxes that stay up for a while and run the event loop meanwhile,
// as a modal box does, so what happens during one can be watched.
class ModalPrompts : public ScriptedPrompts {
 public:
  std::function<void()> whileUp;  // runs inside each box
  int depth = 0, deepest = 0;

  void message(const QString& text, const QString& title, PromptIcon icon) override {
    ScriptedPrompts::message(text, title, icon);
    ++depth;
    deepest = std::max(deepest, depth);
    if (whileUp) whileUp();
    QTest::qWait(200);  // the box is up for this long, as a user reads it
    --depth;
  }
};

class PageDialogsTest : public test::BasicMainWindowFixture<ModalPrompts> {
 protected:
  void SetUp() override {
    state_.serverHost = "127.0.0.1:9";  // the home tab's own page is of no interest here
    buildForm();
  }

  // Shows html in a new tab; its document.
  WebDocument pageWith(const QString& html) {
    QWebEngineView* view = viewOf(form_->OpenTab(true));
    EXPECT_NE(view, nullptr);
    if (!view) return WebDocument();
    QSignalSpy loaded(view->page(), &QWebEnginePage::loadFinished);
    view->setHtml(html, QUrl("http://127.0.0.1:9/page.html"));
    EXPECT_TRUE(loaded.wait(kLongWait) || loaded.count() > 0);
    return tabDocument(*form_, form_->LastTabIndex());
  }

};

TEST_F(PageDialogsTest, AlertConfirmAndPromptAreAskedAndAnswered) {
  const WebDocument doc = pageWith(QStringLiteral("<title>t</title><p>x</p>"));
  prompts_.confirmations = {true, false};
  prompts_.texts = {QStringLiteral("张三"), std::nullopt, QString()};

  awaitTask(doc.run("alert('保存成功'); true;"));
  EXPECT_EQ(awaitTask(doc.run("confirm('确定审核通过？')")).toBool(), true);
  EXPECT_EQ(awaitTask(doc.run("confirm('确定删除？')")).toBool(), false);
  EXPECT_EQ(awaitTask(doc.run("prompt('姓名', '李四')")).toString(), QStringLiteral("张三"));
  // Cancel answers null; OK on an empty box answers "".
  EXPECT_EQ(awaitTask(doc.run("String(prompt('备注'))")).toString(), "null");
  EXPECT_EQ(awaitTask(doc.run("'[' + prompt('备注') + ']'")).toString(), "[]");

  ASSERT_EQ(prompts_.log.size(), 6u);
  EXPECT_EQ(prompts_.log[0].kind, RecordedPrompt::Message);
  EXPECT_EQ(prompts_.log[0].text, QStringLiteral("保存成功"));
  EXPECT_EQ(prompts_.log[0].title, kAppTitle);
  EXPECT_EQ(prompts_.log[1].kind, RecordedPrompt::Confirm);
  EXPECT_EQ(prompts_.log[1].text, QStringLiteral("确定审核通过？"));
  EXPECT_EQ(prompts_.log[2].kind, RecordedPrompt::Confirm);
  EXPECT_EQ(prompts_.log[3].kind, RecordedPrompt::TextInput);
  EXPECT_EQ(prompts_.log[3].text, QStringLiteral("姓名"));
  EXPECT_EQ(prompts_.log[3].value, QStringLiteral("李四"));
}

TEST_F(PageDialogsTest, AnAcceptedConfirmLetsThePageGoOn) {
  // The registration system's pattern: submit only when the user agrees.
  const WebDocument doc = pageWith(QStringLiteral(
      "<title>审核</title><button id='ok' onclick=\"if (confirm('确定审核通过？')) document.title = 'submitted';"
      " else document.title = 'kept';\">通过</button>"));
  awaitTask(doc.run("document.getElementById('ok').click(); document.title"));
  EXPECT_EQ(awaitTask(doc.run("document.title")).toString(), "kept");  // an empty queue answers Cancel
  prompts_.confirmations = {true};
  EXPECT_EQ(awaitTask(doc.run("document.getElementById('ok').click(); document.title")).toString(), "submitted");
}

TEST_F(PageDialogsTest, ADialogRightAfterTheLastOffersToBlockThePageUntilItNavigates) {
  const WebDocument doc = pageWith(QStringLiteral("<title>loop</title><p>x</p>"));
  prompts_.blockTicks = {true};
  prompts_.confirmations = {true, true};
  prompts_.texts = {QStringLiteral("答")};
  // The second box opens as the first closes, and its option is ticked:
  // the rest of the page's dialogs answer at once, as if cancelled.
  EXPECT_EQ(awaitTask(doc.run("alert('第一'); alert('第二'); [confirm('第三'), String(prompt('第四'))].join(',')"))
                .toString(),
            "false,null");
  ASSERT_EQ(prompts_.log.size(), 2u);
  EXPECT_FALSE(prompts_.log[0].offeredBlock);
  EXPECT_TRUE(prompts_.log[1].offeredBlock);
  EXPECT_EQ(prompts_.log[1].text, QStringLiteral("第二"));
  EXPECT_EQ(prompts_.confirmations.size(), 2u);

  // A new page may ask again; a box well after the last one offers nothing.
  QTest::qWait(1200);  // "well after" is past the second within which a box offers the block
  QWebEngineView* view = tabView(*form_, form_->LastTabIndex());
  QSignalSpy loaded(view->page(), &QWebEnginePage::loadFinished);
  view->setHtml(QStringLiteral("<title>next</title>"), QUrl("http://127.0.0.1:9/next.html"));
  ASSERT_TRUE(loaded.wait(kLongWait) || loaded.count() > 0);
  EXPECT_EQ(awaitTask(doc.run("confirm('再问')")).toBool(), true);
  ASSERT_EQ(prompts_.log.size(), 3u);
  EXPECT_EQ(prompts_.log[2].kind, RecordedPrompt::Confirm);
  EXPECT_FALSE(prompts_.log[2].offeredBlock);
}

// A server that asks for basic authentication and tells what it got.
class AuthServer : public QObject {
 public:
  QByteArray authorization;  // the last Authorization header, "" when none
  int requests = 0;

  bool listen() {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      }
    });
    return server_.listen(QHostAddress::LocalHost);
  }
  QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/secret").arg(server_.serverPort())); }

 private:
  void answer(QTcpSocket* socket) {
    QByteArray& head = buffers_[socket];
    head += socket->readAll();
    if (!head.contains("\r\n\r\n")) return;
    ++requests;
    authorization.clear();
    for (const QByteArray& line : head.split('\n'))
      if (line.toLower().startsWith("authorization:")) authorization = line.mid(14).trimmed();
    buffers_.remove(socket);
    const bool good = authorization == "Basic " + QByteArray("u:p").toBase64();
    const QByteArray body = good ? "<title>inside</title>ok" : "<title>denied</title>no";
    QByteArray reply = good ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"xj\"\r\n";
    reply += "Content-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    socket->write(reply);
  }

  QTcpServer server_;
  QHash<QTcpSocket*, QByteArray> buffers_;
};

TEST_F(PageDialogsTest, AuthenticationAsksForNameAndPassword) {
  AuthServer server;
  ASSERT_TRUE(server.listen());
  prompts_.logins = {Credentials{"u", "p"}};
  QWebEngineView* view = viewOf(form_->OpenTab(true));
  ASSERT_NE(view, nullptr);
  view->load(server.url());
  ASSERT_TRUE(QTest::qWaitFor([&] { return view->title() == "inside"; }, kLongWait)) << view->title().toStdString();
  EXPECT_EQ(server.authorization, "Basic " + QByteArray("u:p").toBase64());
  ASSERT_EQ(prompts_.log.size(), 1u);
  EXPECT_EQ(prompts_.log[0].kind, RecordedPrompt::Login);
  EXPECT_TRUE(prompts_.log[0].text.contains("127.0.0.1")) << prompts_.log[0].text.toStdString();
  EXPECT_TRUE(prompts_.log[0].text.contains("xj"));
}

TEST_F(PageDialogsTest, CancelledAuthenticationShowsTheRefusal) {
  AuthServer server;
  ASSERT_TRUE(server.listen());
  QWebEngineView* view = viewOf(form_->OpenTab(true));
  ASSERT_NE(view, nullptr);
  view->load(server.url());  // the empty queue cancels
  ASSERT_TRUE(QTest::qWaitFor([&] { return view->title() == "denied"; }, kLongWait)) << view->title().toStdString();
  EXPECT_EQ(server.requests, 1);
  ASSERT_EQ(prompts_.log.size(), 1u);
  EXPECT_EQ(prompts_.log[0].kind, RecordedPrompt::Login);
}

TEST_F(PageDialogsTest, APopupFloodAtTheLimitShowsOneBoxAtATime) {
  // Our scripts do not see the page's functions: buttons run them.
  const WebDocument doc = pageWith(QStringLiteral(
      "<title>flood</title><script>function flood(n) { for (var i = 0; i < n; i++) window.open('about:blank'); "
      "document.title = 'asked ' + n; }</script>"
      "<button id='f20' onclick='flood(20)'>20</button><button id='f1' onclick='flood(1)'>1</button>"));
  for (int i = 2; i <= 20; ++i) ASSERT_NE(form_->OpenTab(true), nullptr) << i;
  ASSERT_EQ(form_->LastTabIndex(), 20);
  auto asked = [&](const QString& n) {
    return QTest::qWaitFor(
        [&] { return awaitTask(doc.run("document.title"), 5000).toString() == QStringLiteral("asked ") + n; },
        kLongWait);
  };
  // The box stays up until the page has asked for all 20 windows: every
  // refusal after the first comes while it is queued or up.
  prompts_.whileUp = [&] { EXPECT_TRUE(asked("20")); };
  awaitTask(doc.run("document.getElementById('f20').click(); true"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts_.log.empty() && prompts_.depth == 0; }, kLongWait));
  EXPECT_TRUE(asked("20"));
  QTest::qWait(1000);  // anything still queued would show now
  EXPECT_EQ(prompts_.messages(), QStringList{kLimitMessage});
  EXPECT_EQ(prompts_.deepest, 1);
  EXPECT_EQ(form_->LastTabIndex(), 20);
  prompts_.whileUp = nullptr;

  // Once the box is gone, the next refusal shows it again.
  ASSERT_EQ(prompts_.depth, 0);
  awaitTask(doc.run("document.getElementById('f1').click(); true"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return prompts_.log.size() == 2; }, kLongWait));
  QTest::qWait(500);  // a second box would show by now
  EXPECT_EQ(prompts_.log.size(), 2u);
  EXPECT_EQ(prompts_.deepest, 1);

  // The window's own "开新窗口转到" at the limit while a page's box is up adds none.
  prompts_.whileUp = [&] { EXPECT_EQ(form_->OpenTab(true), nullptr); };
  awaitTask(doc.run("document.getElementById('f1').click(); true"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return prompts_.log.size() == 3; }, kLongWait));
  QTest::qWait(500);  // a second box would show by now
  EXPECT_EQ(prompts_.log.size(), 3u);
  EXPECT_EQ(prompts_.deepest, 1);
}

}  // namespace
}  // namespace qm
