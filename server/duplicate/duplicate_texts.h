#pragma once
// The duplicate-check window's own texts: captions, hints, messages.
#include <string>
#include <string_view>

namespace qm {

inline constexpr std::string_view kDuplicateWindowTitle = "省内学籍批量查重";
inline constexpr std::string_view kCaptchaDialogTitle = "输入验证码";

// The log when the window first opens: one hint split over two lines.
inline constexpr std::string_view kFirstShownHint1 = "请打开EXCEL数据库（必须有姓名和身份证件号两个字段），然后点击“开始查";
inline constexpr std::string_view kFirstShownHint2 = "重”就可以在本省查找学生是否已经有学籍。";
// The same words on one line, after the workbook is closed.
inline constexpr std::string_view kWorkbookClosedHint =
    "请打开EXCEL数据库（必须有姓名和身份证件号两个字段），然后点击“开始查重”就可以在本省查找学生是否已经有学籍。";
inline constexpr std::string_view kSheetReadyHint = "请点击“开始查重”在本省查找学生是否已经有学籍！";
inline constexpr std::string_view kSheetLacksFieldHint1 = "选择的工作表没有姓名或身份证件号字段，无法查重。";
inline constexpr std::string_view kSheetLacksFieldHint2 = "请选择其它工作表或数据库";

inline constexpr std::string_view kNameField = "姓名";
inline constexpr std::string_view kIdNumberField = "身份证件号";

inline constexpr std::string_view kOpenWorkbookFilter = "Excel模板文件|*.xls";
inline constexpr std::string_view kOpenWorkbookExtension = ".xls";

// Plain message boxes (application title).
inline constexpr std::string_view kSheetOpenFailedMessage = "打开工作表失败！";
inline constexpr std::string_view kNotLoggedInDuplicateMessage = "您还没有登录学籍网吧？";

// Titled message boxes.
inline constexpr std::string_view kNoteTitle = "请注意";
inline constexpr std::string_view kStoppedMessage = "查重停止！";
inline constexpr std::string_view kFinishedTitle = "恭喜";
inline constexpr std::string_view kFinishedMessage = "比对结束！";
// Titled kNoteTitle: the session ended during a run; N records were checked.
inline std::string sessionExpiredMessage(int checked) {
  return "登录已失效，请重新登录学籍网后再查重。\r已查 " + std::to_string(checked) + " 人。";
}
inline constexpr std::string_view kCaptchaRequiredMessage = "必须输入验证码才能继续！";  // titled kNoteTitle

// The filter group and its check boxes.
inline constexpr std::string_view kFilterGroupCaption = "查重结果显示方式";
inline constexpr std::string_view kFilterFoundCaption = "有学籍的情况";        // CheckBox2
inline constexpr std::string_view kFilterNotFoundCaption = "查重无问题";       // CheckBox4
inline constexpr std::string_view kFilterNoResultCaption = "未得到反馈结果";   // CheckBox1
inline constexpr std::string_view kFilterUncheckedCaption = "无法查重";        // CheckBox3

}  // namespace qm
