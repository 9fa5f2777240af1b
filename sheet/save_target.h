#pragma once
// Where an export saves. A window asks the user (save dialog, overwrite
// question); the command line and tests give the path.
#include <optional>
#include <string>

namespace qm {

class SaveTarget {
 public:
  virtual ~SaveTarget() = default;
  // Local path of the target, or nothing when the export ends here without
  // a word of its own (cancelled, or refused after the target's own message).
  virtual std::optional<std::string> choose() = 0;
};

class FixedSaveTarget : public SaveTarget {
 public:
  explicit FixedSaveTarget(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> choose() override { return path_; }

 private:
  std::string path_;
};

}  // namespace qm
