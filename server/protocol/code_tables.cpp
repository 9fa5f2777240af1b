#include "server/protocol/code_tables.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace qm {
namespace {

struct CodeText {
  std::int32_t code;
  const char* text;
};

// GB/T 3304 codes; 36 keeps the older name and 81 is a local addition.
constexpr CodeText kEthnicities[] = {
    {1, "汉族"},        {2, "蒙古族"},     {3, "回族"},       {4, "藏族"},
    {5, "维吾尔族"},    {6, "苗族"},       {7, "彝族"},       {8, "壮族"},
    {9, "布依族"},      {10, "朝鲜族"},    {11, "满族"},      {12, "侗族"},
    {13, "瑶族"},       {14, "白族"},      {15, "土家族"},    {16, "哈尼族"},
    {17, "哈萨克族"},   {18, "傣族"},      {19, "黎族"},      {20, "傈僳族"},
    {21, "佤族"},       {22, "畲族"},      {23, "高山族"},    {24, "拉祜族"},
    {25, "水族"},       {26, "东乡族"},    {27, "纳西族"},    {28, "景颇族"},
    {29, "柯尔克孜族"}, {30, "土族"},      {31, "达斡尔族"},  {32, "仫佬族"},
    {33, "羌族"},       {34, "布朗族"},    {35, "撒拉族"},    {36, "毛难族"},
    {37, "仡佬族"},     {38, "锡伯族"},    {39, "阿昌族"},    {40, "普米族"},
    {41, "塔吉克族"},   {42, "怒族"},      {43, "乌孜别克族"}, {44, "俄罗斯族"},
    {45, "鄂温克族"},   {46, "德昂族"},    {47, "保安族"},    {48, "裕固族"},
    {49, "京族"},       {50, "塔塔尔族"},  {51, "独龙族"},    {52, "鄂伦春族"},
    {53, "赫哲族"},     {54, "门巴族"},    {55, "珞巴族"},    {56, "基诺族"},
    {81, "穿青人族"},   {97, "其他"},      {98, "外国血统中国籍人士"},
};
static_assert(std::size(kEthnicities) == 59);

constexpr CodeText kGenders[] = {{1, "男"}, {2, "女"}};
constexpr CodeText kIdDocumentTypes[] = {
    {1, "居民身份证"},           {6, "香港特区护照/身份证"}, {7, "澳门特区护照/身份证"},
    {8, "台湾居民来往大陆通行证"}, {9, "境外永久居住证"},     {10, "护照"},
};
constexpr CodeText kAttendanceModes[] = {{1, "走读"}, {2, "住校"}};
constexpr CodeText kYesNo[] = {{0, "否"}, {1, "是"}};

const char* Lookup(std::span<const CodeText> table, std::int32_t code) {
  const auto it = std::find_if(table.begin(), table.end(), [code](const CodeText& e) { return e.code == code; });
  return it == table.end() ? nullptr : it->text;
}

// Empty stays empty, text that is no integer comes back unchanged, an integer
// the table lacks gives the fallback (nullptr: the code text itself).
std::string_view integerMatch(std::string_view code, std::span<const CodeText> table, const char* fallback) {
  if (code.empty()) return {};
  const auto value = parseCodeInteger(code);
  if (!value) return code;
  if (const char* text = Lookup(table, *value)) return text;
  return fallback ? std::string_view(fallback) : code;
}

}  // namespace

std::optional<std::int32_t> parseCodeInteger(std::string_view code) {
  bool negative = false;
  if (!code.empty() && (code.front() == '+' || code.front() == '-')) {
    negative = code.front() == '-';
    code.remove_prefix(1);
  }
  if (code.empty()) return std::nullopt;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t v = 0;
  for (char c : code) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -v : v);
}

std::string_view ethnicityTextView(std::string_view code) { return integerMatch(code, kEthnicities, "未知"); }
std::string_view genderTextView(std::string_view code) { return integerMatch(code, kGenders, "未知"); }

std::string_view idDocumentTypeTextView(std::string_view code) {
  if (code == "Z") return "其他";
  return integerMatch(code, kIdDocumentTypes, nullptr);
}

std::string_view attendanceModeTextView(std::string_view code) {
  return integerMatch(code, kAttendanceModes, "未知");
}
std::string_view yesNoTextView(std::string_view code) { return integerMatch(code, kYesNo, "未知"); }
std::string_view attendanceStatusTextView(std::string_view code) { return code == "31" ? "休学" : "在校"; }

std::string_view householdTypeTextView(std::string_view code) {
  return !code.empty() && code.front() == '1' ? "农业户口" : "非农业户口";
}

std::string ethnicityText(std::string_view code) { return std::string(ethnicityTextView(code)); }
std::string genderText(std::string_view code) { return std::string(genderTextView(code)); }
std::string idDocumentTypeText(std::string_view code) { return std::string(idDocumentTypeTextView(code)); }
std::string attendanceModeText(std::string_view code) { return std::string(attendanceModeTextView(code)); }
std::string yesNoText(std::string_view code) { return std::string(yesNoTextView(code)); }
std::string attendanceStatusText(std::string_view code) { return std::string(attendanceStatusTextView(code)); }
std::string householdTypeText(std::string_view code) { return std::string(householdTypeTextView(code)); }

const std::array<GradeEntry, 14> kGrades = {{
    {"全部年级", "**"},
    {"小学一年级", "11"},
    {"小学二年级", "12"},
    {"小学三年级", "13"},
    {"小学四年级", "14"},
    {"小学五年级", "15"},
    {"小学六年级", "16"},
    {"初中一年级", "21"},
    {"初中二年级", "22"},
    {"初中三年级", "23"},
    {"初中四年级", "24"},
    {"高中一年级", "31"},
    {"高中二年级", "32"},
    {"高中三年级", "33"},
}};

std::string gradeCodeAt(int position) {
  if (position < 0 || position >= static_cast<int>(kGrades.size())) return {};
  return kGrades[static_cast<std::size_t>(position)].code;
}

}  // namespace qm
