// The queue between the batch run's thread and its window: one wake per
// block, the lines in list order, nothing lost or repeated between takes.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "photo/batch/batch_log_queue.h"
#include "tests/unit/photo/batch/batch_fixture.h"

namespace qm::photo {
namespace {

using namespace test;

TEST(BatchLogQueue, WakesOncePerBlockAndHandsOverItsLinesInOrder) {
  int wakes = 0;
  BatchLogQueue queue([&] { ++wakes; });
  BatchLogQueue::Block block = queue.take();
  EXPECT_TRUE(block.lines.empty());
  EXPECT_EQ(block.record, 0);

  queue.logLine("a1");
  EXPECT_EQ(wakes, 0);  // a student's lines wait for the student to be done
  queue.recordDone(1, 3);
  queue.logLine("b1");
  queue.logLine("b2");
  queue.recordDone(2, 3);
  EXPECT_EQ(wakes, 1);  // asked once; the second student joins that block
  block = queue.take();
  EXPECT_EQ(block.lines, (std::vector<std::string>{"a1", "b1", "b2"}));
  EXPECT_EQ(block.record, 2);

  queue.logLine("c1");
  queue.recordDone(3, 3);
  EXPECT_EQ(wakes, 2);
  block = queue.take();
  EXPECT_EQ(block.lines, std::vector<std::string>{"c1"});
  EXPECT_EQ(block.record, 3);
  // A late take finds nothing new and the record reached.
  block = queue.take();
  EXPECT_TRUE(block.lines.empty());
  EXPECT_EQ(block.record, 3);
}

// A real run on its own thread, taken from by another while it goes: the
// blocks joined are the log a plain listener gets, and every block is asked for.
TEST(BatchLogQueue, TakenWhileARunGoesTheBlocksMakeTheWholeLog) {
  BatchFolders f("queue");
  std::vector<BatchStudent> students;
  for (int i = 1; i <= 30; ++i) {
    if (i % 4 != 0) writeFile(f.source / ("p" + std::to_string(i) + ".jpg"), cameraJpeg(i, 320 + i, 240));
    students.push_back({"p" + std::to_string(i), "id" + std::to_string(i)});
  }
  BatchRunOptions options;
  options.sourceFolder = f.source.string();
  options.targetFolder = f.target.string();
  options.threads = 2;

  RecordingListener plain;
  std::atomic<bool> stop{false};
  runPhotoStudents(students, options, stop, plain);

  std::atomic<int> asked{0};
  BatchLogQueue queue([&] { ++asked; });
  std::atomic<bool> done{false};
  std::thread run([&] {
    runPhotoStudents(students, options, stop, queue);
    done = true;
  });
  std::vector<std::string> taken;
  int lastRecord = 0, takesAsked = 0;
  for (;;) {
    const bool ended = done;  // read before the take, so this take is the last
    if (asked > takesAsked) {
      ++takesAsked;
      BatchLogQueue::Block block = queue.take();
      EXPECT_GE(block.record, lastRecord);
      lastRecord = block.record;
      taken.insert(taken.end(), block.lines.begin(), block.lines.end());
    }
    if (ended && asked == takesAsked) break;
    std::this_thread::yield();
  }
  run.join();
  BatchLogQueue::Block rest = queue.take();
  EXPECT_TRUE(rest.lines.empty());
  EXPECT_EQ(lastRecord, 30);
  EXPECT_EQ(taken, plain.lines);
}

}  // namespace
}  // namespace qm::photo
