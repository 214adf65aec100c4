#include "platform/windows/custom_image_list.h"

#include <algorithm>

namespace lark {

TChangeLink::~TChangeLink() {
  if (sender_) sender_->UnRegisterChanges(this);
}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner), TImageList(16, 16) {
  TImageList::OnChange = [this] { Change(); };
}

TCustomImageList::~TCustomImageList() {
  TImageList::OnChange = nullptr;
  for (TChangeLink* link : links_) link->sender_ = nullptr;
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (link->sender_ == this) return;
  if (link->sender_) link->sender_->UnRegisterChanges(link);
  link->sender_ = this;
  links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
  if (link->sender_ == this) link->sender_ = nullptr;
}

void TCustomImageList::Change() {
  if (HasState(csDestroying)) return;
  // A link may leave while it hears the change.
  for (TChangeLink* link : std::vector<TChangeLink*>(links_))
    if (std::find(links_.begin(), links_.end(), link) != links_.end() && link->OnChange) link->OnChange(this);
  if (OnChange) OnChange(this);
}

}  // namespace lark
