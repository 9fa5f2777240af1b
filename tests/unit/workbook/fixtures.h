#pragma once
#include <cstdlib>
#include <string>

// Path of a committed workbook fixture (tests/fixtures/workbooks, from QM_FIXTURES).
inline std::string workbookFixture(const std::string& name) {
  const char* root = std::getenv("QM_FIXTURES");
  return std::string(root != nullptr ? root : "QM_FIXTURES-not-set") + "/workbooks/" + name;
}
