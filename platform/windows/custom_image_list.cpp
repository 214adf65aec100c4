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

QIcon ImageListIcon(const TCustomImageList* images, int index) {
  if (!images || index < 0 || index >= images->Count()) return QIcon();
  TBitmap picture, mask;
  images->GetBitmap(index, picture);
  images->GetMask(index, mask);
  QImage icon = detail::ToRgb32(picture.Data().image).convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < icon.height(); ++y)
    for (int x = 0; x < icon.width(); ++x)
      if (images->Masked && mask.Canvas().Pixel(x, y) == clWhite) icon.setPixel(x, y, 0);
  return QIcon(QPixmap::fromImage(icon));
}

}  // namespace lark
