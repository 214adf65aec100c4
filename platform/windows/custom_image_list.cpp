#include "platform/windows/custom_image_list.h"

#include <QImage>
#include <QPixmap>
#include <algorithm>

#include "platform/graphics/bitmap_data_qt.h"
#include "platform/windows/qt_bridge.h"

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

void ChangeImageList(TComponent& client, TCustomImageList*& member, TChangeLink* link, TCustomImageList* images) {
  if (member) {
    if (link) member->UnRegisterChanges(link);
    client.RemoveFreeNotification(member);
  }
  member = images;
  if (images) {
    if (link) images->RegisterChanges(link);
    client.FreeNotification(images);
  }
}

QIcon ImageListIcon(const TCustomImageList* images, int index) {
  if (!images || index < 0 || index >= images->Count()) return QIcon();
  TBitmap picture;
  images->GetBitmap(index, picture);
  QImage icon = detail::ToRgb32(picture.Data().image).convertToFormat(QImage::Format_ARGB32);
  if (images->Masked) {
    TBitmap mask;
    images->GetMask(index, mask);
    // Read from the mask's pixels at once: a canvas read per pixel costs a
    // menu bar with pictures most of its building time.
    const QImage seeThrough = detail::ToRgb32(mask.Data().image);
    const int width = std::min(icon.width(), seeThrough.width());
    const int height = std::min(icon.height(), seeThrough.height());
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if ((seeThrough.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) icon.setPixel(x, y, 0);
  }
  return QIcon(QPixmap::fromImage(icon));
}

}  // namespace lark
