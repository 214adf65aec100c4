#include "platform/graphics/relay_canvas.h"

#include "platform/graphics/canvas_device_qt.h"

namespace lark {

class RelayDevice : public detail::CanvasDevice {
 public:
  explicit RelayDevice(TRelayCanvas& canvas) : canvas_(canvas) {}
  const TDeviceCaps& Caps() const override {
    caps_ = canvas_.CreateHandle().Caps();  // a copy: the target may be replaced before the caller reads it
    return caps_;
  }
  void Execute(const detail::DrawCommand& command) override {
    canvas_.Changing();
    canvas_.CreateHandle().Device().Execute(command);
  }

 private:
  TRelayCanvas& canvas_;
  mutable TDeviceCaps caps_;
};

TRelayCanvas::TRelayCanvas() : TCanvas(std::make_unique<RelayDevice>(*this)) {}
TRelayCanvas::~TRelayCanvas() = default;

}  // namespace lark
