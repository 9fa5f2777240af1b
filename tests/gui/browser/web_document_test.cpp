#include <QTest>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include "browser/main_window.h"
#include "tests/support/main_window_fixture.h"

namespace qm {
namespace {

using test::awaitResult;
using test::awaitTask;
using test::kLongWait;

const char* const kPage = R"(<!DOCTYPE html><html><head><meta charset="utf-8"><title>文档</title>
<script>var clicks = 0;</script></head><body>
<p id="greet">你好 <b>世界</b></p>
<input name="_J_USERNAME" id="u1"><input name="_j_username" id="u2"><input name="other" id="o" value="keep">
<div id="dup">a</div><div id="dup">b</div>
<a href="#a" onclick="document.title += 'a'; return false;">注销</a>
<a href="#b" onclick="document.title += 'b'; return false;">注销 </a>
<a href="#c" onclick="document.title += 'c'; return false;">注销</a>
<button onclick="document.title = 'pressed'">first</button>
<table><tr><td>r0c0</td><td>r0c1</td></tr><tr><td>r1c0</td><td>行一</td></tr></table>
<table><tr><td><table><tr><td>nested</td></tr></table></td></tr></table>
</body></html>)";

class WebDocumentTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    state_.serverHost = "127.0.0.1:9";  // the home tab's page is of no interest here
    buildForm();
    view_ = viewOf(form_->OpenTab(true));
    ASSERT_NE(view_, nullptr);
    QSignalSpy loaded(view_->page(), &QWebEnginePage::loadFinished);
    view_->setHtml(QString::fromUtf8(kPage), QUrl("http://127.0.0.1:9/doc.html"));
    ASSERT_TRUE(loaded.wait(kLongWait) || loaded.count() > 0);
    doc_ = tabDocument(*form_, 1);
  }

  QWebEngineView* view_ = nullptr;
  WebDocument doc_;
};

TEST_F(WebDocumentTest, ReadsElementsById) {
  EXPECT_EQ(awaitTask(doc_.readyState()).toString(), "complete");
  EXPECT_EQ(awaitTask(doc_.elementText("greet")).toString(), QStringLiteral("你好 世界"));
  EXPECT_EQ(awaitTask(doc_.elementHtml("greet")).toString(), QStringLiteral("你好 <b>世界</b>"));
  EXPECT_EQ(awaitTask(doc_.elementValue("o")).toString(), "keep");
  EXPECT_EQ(awaitTask(doc_.elementValue("other")).toString(), "keep");  // by name as well
  EXPECT_FALSE(awaitTask(doc_.elementText("missing")).isValid());
  EXPECT_FALSE(awaitTask(doc_.elementText("dup")).isValid());  // an id two elements share
  EXPECT_TRUE(awaitTask(doc_.rootInnerHtml()).toString().startsWith("<head>"));
}

TEST_F(WebDocumentTest, ClicksLinksWithExactlyTheText) {
  EXPECT_EQ(awaitTask(doc_.clickLinksByText(QStringLiteral("注销"))).toInt(), 2);
  // The page's own handlers ran, in document order.
  EXPECT_EQ(awaitTask(doc_.run("document.title")).toString(), QStringLiteral("文档ac"));
  EXPECT_EQ(awaitTask(doc_.clickLinksByText(QStringLiteral("没有"))).toInt(), 0);
}

TEST_F(WebDocumentTest, SetsInputsByUpperCasedNameAndFocuses) {
  EXPECT_EQ(awaitTask(doc_.setInputsByName("_J_USERNAME", QStringLiteral("张三"))).toInt(), 2);
  EXPECT_EQ(awaitTask(doc_.elementValue("u1")).toString(), QStringLiteral("张三"));
  EXPECT_EQ(awaitTask(doc_.elementValue("u2")).toString(), QStringLiteral("张三"));
  EXPECT_EQ(awaitTask(doc_.elementValue("o")).toString(), "keep");
  EXPECT_TRUE(awaitTask(doc_.focusInput(2)).toBool());
  EXPECT_EQ(awaitTask(doc_.run("document.activeElement.id")).toString(), "o");
  EXPECT_FALSE(awaitTask(doc_.focusInput(3)).isValid());
}

TEST_F(WebDocumentTest, ClicksTheFirstElementOfATag) {
  EXPECT_TRUE(awaitTask(doc_.clickFirstByTag("button")).toBool());
  EXPECT_EQ(awaitTask(doc_.run("document.title")).toString(), "pressed");
  EXPECT_FALSE(awaitTask(doc_.clickFirstByTag("select")).isValid());
}

TEST_F(WebDocumentTest, ReadsTablesByIndex) {
  EXPECT_EQ(awaitTask(doc_.tableCount()).toInt(), 3);
  EXPECT_EQ(awaitTask(doc_.rowCount(0)).toInt(), 2);
  EXPECT_EQ(awaitTask(doc_.cellText(0, 1, 1)).toString(), QStringLiteral("行一"));
  EXPECT_EQ(awaitTask(doc_.cellText(2, 0, 0)).toString(), "nested");
  EXPECT_FALSE(awaitTask(doc_.cellText(0, 2, 0)).isValid());
  EXPECT_FALSE(awaitTask(doc_.cellText(5, 0, 0)).isValid());
  EXPECT_EQ(awaitTask(doc_.rowTexts(0, 0)).toStringList(), QStringList({"r0c0", "r0c1"}));
  QVariantList rows = awaitTask(doc_.tableTexts(0)).toList();
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[1].toStringList(), QStringList({"r1c0", QStringLiteral("行一")}));
}

TEST_F(WebDocumentTest, ScriptsDoNotSeeThePageVariables) {
  EXPECT_EQ(awaitTask(doc_.run("typeof clicks")).toString(), "undefined");
}

TEST_F(WebDocumentTest, ScriptFailureGivesAnInvalidResult) {
  EXPECT_FALSE(awaitTask(doc_.run("throw new Error('x')")).isValid());
}

TEST_F(WebDocumentTest, PageClosedWhileACallWaitsGivesAnInvalidResult) {
  QCoro::Task<QVariant> busy = doc_.run("var t = Date.now(); while (Date.now() - t < 1500) {} 42;");
  form_->CloseActiveTab();
  std::optional<QVariant> result = awaitResult(std::move(busy));
  ASSERT_TRUE(result.has_value());
  EXPECT_FALSE(result->isValid());
  EXPECT_TRUE(doc_.isNull());
  // A call on the gone page answers at once.
  EXPECT_FALSE(awaitTask(doc_.readyState()).isValid());
}

}  // namespace
}  // namespace qm
