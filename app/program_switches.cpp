#include "app/program_switches.h"

#include "platform/core/command_line.h"
#include "platform/core/file_routines.h"
#include "platform/core/private_temp_dir.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {
constexpr std::string_view kHomeSwitch = "/home=";
}

std::vector<std::string> ProgramParameters() {
  std::vector<std::string> params;
  for (int i = 1; i <= ParamCount(); ++i) params.push_back(ParamStr(i));
  return params;
}

int FindParam(const std::vector<std::string>& params, std::string_view switch_text) {
  const bool home = SameText(switch_text, kHomeSwitch);
  for (std::size_t i = 0; i < params.size(); ++i) {
    if (PosText(switch_text, params[i]) == std::string::npos) continue;
    if (!home && PosText(kHomeSwitch, params[i]) != std::string::npos) continue;
    return static_cast<int>(i) + 1;
  }
  return -1;
}

std::optional<std::string> SwitchValue(const std::vector<std::string>& params, std::string_view switch_text) {
  const int found = FindParam(params, switch_text);
  if (found < 0) return std::nullopt;
  const std::string& param = params[found - 1];
  return param.substr(PosText(switch_text, param) + switch_text.size());
}

std::string GetIniFileName() { return SettingsFileName(); }

std::string GetTempDirectory() { return PrivateTempDirectory(); }

}  // namespace lark
