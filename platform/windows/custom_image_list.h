#pragma once

#include <vector>

#include "platform/graphics/image_list.h"
#include "platform/windows/component.h"
#include "platform/windows/control_types.h"

namespace lark {

class TCustomImageList;

// A client's ear on an image list (a tool bar, a button, a list view): its
// OnChange hears every change of the images. It leaves the list when it goes,
// and a list that goes first leaves it with no sender.
class TChangeLink {
 public:
  TChangeLink() = default;
  ~TChangeLink();
  TChangeLink(const TChangeLink&) = delete;
  TChangeLink& operator=(const TChangeLink&) = delete;
  TCustomImageList* Sender() const { return sender_; }
  TNotifyEvent OnChange;

 private:
  friend class TCustomImageList;
  TCustomImageList* sender_ = nullptr;
};

// An image list that is a component: it sits on a form (made from its
// resource, 16 x 16 unless the resource says otherwise), is shared by the
// controls that show its images, and tells them when the images change.
// Clients keep a plain pointer and ask for a free notification.
class TCustomImageList : public TComponent, public TImageList {
 public:
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;
  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);
  TNotifyEvent OnChange;

 private:
  void Change();
  std::vector<TChangeLink*> links_;
};

// Points a client's list (`member`) at `images`: the client's link (when it
// has one) and its free notification move from the old list to the new one.
// A list being freed is not passed here: the client only forgets it.
void ChangeImageList(TComponent& client, TCustomImageList*& member, TChangeLink* link, TCustomImageList* images);

}  // namespace lark
