#include "platform/windows/system_metrics.h"

#include "platform/windows/application.h"

namespace lark {

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN:
      return Screen()->Width();
    case SM_CYSCREEN:
      return Screen()->Height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return 17;
    case SM_CYCAPTION:
      return 23;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return 3;
    case SM_CYMENU:
      return 20;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return 4;
    case SM_CYSMCAPTION:
      return 18;
    default:
      return 0;
  }
}

}  // namespace lark
