#include "results/input_names.h"

#include <utility>

namespace {

constexpr int ViscM0Index = 14;
static_assert(InputMembers[ViscM0Index] == &ModelInputs::ViscM0);

}  // namespace

std::optional<int> FindInputByName(std::string_view name) {
  for (int k = 0; k < NamedInputCount; ++k) {
    if (name == InputNames[k].Name) return k;
  }
  return std::nullopt;
}

std::string InputNameList() {
  std::string list;
  for (const InputName& input : InputNames) {
    if (!list.empty()) list += ", ";
    list += input.Name;
  }
  return list;
}

std::string InputUnit(int index, int32_t unitIndex) {
  if (index == ViscM0Index) return ViscosityUnitName(unitIndex);
  return InputNames[index].Unit;
}

std::string ViscosityUnitName(int32_t unitIndex) { return unitIndex == 0 ? "Pa.s" : "gf.s/cm2"; }

std::string DieModeText(std::string_view text) {
  static constexpr std::pair<std::string_view, std::string_view> ShortWords[] = {
      {"none", "None"}, {"pressure", "HeadPressure"}, {"capillary", "Capillary"},
      {"slit", "Slit"}, {"constant", "Constant"}};
  for (const auto& [word, mode] : ShortWords) {
    if (text == word) return std::string(mode);
  }
  return std::string(text);
}
