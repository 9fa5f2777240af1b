// What a run shows for an exception caught at its top: the internal error for
// a programming error (std::logic_error and its kin), its own message otherwise.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <optional>
#include <stdexcept>

#include "common/log_categories.h"

namespace qm {
namespace {

struct Case {
  const char* name;
  std::function<void()> fail;
  std::optional<Notice> expected;
};

TEST(CaughtInternalError, OnlyProgrammingErrorsBecomeTheInternalErrorBox) {
  const Case cases[] = {
      {"logic_error", [] { throw std::logic_error("a request of this client is still out"); },
       Notice{"程序内部错误，运行已停止：a request of this client is still out", "Quillmere", NoticeIcon::Error}},
      {"invalid_argument", [] { throw std::invalid_argument("empty URL"); },
       Notice{"程序内部错误，运行已停止：empty URL", "Quillmere", NoticeIcon::Error}},
      {"runtime_error", [] { throw std::runtime_error("Connection refused"); }, std::nullopt},
      {"bad_alloc", [] { throw std::bad_alloc(); }, std::nullopt},
      {"not_std", [] { throw 7; }, std::nullopt},
  };
  for (const Case& c : cases) {
    std::optional<Notice> shown;
    try {
      c.fail();
    } catch (...) {
      shown = caughtInternalError(lcDuplicate(), "test run");
    }
    EXPECT_EQ(shown, c.expected) << c.name;
  }
}

}  // namespace
}  // namespace qm
