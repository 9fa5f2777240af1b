// The export core against regsim: paging, the request bodies, the three ways
// to end, the selected columns, failures, and the written .xls read back.
#include <QFile>
#include <gtest/gtest.h>
#include <map>

#include "sheet/sheet.h"
#include "tests/gui/server/export/export_run_fixture.h"
#include "tests/support/sheet_readers.h"

namespace qm::test {
namespace {

using End = InSchoolExportResult::End;

std::string yesNo(const std::string& c) { return c == "0" ? "否" : c == "1" ? "是" : "未知"; }

// What a school office should read in each of the 19 columns, written out
// from the server's data without the program's tables.
std::vector<std::string> expectedCells(const sim::SchoolData& school, const sim::Student& s) {
  static const std::map<std::string, std::string> ethnicity = {
      {"01", "汉族"}, {"03", "回族"}, {"81", "穿青人族"}, {"99", "未知"}};
  static const std::map<std::string, std::string> idType = {
      {"1", "居民身份证"}, {"6", "香港特区护照/身份证"}, {"Z", "其他"}};
  return {s.xm,
          s.grbsm,
          s.sfzjh,
          s.xbm == "1" ? "男" : "女",
          s.jg,
          ethnicity.at(s.mzm),
          s.jtzz,
          s.lxdh,
          school.xxmc,
          s.bjmc,
          s.njmc,
          yesNo(s.sfcjm),
          yesNo(s.sffb),
          s.csrq,
          idType.at(s.sfzjlxm),
          s.jdfsm == "1" ? "走读" : "住校",
          s.txdz,
          s.hkszdm,
          s.jdztm == "31" ? "休学" : "在校"};
}

const char* const kTitles[19] = {"姓名", "学籍号", "身份证号", "性别", "籍贯", "民族", "家庭住址",
                                 "联系电话", "学校名称", "班级", "年级", "是否残疾", "是否分班", "出生日期",
                                 "身份证件类型", "就读方式", "通讯地址", "户口所在地", "就读状态"};

const char* const kWidths[19] = {"9.75",  "20.63", "19.5",  "4.88",  "12.5",  "8.13", "26.63",
                                 "17.38", "30.25", "16.25", "12.25", "4.88",  "4.88", "12.25",
                                 "16.25", "8.25",  "26.63", "12.25", "12.25"};

std::string fileText(const std::string& path) {
  QFile f(QString::fromStdString(path));
  return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
}

std::string widthUnits(const char* width) { return std::to_string(columnWidthUnits(parseColumnWidth(width))); }

// Every student of `students` in rows 2.. with the selected columns from column 1 on.
void expectRows(const ReadBack& file, const sim::SchoolData& school, const std::vector<const sim::Student*>& students,
                const std::vector<int>& positions) {
  ASSERT_EQ(file.rows, static_cast<int>(students.size()) + 1);
  ASSERT_EQ(file.cols, static_cast<int>(positions.size()));
  for (std::size_t k = 0; k < positions.size(); ++k) {
    const int col = static_cast<int>(k) + 1;
    EXPECT_EQ(file.text.at({1, col}), kTitles[positions[k] - 1]);
    EXPECT_EQ(file.format.at({1, col}), "General");  // titles get no number format
  }
  for (std::size_t i = 0; i < students.size(); ++i) {
    const auto want = expectedCells(school, *students[i]);
    const int row = static_cast<int>(i) + 2;
    for (std::size_t k = 0; k < positions.size(); ++k) {
      const int col = static_cast<int>(k) + 1;
      const std::string& cell = want[static_cast<std::size_t>(positions[k] - 1)];
      const auto it = file.text.find({row, col});
      EXPECT_EQ(it == file.text.end() ? std::string() : it->second, cell) << "row " << row << " col " << col;
      EXPECT_EQ(file.format.at({row, col}), "@") << "row " << row << " col " << col;
    }
  }
}

std::vector<const sim::Student*> all(const sim::RegSim& sim) {
  std::vector<const sim::Student*> out;
  for (const auto& s : sim.students()) out.push_back(&s);
  return out;
}

std::vector<int> positions(int n) {
  std::vector<int> out;
  for (int p = 1; p <= n; ++p) out.push_back(p);
  return out;
}

TEST(ExportRun, PagesThroughAllStudentsWithAllColumns) {
  ExportRun run({.students = 120});
  const auto result = run.run(allColumns(), "zxs.xls");
  EXPECT_EQ(result.end, End::LastPage);
  EXPECT_EQ(result.students, 120);
  EXPECT_EQ(result.requests, 3);

  const auto bodies = run.queryBodies();
  ASSERT_EQ(bodies.size(), 3u);
  for (std::size_t i = 0; i < bodies.size(); ++i)
    EXPECT_NE(bodies[i].find(",\"cxlx\":\"zxs\",\"start\":" + std::to_string(i * 50) + ",\"limit\":50,"),
              std::string::npos)
        << bodies[i];
  ASSERT_FALSE(run.statuses.empty());
  EXPECT_EQ(run.statuses.back(), "已导出记录条数：120");

  // The rows as an independent reader sees them: rare characters outside GBK,
  // plain IDs ending in X and escaped IDs all come out as the server meant.
  const ReadBack file = readWithXlrd(run.path("zxs.xls"));
  expectRows(file, run.sim.school(), all(run.sim), positions(19));
  bool rare = false, finalX = false, escaped = false;
  for (const auto& s : run.sim.students()) {
    for (unsigned char ch : s.xm) rare = rare || ch == 0xF0;  // 4-byte UTF-8: beyond the BMP, not in GBK
    finalX = finalX || (!s.sfzjhEscaped && s.sfzjh.back() == 'X');
    escaped = escaped || s.sfzjhEscaped;
  }
  EXPECT_TRUE(rare && finalX && escaped) << "the fixture must hold each case";
  for (int col = 1; col <= 19; ++col) EXPECT_EQ(file.widths.at(col), widthUnits(kWidths[col - 1]));
}

TEST(ExportRun, PostsQueryHeadersWithTokenAndCookie) {
  ExportRun run({.students = 10});
  run.run(allColumns(), "h.xls");
  const auto requests = run.sim.requests();
  const auto& post = requests.back();
  ASSERT_EQ(post.path, sim::RegSim::kQueryServicePath);
  EXPECT_EQ(post.version, "HTTP/1.0");
  const std::string& h = post.head;
  EXPECT_NE(h.find("\r\nX-Requested-With: XMLHttpRequest\r\nccrf-token:" + run.sim.token() + "\r\n"), std::string::npos) << h;
  EXPECT_NE(h.find("\r\nCookie:JSESSIONID="), std::string::npos) << h;
  EXPECT_NE(h.find("\r\nContent-Type: application/json\r\n"), std::string::npos) << h;
  EXPECT_NE(h.find("\r\nReferer: http://" + run.sim.host() + "/jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp\r\n"),
            std::string::npos);
  EXPECT_NE(h.find("\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows 98; Maxthon)\r\n"), std::string::npos);
}

TEST(ExportRun, FullLastPageIsFollowedByAnEmptyOne) {
  ExportRun run({.students = 100});
  const auto result = run.run(allColumns(), "100.xls");
  EXPECT_EQ(result.requests, 3);
  EXPECT_EQ(result.students, 100);
  EXPECT_EQ(readWithFreexl(run.path("100.xls")).rows, 101);
  EXPECT_EQ(run.statuses.back(), "已导出记录条数：100");
}

TEST(ExportRun, EmptySchoolGivesTitleRowOnly) {
  ExportRun run({.students = 0});
  const auto result = run.run(selectionOf({1, 2}), "none.xls");
  EXPECT_EQ(result.end, End::LastPage);
  EXPECT_EQ(result.requests, 1);
  const ReadBack file = readWithXlrd(run.path("none.xls"));
  EXPECT_EQ(file.rows, 1);
  EXPECT_EQ(file.text.at({1, 2}), "学籍号");
}

TEST(ExportRun, SelectedColumnsGoWithoutGaps) {
  ExportRun run({.students = 60});
  run.run(selectionOf({1, 19}), "two.xls");
  const ReadBack file = readWithXlrd(run.path("two.xls"));
  expectRows(file, run.sim.school(), all(run.sim), {1, 19});
  EXPECT_EQ(file.widths.at(1), widthUnits("9.75"));
  EXPECT_EQ(file.widths.at(2), widthUnits("12.25"));
  EXPECT_EQ(file.widths.count(3), 0u);
}

TEST(ExportRun, GradeAndAccountTypeShapeTheBody) {
  struct Case {
    int accountType;
    const char* grade;
    std::size_t codeLength;
    const char* type;
  };
  const Case cases[] = {{1, "**", 12, "01"}, {1, "21", 12, "01"}, {2, "**", 32, "04"}, {2, "21", 32, "04"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("account ") + std::to_string(c.accountType) + " grade " + c.grade);
    ExportRun run({.accountType = c.accountType, .students = 130});
    const auto result = run.run(selectionOf({1, 11}, c.grade), "g.xls");
    ASSERT_EQ(run.sim.organCode().size(), c.codeLength);
    const std::string head =
        R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"organCode":")" + run.sim.organCode() +
        "\"" + (std::string(c.grade) == "**" ? "" : ",\"xxNjxxId\":\"" + std::string(c.grade) + "\"") +
        ",\"type\":\"" + c.type + "\",\"cxlx\":\"zxs\",\"start\":0,\"limit\":50,";
    const auto bodies = run.queryBodies();
    ASSERT_FALSE(bodies.empty());
    EXPECT_EQ(bodies[0].substr(0, head.size()), head);
    EXPECT_TRUE(bodies[0].ends_with(
        R"("defaultSort":{"javaClass":"ArrayList","list":[]}},"length":37},"context":{"javaClass":"HashMap","map":{},"length":0}})"));

    std::vector<const sim::Student*> want;
    for (const auto& s : run.sim.students())
      if (std::string(c.grade) == "**" || s.xxNjxxId == c.grade) want.push_back(&s);
    ASSERT_GT(want.size(), 0u);
    EXPECT_EQ(result.students, static_cast<int>(want.size()));
    expectRows(readWithXlrd(run.path("g.xls")), run.sim.school(), want, {1, 11});
  }
}

TEST(ExportRun, StopBetweenRowsSavesWhatWasWritten) {
  // Page 3 is already on its way while page 2 is written; once stopped, its
  // answer, or its failure, no longer matters.
  const int faults[] = {0, 3};
  for (int failAt : faults) {
    SCOPED_TRACE(failAt);
    ExportRun run({.students = 120, .failStatusAt = failAt});
    run.hooks.rowWritten = [&](int students) {
      if (students == 70) run.stop = true;  // "停止抓取" pressed while row 71 shows
    };
    const auto result = run.run(selectionOf({1}), "stop.xls");
    EXPECT_EQ(result.end, End::Stopped);
    EXPECT_EQ(result.students, 70);
    EXPECT_EQ(result.requests, 3);
    EXPECT_EQ(run.queryBodies().size(), 3u);
    EXPECT_EQ(run.statuses.back(), "已导出记录条数：70");
    std::vector<const sim::Student*> want = all(run.sim);
    want.resize(70);
    expectRows(readWithXlrd(run.path("stop.xls")), run.sim.school(), want, {1});
  }
}

TEST(ExportRun, StopSetBeforeTheLoopWritesTitlesOnly) {
  ExportRun run({.students = 20});
  run.stop = true;
  const auto result = run.run(selectionOf({1}), "s0.xls");
  EXPECT_EQ(result.end, End::Stopped);
  EXPECT_EQ(result.requests, 0);
  EXPECT_EQ(readWithFreexl(run.path("s0.xls")).rows, 1);
}

TEST(ExportRun, RecordWithMissingKeyEndsBeforeIt) {
  ExportRun run({.students = 120, .missingKeyAt = 70});
  const auto result = run.run(selectionOf({1, 2, 8}), "mk.xls");
  EXPECT_EQ(result.end, End::LastPage);
  EXPECT_EQ(result.students, 70);
  EXPECT_EQ(result.requests, 2);
  std::vector<const sim::Student*> want = all(run.sim);
  want.resize(70);
  expectRows(readWithXlrd(run.path("mk.xls")), run.sim.school(), want, {1, 2, 8});
}

TEST(ExportRun, FailureMidRunKeepsTheOldFile) {
  struct Case {
    const char* what;
    sim::RegSimOptions options;
  };
  const Case cases[] = {{"dropped connection", {.students = 120, .dropAtRequest = 2}},
                        {"status 500", {.students = 120, .failStatusAt = 2}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ExportRun run(c.options);
    const std::string target = run.path("old.xls");
    {
      QFile old(QString::fromStdString(target));
      ASSERT_TRUE(old.open(QIODevice::WriteOnly));
      old.write("the old export");
    }
    run.prompts.answers.push_back(true);  // overwrite: yes
    EXPECT_ANY_THROW(run.run(allColumns(), "old.xls"));
    EXPECT_EQ(fileText(target), "the old export");
    EXPECT_EQ(QDir(QString::fromStdString(run.dir.path.string())).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.xls")});
    EXPECT_EQ(run.queryBodies().size(), 2u);
  }
}

TEST(ExportRun, CancelledSaveDialogOrOverwriteWritesNothing) {
  ExportRun run({.students = 10});
  const QueryPageInfo info = run.loginAndReadPage();
  {  // save dialog cancelled: the prompts' empty queue cancels
    SpreadsheetExport sheet;
    SpreadsheetFileChoice choice(run.prompts);
    const auto r = finish(runInSchoolExport(run.client, sheet, choice, run.sim.host(), info, allColumns(), run.hooks));
    EXPECT_EQ(r.end, End::Cancelled);
  }
  const std::string target = run.path("keep.xls");
  {
    QFile old(QString::fromStdString(target));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("keep");
  }
  {  // No to the overwrite question
    run.prompts.fileNames.push_back(QString::fromStdString(target));
    SpreadsheetExport sheet;
    SpreadsheetFileChoice choice(run.prompts);
    const auto r = finish(runInSchoolExport(run.client, sheet, choice, run.sim.host(), info, allColumns(), run.hooks));
    EXPECT_EQ(r.end, End::Cancelled);
  }
  EXPECT_EQ(fileText(target), "keep");
  EXPECT_TRUE(run.queryBodies().empty());
  ASSERT_EQ(run.prompts.log.size(), 3u);  // two save dialogs and the question, no message
  EXPECT_EQ(run.prompts.log[2].kind, RecordedPrompt::Question);
}

TEST(ExportRun, OldFormatHoldsAtMost65534Students) {
  ExportRun run({.students = 65600});
  const auto result = run.run(selectionOf({1, 2}), "big.xls");
  EXPECT_EQ(result.end, End::RowBound);
  EXPECT_EQ(result.students, 65534);
  EXPECT_EQ(result.requests, 1311);  // the last one for students 65501..65550
  EXPECT_EQ(run.statuses.back(), "已导出记录条数：65534");
  const ReadBack file = readWithFreexl(run.path("big.xls"));
  EXPECT_EQ(file.rows, 65535);
  EXPECT_EQ(file.text.at({65535, 1}), run.sim.students()[65533].xm);
  EXPECT_EQ(file.text.at({65535, 2}), run.sim.students()[65533].grbsm);
}

TEST(ExportRun, OldFormatStopsAtTheRowBound) {
  // A low bound shows where the export stops and that .xlsx has none.
  ExportRun run({.students = 120});
  run.hooks.rowBound = 60;
  const auto xls = run.run(selectionOf({1}), "bound.xls");
  EXPECT_EQ(xls.end, End::RowBound);
  EXPECT_EQ(xls.students, 58);  // last row 59
  EXPECT_EQ(xls.requests, 2);   // no request for rows past the bound
  EXPECT_EQ(readWithFreexl(run.path("bound.xls")).rows, 59);
  const auto xlsx = run.run(selectionOf({1}), "bound.xlsx");
  EXPECT_EQ(xlsx.end, End::LastPage);
  EXPECT_EQ(xlsx.students, 120);
}

}  // namespace
}  // namespace qm::test
