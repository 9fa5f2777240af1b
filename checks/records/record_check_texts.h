#pragma once
// The record checker's own texts (UTF-8), shared by its window and the
// command line.
namespace qm::record_texts {

// Messages of one record's line, in the order they are appended.
inline constexpr const char* kIdWrong = "身份证号码错误。";
inline constexpr const char* kGenderFieldBad = "性别字段数据异常。";
inline constexpr const char* kIdNoGender = "身份证号码中无性别码。";
inline constexpr const char* kGenderMismatch = "身份证号中的性别码与性别不一致。";
inline constexpr const char* kBirthFieldBad = "出生日期字段数据异常。";
inline constexpr const char* kBirthFieldNotDigits = "出生日期字段不是全数字。";
inline constexpr const char* kBirthFieldWrong = "出生日期错误。";
inline constexpr const char* kIdNoBirth = "身份证号码中提取不到出生日期信息。";
inline constexpr const char* kIdBirthBad = "身份证号码中的出生日期数据异常。";
inline constexpr const char* kIdBirthWrong = "身份证号码中的出生日期错误。";
inline constexpr const char* kBirthMismatch = "身份证号码中的出生日期与出生日期字段不一致。";

inline constexpr const char* kLineSeparator = "、";
inline constexpr const char* kAllCorrect = "、完全正确。";

inline constexpr const char* kEndWithErrors = "检查结束！发现了一些错误。";
inline constexpr const char* kEndNoErrors = "检查结束！没有发现错误。";
inline constexpr const char* kLogHint = "请按开始检查按钮进行检查。";

inline constexpr const char* kOpenFailed = "无法打开您选择的EXCEL文件！请检查此文件是否被其它程序占用。";
inline constexpr const char* kSheetFailed = "无法打开您选择的EXCEL数据表！";

// Captions of the coding and format choices.
inline constexpr const char* kCodingText = "男或女";
inline constexpr const char* kCodingDigits = "1或2";
inline constexpr const char* kFormatCompact = "YYYYMMDD";
inline constexpr const char* kFormatDashed = "YYYY-MM-DD";
inline constexpr const char* kFormatSlashed = "YYYY/MM/DD";

}  // namespace qm::record_texts
