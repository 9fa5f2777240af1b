#pragma once
// The radio buttons of the settings dialog: RadioButton1..RadioButton23 for the
// provinces, five to a row in code order, and RadioButton99 for the custom
// address on its own row below them.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

inline constexpr int kProvinceButtonsPerRow = 5;

struct ProvinceButton {
  int code;              // the ProvinceCode it stands for
  std::string name;      // component name: "RadioButton" + code
  std::string caption;
  int row;               // 0-based grid position
  int column;
  bool fullRow = false;  // RadioButton99 spans the row, Edit3 below it
};

// The 23 province buttons in code order, then RadioButton99.
const std::vector<ProvinceButton>& provinceButtons();

// The button whose component name equals name without regard to ASCII case.
const ProvinceButton* provinceButtonNamed(std::string_view name);

// The button for a ProvinceCode as the file holds it: the one named
// "Radiobutton" + code ("7" finds RadioButton7; "07", "+7" and "abc" find none).
const ProvinceButton* provinceButtonForCode(std::string_view code);

}  // namespace qm
