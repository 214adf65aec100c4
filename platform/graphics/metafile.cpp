#include "platform/graphics/metafile.h"

#include "platform/graphics/canvas_device_qt.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/region_data_qt.h"
#include "platform/graphics/screen.h"

namespace lark {

namespace detail {

struct MetafileData {
  std::vector<DrawCommand> commands;
  TDeviceCaps reference = ScreenCaps();
  int width = 0;
  int height = 0;
};

namespace {

class RecordingDevice : public CanvasDevice {
 public:
  RecordingDevice(MetafileData& data, const TDeviceCaps& caps) : data_(data), caps_(caps) {
    caps_.Technology = DT_METAFILE;
  }
  const TDeviceCaps& Caps() const override { return caps_; }
  void Execute(const DrawCommand& command) override {
    if (!WhollyOutsideClip(command)) data_.commands.push_back(command);
  }

 private:
  MetafileData& data_;
  TDeviceCaps caps_;
};

TColor FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

}  // namespace
}  // namespace detail

TMetafile::TMetafile() : data_(std::make_unique<detail::MetafileData>()) {}
TMetafile::~TMetafile() = default;

void TMetafile::Assign(const TMetafile& source) { *data_ = *source.data_; }
void TMetafile::Clear() { data_->commands.clear(); }

int TMetafile::Width() const { return data_->width; }
int TMetafile::Height() const { return data_->height; }
void TMetafile::SetSize(int width, int height) {
  data_->width = width;
  data_->height = height;
}
const TDeviceCaps& TMetafile::ReferenceCaps() const { return data_->reference; }

int TMetafile::RecordCount() const { return int(data_->commands.size()); }

TMetafileRecord TMetafile::Record(int index) const {
  using Kind = detail::DrawCommand::Kind;
  const detail::DrawCommand& c = data_->commands.at(size_t(index));
  TMetafileRecord record;
  QRect bounds;
  switch (c.kind) {
    case Kind::FillRects:
      record.RecordKind = TMetafileRecord::Kind::Fill;
      for (const QRect& r : c.rects) bounds = bounds.united(detail::MapToDevice(c.transform, r));
      record.Color = detail::FromQColor(c.brush.color());
      break;
    case Kind::Path:
      record.RecordKind = TMetafileRecord::Kind::Shape;
      bounds = c.transform.map(c.path).boundingRect().toAlignedRect();
      record.Color = detail::FromQColor(c.pen.style() == Qt::NoPen ? c.brush.color() : c.pen.color());
      break;
    case Kind::Text: {
      record.RecordKind = TMetafileRecord::Kind::Text;
      record.Text = c.text;
      record.Color = detail::FromQColor(c.textColor);
      const QPointF baseline = c.transform.map(QPointF(0, c.baseline));
      record.BaselineY = int(std::lround(baseline.y()));
      for (int x : c.charX) record.CharX.push_back(int(std::lround(c.transform.map(QPointF(x, 0)).x())));
      if (!c.charX.empty()) bounds = QRect(record.CharX.front(), record.BaselineY, 1, 1);
      break;
    }
    case Kind::Image: {
      record.RecordKind = TMetafileRecord::Kind::Image;
      bool mirror_x = false, mirror_y = false;
      bounds = detail::MapToDevice(c.transform, c.destX, c.destY, c.destWidth, c.destHeight, mirror_x, mirror_y);
      record.Rop = c.rop;
      break;
    }
  }
  record.Bounds = detail::FromQRect(bounds);
  return record;
}

void TMetafile::DrawOn(TCanvas& canvas, const TRect& rect) const {
  if (data_->width <= 0 || data_->height <= 0) return;
  // Metafile units -> the rectangle on the canvas -> the canvas's device.
  const QTransform placement = QTransform::fromScale(double(rect.Width()) / data_->width,
                                                      double(rect.Height()) / data_->height) *
                               QTransform::fromTranslate(rect.Left, rect.Top);
  const QTransform to_device = placement * detail::DeviceTransform(canvas.State());
  std::optional<QRegion> target_clip;
  if (canvas.State().Clip) target_clip = detail::ToQRegion(*canvas.State().Clip);
  for (detail::DrawCommand command : data_->commands) {
    command.transform = command.transform * to_device;
    if (command.clip) command.clip = to_device.map(*command.clip);
    if (target_clip) command.clip = command.clip ? command.clip->intersected(*target_clip) : *target_clip;
    canvas.Device().Execute(command);
  }
}

void TMetafile::LoadFromStream(TStream&) { throw EInvalidGraphicOperation("Metafiles cannot be loaded from a stream"); }
void TMetafile::SaveToStream(TStream&) const { throw EInvalidGraphicOperation("Metafiles cannot be saved to a stream"); }

TMetafileCanvas::TMetafileCanvas(TMetafile& metafile, TCanvas* reference)
    : TCanvas(std::make_unique<detail::RecordingDevice>(metafile.Data(), reference ? reference->Caps() : ScreenCaps())) {
  detail::MetafileData& data = metafile.Data();
  data.commands.clear();
  data.reference = Caps();
  data.width = GetDeviceCaps(*this, PHYSICALWIDTH);
  data.height = GetDeviceCaps(*this, PHYSICALHEIGHT);
}

TMetafileCanvas::~TMetafileCanvas() = default;

}  // namespace lark
