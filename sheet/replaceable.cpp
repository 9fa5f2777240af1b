#include "sheet/replaceable.h"

#include <sys/stat.h>
#include <unistd.h>

#include "common/atomic_file.h"

namespace qm {

bool canReplaceFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // A file nobody may write is the read-only attribute of the original's world.
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  if (::access(path.c_str(), W_OK) != 0) return false;
  AtomicFile probe(path);  // removed again when it goes out of scope
  return probe.ok();
}

}  // namespace qm
