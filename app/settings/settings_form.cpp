#include "app/settings/settings_form.h"

#include "common/profile_file.h"
#include "app/settings/province_table.h"
#include "app/settings/province_buttons.h"
#include "common/settings_names.h"
#include "common/trim.h"

namespace qm {

SettingsFormState openSettingsForm(const std::string& settingsPath) {
  ProfileFile file(settingsPath);
  SettingsFormState state;
  std::string code = file.read(kProvinceSection, kProvinceKey);
  state.customAddress = file.read(kCustomAddressSection, kCustomAddressKey);
  state.loginName = file.read(kLoginSection, kLoginKey);

  auto repair = [&] {
    if (!file.write(kProvinceSection, kProvinceKey, "1") && state.error.empty()) state.error = file.error();
  };
  if (code.empty()) {
    repair();
    code = "1";
  }
  if (const ProvinceButton* button = provinceButtonForCode(code)) {
    state.checkedCode = button->code;
  } else {
    state.checkedCode = kFallbackProvinceCode;
    repair();
  }
  return state;
}

std::string provinceCodeToSave(std::optional<int> checkedCode) {
  if (checkedCode && provinceButtonForCode(std::to_string(*checkedCode))) return std::to_string(*checkedCode);
  return "1";
}

SettingsSaveResult saveSettingsForm(const std::string& settingsPath, std::optional<int> checkedCode,
                                    std::string_view customAddress, std::string_view loginName) {
  ProfileFile file(settingsPath);
  SettingsSaveResult result;
  if (!file.write(kProvinceSection, kProvinceKey, provinceCodeToSave(checkedCode)) ||
      !file.write(kCustomAddressSection, kCustomAddressKey, trimLow(customAddress)) ||
      !file.write(kLoginSection, kLoginKey, trimLow(loginName))) {
    result.message = file.error();
    return result;
  }
  result.ok = true;
  result.message = kSettingsSavedText;
  return result;
}

}  // namespace qm
