#include "platform/windows/system_metrics.h"

namespace lark {

namespace {
constexpr int kScrollBarExtent = 17;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return kScrollBarExtent;
    default:
      return 0;
  }
}

}  // namespace lark
