#pragma once
// Runs a piece of work in a forked copy of this process and reads the bytes
// it writes. FreeXL reads past its buffers on some damaged files; in a child
// such a fault ends the child, not the program.
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>

namespace qm {

// Where the child's work writes; buffered, written to the pipe in large pieces.
class ChildOutput {
 public:
  explicit ChildOutput(int fd) : fd_(fd) {}
  void append(const void* data, std::size_t size);
  void flush();

 private:
  int fd_;
  std::string buffer_;
};

class ChildProcess {
 public:
  // Forks; the child runs work(out), flushes and exits without running this
  // process's exit handlers or destructors. Throws std::system_error when no
  // child can be started.
  ChildProcess(const std::function<void(ChildOutput&)>& work, std::chrono::milliseconds idleLimit);
  // Kills the child if it still runs, and reaps it.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Exactly n bytes of the child's output; false when the output ends first,
  // or when the child wrote nothing for idleLimit (then it is killed).
  bool read(void* data, std::size_t n);
  // Waits for the child: true when it ran to its end and exited normally.
  bool finish();
  bool timedOut() const { return timedOut_; }

 private:
  bool fill();  // more bytes into the buffer; false at the end

  pid_t pid_ = -1;
  int fd_ = -1;
  std::chrono::milliseconds idleLimit_;
  bool timedOut_ = false;
  bool ended_ = false;
  std::string buffer_;
  std::size_t at_ = 0;
};

}  // namespace qm
