#include "controls/date_util.h"

#include "platform/core/locale_settings.h"
#include "platform/core/string_routines.h"

namespace lark {

bool HasFourDigitYear(std::string_view shortDateFormat) {
  return UpperCase(std::string(shortDateFormat)).find("YYYY") != std::string::npos;
}

bool FourDigitYear() {
  static const bool four = HasFourDigitYear(ShortDateFormat());
  return four;
}

}  // namespace lark
