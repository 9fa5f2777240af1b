#pragma once
// The exports' and scrapes' shared file choice: the save dialog with the
// spreadsheet filter, ".xls" for a name without extension, the overwrite
// question and the message for a file that cannot be replaced.
#include <QString>

#include "common/ui/prompts.h"
#include "sheet/save_target.h"

namespace qm {

inline const QString kSpreadsheetFilter = QStringLiteral("EXCEL文件(.xls,.xlsx)|*.xls");
inline const QString kOverwriteQuestion = QStringLiteral("数据库文件已存在，是否覆盖？");
inline const QString kCannotReplaceMessage = QStringLiteral("数据库文件创建失败，请检查磁盘权限后再试！");

class SpreadsheetFileChoice : public SaveTarget {
 public:
  explicit SpreadsheetFileChoice(Prompts& prompts) : prompts_(prompts) {}

  // Yes to the overwrite question does not delete the old file: the save
  // replaces it only once the new one is complete.
  std::optional<std::string> choose() override;

 private:
  Prompts& prompts_;
};

}  // namespace qm
