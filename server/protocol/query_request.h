#pragma once
// The in-school query service: its paths and the JSON body it takes, built as
// text in the exact form the server expects.
#include <string>
#include <string_view>

namespace qm {

inline constexpr std::string_view kQueryPagePath = "/jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp";
inline constexpr std::string_view kQueryServicePath =
    "/command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJbxxQueryCmd/queryZxs";

// gradeCode "**" sends no grade entry; userType "1" queries type "01", any other "04".
std::string buildQueryBody(const std::string& organCode, const std::string& gradeCode, const std::string& userType,
                           int start, int limit);

}  // namespace qm
