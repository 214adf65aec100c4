#include "html/url_target.h"

#include <atomic>

namespace lark {

namespace {
std::atomic<std::int32_t> nextLinkNumber{10};
}  // namespace

void TUrlTarget::Update(const std::string& url, const std::string& target) {
  URL = url;
  Target = target;
  ID = nextLinkNumber++;
}

void TUrlTarget::Assign(const TUrlTarget& other) {
  URL = other.URL;
  Target = other.Target;
  ID = other.ID;
}

void TUrlTarget::Clear() {
  URL.clear();
  Target.clear();
  ID = 0;
}

}  // namespace lark
