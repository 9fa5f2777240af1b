// The forked reader: whatever happens in the child, the caller gets what was
// written and whether the child finished.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <string>

#include "sheet/isolated_process.h"

namespace qm {
namespace {

using namespace std::chrono_literals;

std::string readAll(ChildProcess& child) {
  std::string all;
  char c;
  while (child.read(&c, 1)) all.push_back(c);
  return all;
}

TEST(ChildProcess, PassesWhatTheChildWrites) {
  ChildProcess child(
      [](ChildOutput& out) {
        const std::string big(3 << 20, 'x');  // more than a pipe holds, and more than one flush
        out.append("head", 4);
        out.append(big.data(), big.size());
        out.append("tail", 4);
      },
      5s);
  char head[4];
  ASSERT_TRUE(child.read(head, 4));
  EXPECT_EQ(std::string(head, 4), "head");
  std::string big(3 << 20, '\0');
  ASSERT_TRUE(child.read(big.data(), big.size()));  // straight into place
  EXPECT_EQ(big.find_first_not_of('x'), std::string::npos);
  char tail[5];
  EXPECT_FALSE(child.read(tail, 5));  // only four bytes are left
  EXPECT_TRUE(child.finish());
  EXPECT_FALSE(child.timedOut());
}

TEST(ChildProcess, ChildDyingKeepsWhatArrived) {
  ChildProcess child(
      [](ChildOutput& out) {
        out.append("partial", 7);
        out.flush();
        ::raise(SIGKILL);  // as a fault inside the library would end it
      },
      5s);
  EXPECT_EQ(readAll(child), "partial");
  EXPECT_FALSE(child.finish());
  EXPECT_FALSE(child.timedOut());
}

TEST(ChildProcess, ExceptionInTheChildIsNoCompletion) {
  ChildProcess child([](ChildOutput&) { throw std::runtime_error("x"); }, 5s);
  EXPECT_EQ(readAll(child), "");
  EXPECT_FALSE(child.finish());
}

TEST(ChildProcess, SilentChildIsKilled) {
  ChildProcess child(
      [](ChildOutput& out) {
        out.append("a", 1);
        out.flush();
        ::sleep(60);
      },
      300ms);
  EXPECT_EQ(readAll(child), "a");
  EXPECT_TRUE(child.timedOut());
  EXPECT_FALSE(child.finish());
}

TEST(ChildProcess, DestroyedEarlyEndsTheChild) {
  pid_t pid = 0;
  {
    ChildProcess child(
        [](ChildOutput& out) {
          const pid_t self = ::getpid();
          out.append(&self, sizeof self);
          out.flush();
          ::sleep(60);
        },
        60s);
    ASSERT_TRUE(child.read(&pid, sizeof pid));
  }
  // Killed and reaped: no such process any more.
  EXPECT_EQ(::kill(pid, 0), -1);
  EXPECT_EQ(errno, ESRCH);
}

}  // namespace
}  // namespace qm
