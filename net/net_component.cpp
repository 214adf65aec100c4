#include "net/net_component.h"

#include "net/net_messages.h"
#include "net/socket_stack.h"
#include "platform/core/format.h"

namespace lark {

using namespace net_messages;

TNetComponent::TNetComponent() { AcquireSocketStack(); }

TNetComponent::~TNetComponent() { ReleaseSocketStack(); }

void TNetComponent::DoStatus(TNetStatus status, const std::string& argument) {
  if (!OnStatus) return;
  static const char* const texts[] = {RSStatusResolving,    RSStatusConnecting,   RSStatusConnected,
                                      RSStatusDisconnecting, RSStatusDisconnected, RSStatusText};
  std::string text = texts[static_cast<int>(status)];
  if (text.find("%s") != std::string::npos) text = Format(text, argument);
  OnStatus(this, status, text);
}

void TNetComponent::BeginWork(TWorkMode mode, std::int64_t countMax) {
  WorkArea& area = Area(mode);
  if (++area.level == 1) {
    area.max = countMax;
    area.count = 0;
    if (OnWorkBegin) OnWorkBegin(this, mode, countMax);
  }
}

void TNetComponent::DoWork(TWorkMode mode, std::int64_t count) {
  WorkArea& area = Area(mode);
  if (area.level <= 0) return;
  area.count += count;
  if (OnWork) OnWork(this, mode, area.count);
}

void TNetComponent::EndWork(TWorkMode mode) {
  WorkArea& area = Area(mode);
  if (area.level == 1 && OnWorkEnd) OnWorkEnd(this, mode);
  if (area.level > 0) --area.level;
}

}  // namespace lark
