#include "app/settings/province_buttons.h"

#include "common/ascii.h"

#include "app/settings/province_table.h"

namespace qm {
namespace {

std::vector<ProvinceButton> layout() {
  std::vector<ProvinceButton> buttons;
  int index = 0;
  for (const Province& p : provinces()) {
    buttons.push_back({p.code, "RadioButton" + std::to_string(p.code), p.name, index / kProvinceButtonsPerRow,
                       index % kProvinceButtonsPerRow});
    ++index;
  }
  const int customRow = (index + kProvinceButtonsPerRow - 1) / kProvinceButtonsPerRow;
  buttons.push_back({kCustomAddressCode, "RadioButton99", "自定义网址（前面不要加http://，后面不要加斜杠)", customRow, 0,
                     true});
  return buttons;
}

}  // namespace

const std::vector<ProvinceButton>& provinceButtons() {
  static const std::vector<ProvinceButton> buttons = layout();
  return buttons;
}

const ProvinceButton* provinceButtonNamed(std::string_view name) {
  for (const ProvinceButton& b : provinceButtons())
    if (ascii::sameIgnoringCase(b.name, name)) return &b;
  return nullptr;
}

const ProvinceButton* provinceButtonForCode(std::string_view code) {
  return provinceButtonNamed("Radiobutton" + std::string(code));
}

}  // namespace qm
