#include "app/update/version_record.h"

#if !defined(QM_VERSION_MAJOR) || !defined(QM_VERSION_MINOR) || !defined(QM_VERSION_PATCH) || \
    !defined(QM_VERSION_TWEAK) || !defined(QM_PRODUCT_VERSION)
#error "the version numbers come from CMake's project version (app/update/CMakeLists.txt)"
#endif

#define QM_STR2(x) #x
#define QM_STR(x) QM_STR2(x)

namespace qm {

const VersionRecord& programVersionRecord() {
  static const VersionRecord record{
      "Quillmere",
      QM_STR(QM_VERSION_MAJOR) "." QM_STR(QM_VERSION_MINOR) "." QM_STR(QM_VERSION_PATCH) "." QM_STR(QM_VERSION_TWEAK),
      QM_PRODUCT_VERSION,
      "Copyright (C) Quillmere 开发组",
  };
  return record;
}

AboutLabels aboutLabels(const VersionRecord& record) {
  return {record.fileDescription, "版本:" + record.fileVersion + " (" + record.productVersion + ")",
          record.legalCopyright};
}

}  // namespace qm
