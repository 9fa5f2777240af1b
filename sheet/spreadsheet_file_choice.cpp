#include "sheet/spreadsheet_file_choice.h"

#include <QFile>
#include <sys/stat.h>

#include "sheet/replaceable.h"

namespace qm {

std::optional<std::string> SpreadsheetFileChoice::choose() {
  const QString name = prompts_.saveFileName(kSpreadsheetFilter);
  if (name.isEmpty()) return std::nullopt;
  const std::string path = QFile::encodeName(withDefaultExtension(name, QStringLiteral(".xls"))).toStdString();
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return path;
  if (!prompts_.question(kOverwriteQuestion)) return std::nullopt;
  // The old file stays until the new one is complete; here we only make sure
  // it can be replaced then.
  if (!canReplaceFile(path)) {
    prompts_.message(kCannotReplaceMessage, kAppTitle, PromptIcon::Error);
    return std::nullopt;
  }
  return path;
}

}  // namespace qm
