#include "platform/graphics/screen.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/graphics/canvas_device_qt.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/windows/gui_application.h"

namespace lark {
namespace {

class ScreenDevice : public detail::CanvasDevice {
 public:
  const TDeviceCaps& Caps() const override {
    caps_ = ScreenCaps();
    return caps_;
  }
  void Execute(const detail::DrawCommand&) override {
    throw EInvalidGraphicOperation("Cannot draw on the screen");
  }

 private:
  mutable TDeviceCaps caps_;
};

}  // namespace

TDeviceCaps ScreenCaps() {
  EnsureGuiApplication();
  TDeviceCaps caps;
  caps.HorzRes = caps.PhysicalWidth = 1024;
  caps.VertRes = caps.PhysicalHeight = 768;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    caps.HorzRes = caps.PhysicalWidth = screen->size().width();
    caps.VertRes = caps.PhysicalHeight = screen->size().height();
  }
  return caps;
}

TCanvas& ScreenCanvas() {
  static TCanvas canvas(std::make_unique<ScreenDevice>());
  return canvas;
}

}  // namespace lark
