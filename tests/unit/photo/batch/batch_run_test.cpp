#include "photo/batch/batch_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "photo/image/batch_photo.h"
#include "workbook/workbook_source.h"
#include "tests/unit/photo/batch/batch_fixture.h"

namespace qm::photo {
namespace {

using test::BatchFolders;
using test::cameraJpeg;
using test::readFile;
using test::writeFile;

std::string madeFrom(const std::string& picture) { return makeBatchPhoto(picture).value(); }

std::vector<std::string> studentLines(int record, const char* outcome) { return {"第" + std::to_string(record) + "名学生:正在查找原图；", outcome}; }

BatchRunOptions optionsFor(const BatchFolders& f, unsigned threads, bool inPlace = false) {
  BatchRunOptions o;
  o.sourceFolder = f.source.string();
  o.targetFolder = inPlace ? o.sourceFolder : f.target.string();
  o.threads = threads;
  return o;
}

TEST(BatchRun, LogsEveryKindOfStudentFromAList) {
  BatchFolders f("kinds");
  const std::string p1 = cameraJpeg(1), p3 = cameraJpeg(3, 400, 400), p5 = cameraJpeg(5, 300, 600),
                    p9 = cameraJpeg(9, 77, 100), p10 = cameraJpeg(10), p10upper = cameraJpeg(11), p12 = cameraJpeg(12);
  writeFile(f.source / "001.jpg", p1);
  writeFile(f.source / "003.jpg", p3);
  writeFile(f.source / "004.jpg", "these bytes are no picture");
  writeFile(f.source / "005.JPG", p5);  // as cameras name them
  writeFile(f.source / "009.jpg", p9);
  writeFile(f.source / "010.jpg", p10);  // the exact name wins over 010.JPG
  writeFile(f.source / "010.JPG", p10upper);
  writeFile(f.source / "12.jpg", p12);
  writeFile(f.root / "006.jpg", p1);  // reachable only by leaving the folder
  test::writeList(f.root / "list.xls",
                  {{"序号", "照片号", "姓名", "身份证件号"},
                   {"1", "001", "甲", "110101200001010011"},
                   {"2", "002", "乙", "110101200001010022"},
                   {"3", " 003 ", "丙", "  11010120000101003X\t"},
                   {"4", "004", "丁", "110101200001010044"},
                   {"5", "005", "戊", "110101200001010055"},
                   {"6", "../006", "己", "110101200001010066"},
                   {"7", "001", "庚", "sub/110101200001010077"},
                   {"8", "001", "辛", "..\\110101200001010088"},
                   {"9", "009", "壬", "110101200001010011"},  // same ID as student 1
                   {"10", "010", "癸", "110101200001010100"},
                   {"11", 12.0, "子", "110101200001010111"}});  // a number cell
  WorkbookSource list;
  openBatchList(list, (f.root / "list.xls").string());
  test::RecordingListener log;
  std::atomic<bool> stop{false};
  BatchSummary summary = runPhotoBatch(list, optionsFor(f, 2), stop, log);

  std::vector<std::string> expected{"任务日志："};
  const char* outcomes[] = {"照片处理成功！进行下一个学生的处理。", "原图未找到，放弃！进行下一个学生的处理。", "照片处理成功！进行下一个学生的处理。", "照片处理失败，放弃！进行下一个学生的处理。",
                            "照片处理成功！进行下一个学生的处理。", "照片号或身份证件号不能用作文件名，放弃！进行下一个学生的处理。",       "照片号或身份证件号不能用作文件名，放弃！进行下一个学生的处理。",   "照片号或身份证件号不能用作文件名，放弃！进行下一个学生的处理。",
                            "照片处理成功！进行下一个学生的处理。", "照片处理成功！进行下一个学生的处理。",     "照片处理成功！进行下一个学生的处理。"};
  for (int i = 0; i < 11; ++i)
    for (auto& line : studentLines(i + 1, outcomes[i])) expected.push_back(line);
  expected.insert(expected.end(), {" ", "任务完成！", "此次任务共有11张相片需要处理，其中6张处理成功，5张处理失败。"});
  EXPECT_EQ(log.lines, expected);
  EXPECT_EQ(log.records, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(summary.ok, 6);
  EXPECT_EQ(summary.failed, 5);
  EXPECT_FALSE(summary.stopped);

  EXPECT_EQ(test::listFolder(f.target),
            (std::set<std::string>{"110101200001010011.jpg", "11010120000101003X.jpg", "110101200001010055.jpg",
                                   "110101200001010100.jpg", "110101200001010111.jpg"}));
  EXPECT_EQ(readFile(f.target / "110101200001010011.jpg"), madeFrom(p9));  // the later student's photo
  EXPECT_EQ(readFile(f.target / "11010120000101003X.jpg"), madeFrom(p3));
  EXPECT_EQ(readFile(f.target / "110101200001010055.jpg"), madeFrom(p5));
  EXPECT_EQ(readFile(f.target / "110101200001010100.jpg"), madeFrom(p10));
  EXPECT_EQ(test::listFolder(f.root), (std::set<std::string>{"006.jpg", "dst", "list.xls", "src"}));
  EXPECT_EQ(readFile(f.source / "001.jpg"), p1);  // sources stay
}

TEST(BatchRun, StopBeforeTheRunEndsItAfterTheFirstStudent) {
  BatchFolders f("early_stop");
  std::vector<BatchStudent> students;
  for (int i = 1; i <= 6; ++i) {
    writeFile(f.source / ("p" + std::to_string(i) + ".jpg"), cameraJpeg(i, 320, 240));
    students.push_back({"p" + std::to_string(i), "id" + std::to_string(i)});
  }
  test::RecordingListener log;
  std::atomic<bool> stop{true};  // pressed while no run was going on
  BatchSummary summary = runPhotoBatch(students, optionsFor(f, 2), stop, log);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"任务日志：", "第1名学生:正在查找原图；", "照片处理成功！进行下一个学生的处理。", " ",
                                                 "任务停止！",
                                                 "此次任务共有6张相片需要处理，当前1张处理成功，0张处理失败。"}));
  EXPECT_TRUE(summary.stopped);
  EXPECT_FALSE(stop.load());  // cleared by the stopped run
  EXPECT_EQ(test::listFolder(f.target), (std::set<std::string>{"id1.jpg"}));
}

TEST(BatchRun, StopDuringTheRunWritesNothingAfterTheLastLoggedStudent) {
  BatchFolders f("stop");
  std::vector<BatchStudent> students;
  for (int i = 1; i <= 40; ++i) {
    writeFile(f.source / ("p" + std::to_string(i) + ".jpg"), cameraJpeg(i % 4, 320, 240));
    students.push_back({"p" + std::to_string(i), "id" + std::to_string(i)});
  }
  std::atomic<bool> stop{false};
  test::RecordingListener log;
  log.onRecord = [&](int record) {
    if (record == 2) stop = true;
  };
  BatchSummary summary = runPhotoBatch(students, optionsFor(f, 2), stop, log);
  ASSERT_TRUE(summary.stopped);
  const int last = log.records.back();
  EXPECT_GE(last, 2);
  EXPECT_LT(last, 40);
  EXPECT_EQ(summary.ok, last);
  std::set<std::string> expectedFiles;
  for (int i = 1; i <= last; ++i) expectedFiles.insert("id" + std::to_string(i) + ".jpg");
  EXPECT_EQ(test::listFolder(f.target), expectedFiles);  // and no temporary files
  ASSERT_GE(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[log.lines.size() - 2], "任务停止！");
  EXPECT_EQ(log.lines.back(), "此次任务共有40张相片需要处理，当前" + std::to_string(last) + "张处理成功，0张处理失败。");
  EXPECT_FALSE(stop.load());
}

// A stop pressed once every student is handed over, while the run is still
// to write its last lines, belongs to that run: it ends as stopped and the
// next run is not cut short by a left-over request.
TEST(BatchRun, StopAfterTheLastStudentEndsThatRunAndIsUsedUp) {
  BatchFolders f("late_stop");
  std::vector<BatchStudent> students;
  for (int i = 1; i <= 4; ++i) {
    writeFile(f.source / ("p" + std::to_string(i) + ".jpg"), cameraJpeg(i, 320, 240));
    students.push_back({"p" + std::to_string(i), "id" + std::to_string(i)});
  }
  const std::vector<std::string> stoppedEnd{" ", "任务停止！", "此次任务共有4张相片需要处理，当前4张处理成功，0张处理失败。"};
  struct Case {
    const char* when;
    bool pressAtLastRecord;  // else between the students' lines and the end lines
  };
  for (const Case& c : {Case{"at the last record", true}, Case{"before the end lines", false}}) {
    std::atomic<bool> stop{false};
    test::RecordingListener log;
    log.onRecord = [&](int record) {
      if (c.pressAtLastRecord && record == 4) stop = true;
    };
    BatchSummary summary = runPhotoStudents(students, optionsFor(f, 2), stop, log);
    EXPECT_EQ(summary.ok, 4) << c.when;
    if (!c.pressAtLastRecord) stop = true;
    test::RecordingListener end;
    endPhotoBatch(summary, stop, end);
    EXPECT_EQ(end.lines, stoppedEnd) << c.when;
    EXPECT_TRUE(summary.stopped) << c.when;
    EXPECT_FALSE(stop.load()) << c.when;

    test::RecordingListener next;
    EXPECT_EQ(runPhotoBatch(students, optionsFor(f, 2), stop, next).ok, 4) << c.when;
    EXPECT_EQ(next.lines.back(), "此次任务共有4张相片需要处理，其中4张处理成功，0张处理失败。") << c.when;
  }
}

TEST(BatchRun, ALinkAtTheTargetNameIsReplacedNotWrittenThrough) {
  BatchFolders f("link");
  const std::string photo = cameraJpeg(1, 200, 200);
  writeFile(f.source / "p.jpg", photo);
  writeFile(f.root / "outside.jpg", "kept");
  std::filesystem::create_symlink(f.root / "outside.jpg", f.target / "id.jpg");
  std::filesystem::create_symlink(f.root / "nowhere.jpg", f.target / "dangling.jpg");
  std::vector<BatchStudent> students{{"p", "id"}, {"p", "dangling"}};
  test::RecordingListener log;
  std::atomic<bool> stop{false};
  EXPECT_EQ(runPhotoBatch(students, optionsFor(f, 1), stop, log).ok, 2);
  EXPECT_EQ(readFile(f.root / "outside.jpg"), "kept");
  EXPECT_FALSE(std::filesystem::exists(f.root / "nowhere.jpg"));
  for (const char* name : {"id.jpg", "dangling.jpg"}) {
    EXPECT_FALSE(std::filesystem::is_symlink(f.target / name)) << name;
    EXPECT_EQ(readFile(f.target / name), madeFrom(photo)) << name;
  }
}

// Neither is a photo: the FIFO is no file to look for, the huge file is not read.
TEST(BatchRun, AFifoOrAHugeFileAsSourceIsPassedWithoutWaiting) {
  BatchFolders f("fifo");
  ASSERT_EQ(::mkfifo((f.source / "pipe.jpg").c_str(), 0600), 0);
  {
    // Sparse: 64 MB and one byte, no disk space taken.
    std::ofstream big(f.source / "big.jpg", std::ios::binary);
    big << cameraJpeg(1, 64, 64);
    big.seekp((64 << 20));
    big.put('\0');
  }
  writeFile(f.source / "ok.jpg", cameraJpeg(2, 100, 100));
  std::vector<BatchStudent> students{{"pipe", "a"}, {"big", "b"}, {"ok", "c"}};
  test::RecordingListener log;
  std::atomic<bool> stop{false};
  BatchSummary summary = runPhotoBatch(students, optionsFor(f, 1), stop, log);
  EXPECT_EQ(log.lines[2], "原图未找到，放弃！进行下一个学生的处理。");
  EXPECT_EQ(log.lines[4], "照片处理失败，放弃！进行下一个学生的处理。");
  EXPECT_EQ(log.lines[6], "照片处理成功！进行下一个学生的处理。");
  EXPECT_EQ(summary.failed, 2);
}

TEST(BatchRun, InPlaceAStudentReadsWhatAnEarlierStudentWrote) {
  BatchFolders f("in_place");
  std::vector<BatchStudent> students;
  // Busy students first, so that later ones are made while earlier ones are written.
  for (int i = 1; i <= 6; ++i) {
    writeFile(f.source / ("busy" + std::to_string(i) + ".jpg"), cameraJpeg(20 + i, 1600, 1200));
    students.push_back({"busy" + std::to_string(i), "out" + std::to_string(i)});
  }
  const std::string a = cameraJpeg(1), b = cameraJpeg(2, 400, 400);
  writeFile(f.source / "A.jpg", a);
  writeFile(f.source / "B.jpg", b);
  students.push_back({"A", "B"});  // writes B.jpg
  students.push_back({"B", "C"});  // reads the B.jpg just written
  students.push_back({"c", "D"});  // finds C.jpg by ignoring case
  students.push_back({"D", "D"});  // photo number equal to ID number: replaced
  for (unsigned threads : {1u, 4u}) {
    writeFile(f.source / "B.jpg", b);
    std::filesystem::remove(f.source / "C.jpg");
    std::filesystem::remove(f.source / "D.jpg");
    test::RecordingListener log;
    std::atomic<bool> stop{false};
    BatchSummary summary = runPhotoBatch(students, optionsFor(f, threads, true), stop, log);
    EXPECT_EQ(summary.ok, 10) << threads;
    const std::string writtenB = madeFrom(a);
    EXPECT_EQ(readFile(f.source / "B.jpg"), writtenB);
    EXPECT_EQ(readFile(f.source / "C.jpg"), madeFrom(writtenB)) << threads;
    const std::string writtenD = madeFrom(madeFrom(writtenB));
    EXPECT_EQ(readFile(f.source / "D.jpg"), madeFrom(writtenD)) << threads;
    EXPECT_EQ(readFile(f.source / "A.jpg"), a);
  }
}

TEST(BatchRun, ThreadCountChangesNeitherLogNorFiles) {
  BatchFolders f("threads");
  std::vector<BatchStudent> students;
  for (int i = 1; i <= 24; ++i) {
    if (i % 5 != 0) writeFile(f.source / ("p" + std::to_string(i) + ".jpg"), cameraJpeg(i, 480 + i, 360));
    students.push_back({"p" + std::to_string(i), "id" + std::to_string(i % 7)});  // duplicates
  }
  std::vector<std::string> firstLog;
  std::map<std::string, std::string> firstFiles;
  for (unsigned threads : {1u, 2u, 5u}) {
    std::filesystem::remove_all(f.target);
    std::filesystem::create_directories(f.target);
    test::RecordingListener log;
    std::atomic<bool> stop{false};
    runPhotoBatch(students, optionsFor(f, threads), stop, log);
    std::map<std::string, std::string> files;
    for (const auto& name : test::listFolder(f.target)) files[name] = readFile(f.target / name);
    if (firstLog.empty()) {
      firstLog = log.lines, firstFiles = files;
      EXPECT_EQ(files.size(), 7u);
      EXPECT_EQ(files["id3.jpg"], madeFrom(readFile(f.source / "p24.jpg")));  // the last student with id3
      continue;
    }
    EXPECT_EQ(log.lines, firstLog) << threads;
    EXPECT_EQ(files, firstFiles) << threads;
  }
}

TEST(BatchRun, NamesThatCannotBeFileNames) {
  BatchFolders f("names");
  writeFile(f.source / ".jpg", cameraJpeg(1, 100, 100));  // what an empty photo number names
  writeFile(f.source / "ok.jpg", cameraJpeg(2, 100, 100));
  std::vector<BatchStudent> students{{"", "empty"},
                                     {std::string("ok\0x", 4), "nul"},
                                     {"ok", std::string("id\0", 3)},
                                     {"ok", "back\\slash"},
                                     {"ok", ""}};
  test::RecordingListener log;
  std::atomic<bool> stop{false};
  BatchSummary summary = runPhotoBatch(students, optionsFor(f, 2), stop, log);
  EXPECT_EQ(log.lines[2], "照片处理成功！进行下一个学生的处理。");
  EXPECT_EQ(log.lines[4], "照片号或身份证件号不能用作文件名，放弃！进行下一个学生的处理。");
  EXPECT_EQ(log.lines[6], "照片号或身份证件号不能用作文件名，放弃！进行下一个学生的处理。");
  EXPECT_EQ(log.lines[8], "照片号或身份证件号不能用作文件名，放弃！进行下一个学生的处理。");
  EXPECT_EQ(log.lines[10], "照片处理成功！进行下一个学生的处理。");
  EXPECT_EQ(summary.ok, 2);
  EXPECT_EQ(test::listFolder(f.target), (std::set<std::string>{".jpg", "empty.jpg"}));
}

TEST(BatchRun, AFileThatCannotBeWrittenFailsAndLeavesNothingBehind) {
  BatchFolders f("unwritable");
  writeFile(f.source / "p.jpg", cameraJpeg(1, 200, 200));
  std::filesystem::create_directory(f.target / "blocked.jpg");  // a folder where the photo would go
  std::vector<BatchStudent> students{{"p", "blocked"}, {"p", "fine"}};
  test::RecordingListener log;
  std::atomic<bool> stop{false};
  BatchSummary summary = runPhotoBatch(students, optionsFor(f, 1), stop, log);
  EXPECT_EQ(log.lines[2], "照片处理失败，放弃！进行下一个学生的处理。");
  EXPECT_EQ(log.lines[4], "照片处理成功！进行下一个学生的处理。");
  EXPECT_EQ(summary.failed, 1);
  EXPECT_TRUE(std::filesystem::is_directory(f.target / "blocked.jpg"));
  EXPECT_EQ(test::listFolder(f.target), (std::set<std::string>{"blocked.jpg", "fine.jpg"}));

  BatchRunOptions missingTarget = optionsFor(f, 1);
  missingTarget.targetFolder = (f.root / "gone").string();
  test::RecordingListener log2;
  EXPECT_EQ(runPhotoBatch(students, missingTarget, stop, log2).failed, 2);
}

TEST(BatchRun, EmptyListLogsTheCountsOnly) {
  BatchFolders f("empty");
  test::RecordingListener log;
  std::atomic<bool> stop{false};
  runPhotoBatch({}, optionsFor(f, 2), stop, log);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"任务日志：", " ", "任务完成！",
                                                 "此次任务共有0张相片需要处理，其中0张处理成功，0张处理失败。"}));
}

}  // namespace
}  // namespace qm::photo

namespace qm::photo {
namespace {

TEST(BatchRun, AListenerThatThrowsEndsTheRunWithoutLeavingThreads) {
  test::BatchFolders f("throwing");
  std::vector<BatchStudent> students;
  for (int i = 1; i <= 12; ++i) {
    test::writeFile(f.source / ("p" + std::to_string(i) + ".jpg"), test::cameraJpeg(i % 3, 200, 150));
    students.push_back({"p" + std::to_string(i), "id" + std::to_string(i)});
  }
  test::RecordingListener log;
  log.onRecord = [](int record) {
    if (record == 3) throw std::runtime_error("window gone");
  };
  std::atomic<bool> stop{false};
  BatchRunOptions options{f.source.string(), f.target.string(), 2, {}};
  EXPECT_THROW(runPhotoBatch(students, options, stop, log), std::runtime_error);
  EXPECT_EQ(log.records.back(), 3);
}

}  // namespace
}  // namespace qm::photo
