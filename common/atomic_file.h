#pragma once
// Files are never lost: a file is written under a temporary name in the target's
// folder and renamed over the target only when it is complete. The new file
// keeps the old one's mode; a read-only target (no write bit at all) is
// refused, also for root; a symbolic link is written through to its target.
// The temporary name carries the writer's pid, so the first save into a
// folder in a run removes what crashed saves left there, never the file of a
// live one.
#include <string>
#include <string_view>

namespace qm {

// What a save does with a symbolic link at the target name.
enum class LinkAtTarget {
  WriteThrough,  // replace the file the link points to and keep the link
  Replace,       // replace the link itself: for names that must stay in their folder
};

class AtomicFile {
 public:
  // Creates the temporary file beside target. ok() tells whether that worked.
  explicit AtomicFile(std::string target, LinkAtTarget links = LinkAtTarget::WriteThrough);
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  const std::string& error() const { return error_; }
  const std::string& target() const { return target_; }
  // Path of the temporary file, for writers that open files by name.
  const std::string& tempPath() const { return temp_; }
  // Descriptor open for writing on the temporary file, or -1.
  int fd() const { return fd_; }

  bool write(std::string_view bytes);
  // Flushes, closes and renames the temporary file over the target.
  bool commit();

 private:
  bool fail(const std::string& what);
  std::string target_, temp_, error_;
  int fd_ = -1;
  bool committed_ = false;
};

// "<target>.~qm": the start of every temporary name of target.
std::string atomicTempPrefix(const std::string& target);
// Removes the temporary files in target's folder whose writing process is
// gone; returns how many.
int removeStaleTempFiles(const std::string& target);

// Whole-file convenience: true when path holds exactly bytes afterwards.
bool saveFileAtomically(const std::string& path, std::string_view bytes, std::string* error = nullptr);

}  // namespace qm
