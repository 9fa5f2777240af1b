#pragma once
// A test with an in-process RegSim on a free loopback port and a folder of
// its own for the files it writes; window fixtures build on it.
#include <QString>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "sim/regsim.h"
#include "tests/support/temp_folder.h"

namespace qm::test {

class RegSimFixture : public ::testing::Test {
 public:
  void TearDown() override { sim_.reset(); }

  void startServer(sim::RegSimOptions options = {}) {
    sim_ = std::make_unique<sim::RegSim>(std::move(options));
    ASSERT_TRUE(sim_->start());
  }

  int requestsFor(const std::string& method, const std::string& path) const {
    const auto log = sim_->requests();
    return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const sim::RawRequest& r) {
      return r.method == method && r.path == path;
    }));
  }
  int requestsFor(const std::string& path) const {
    const auto log = sim_->requests();
    return static_cast<int>(
        std::count_if(log.begin(), log.end(), [&](const sim::RawRequest& r) { return r.path == path; }));
  }

  // A file in the test's own folder.
  std::string path(const char* name) const { return dir_.file(name); }
  QString folder() const { return QString::fromStdString(dir_.path.string()); }

  // Named for the test, so that the suites' programs running side by side
  // never share a folder.
  const TempFolder dir_{std::string("fixture_") + ::testing::UnitTest::GetInstance()->current_test_info()->name()};
  std::unique_ptr<sim::RegSim> sim_;
};

}  // namespace qm::test
