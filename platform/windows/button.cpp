#include "platform/windows/button.h"

#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTimer>
#include <cctype>
#include <functional>

#include "platform/core/exception.h"
#include "platform/graphics/canvas_device_qt.h"
#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "platform/windows/menus.h"
#include "platform/windows/native_widget.h"
#include "platform/windows/qt_bridge.h"

namespace lark {
namespace {

void AttachPushButton(TButton* control, QPushButton* button) {
  button->setAutoDefault(false);
  button->setFocusPolicy(Qt::StrongFocus);
  AttachNativeWidget(control, button);
}

// A push button whose face the layer paints: the toolkit draws the frame
// and background for the button's state (pushed, default, enabled) on the
// parent's colour, then the layer draws on that through a canvas.
class TFacePushButton : public QPushButton {
 public:
  TFacePushButton(std::function<TColor()> ground, std::function<void(TCanvas&)> paintFace)
      : ground_(std::move(ground)), paint_face_(std::move(paintFace)) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QImage face = Bevel();
    PaintFace(face);
    QPainter(this).drawImage(0, 0, face);
  }

 private:
  // The toolkit's frame and background for the button's state.
  QImage Bevel() {
    QImage face(size(), QImage::Format_RGB32);
    face.fill(detail::ToQColor(ground_()));
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    option.state &= ~QStyle::State_HasFocus;  // the layer draws the focus rectangle
    QPainter painter(&face);
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
    painter.end();
    return face;
  }

  void PaintFace(QImage& face) {
    EnterPaint();
    std::string failure;
    try {
      TCanvas canvas(detail::MakeImageDevice(&face));
      paint_face_(canvas);
    } catch (const std::exception& error) {
      failure = error.what();
    }
    LeavePaint();
    // No box opens inside a paint: the error is shown once the paint is over.
    if (!failure.empty())
      QTimer::singleShot(0, [failure] { Application()->HandleException(Exception(failure)); });
  }

  std::function<TColor()> ground_;
  std::function<void(TCanvas&)> paint_face_;
};

}  // namespace

bool IsAccel(unsigned key, const std::string& caption) {
  char hot = GetHotkey(caption);
  return hot != 0 && std::toupper(static_cast<int>(key & 0xFF)) == static_cast<unsigned char>(hot);
}

TButton::TButton(TComponent* owner) : TNativeControl(owner) {
  TabStop = true;
  SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool value) {
  default_ = value;
  if (auto* button = NativeWidget<QPushButton>(this)) button->setDefault(value);
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this); form && ModalResult != mrNone) form->ModalResult = ModalResult;
  TNativeControl::Click();
}

bool TButton::IsActive() const {
  if (Focused()) return true;
  if (!default_) return false;
  // The default button answers Enter unless another button has the focus.
  TWinControl* focused = Screen()->ActiveControl();
  return !dynamic_cast<TButton*>(focused);
}

void TButton::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CM_DIALOGKEY: {
      bool plain = (KeyboardState() & (ssShift | ssCtrl | ssAlt)) == 0;
      bool enter = message.WParam == VK_RETURN && IsActive();
      bool escape = message.WParam == VK_ESCAPE && Cancel;
      if ((enter || escape) && plain && CanFocus()) {
        Click();
        message.Result = 1;
      }
      return;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
      // Released before the space bar's click runs.
      if (message.WParam == VK_SPACE) {
        space_held_ = message.Msg == WM_KEYDOWN;
        ShowPushed();
      }
      break;
    case WM_KILLFOCUS:
    case CM_ENABLEDCHANGED:
      mouse_held_ = space_held_ = false;
      ShowPushed();
      break;
    default:
      break;
  }
  if (HandleButtonKeys(message, false)) return;
  TNativeControl::WndProc(message);
}

void TButton::CreateNativeWidget() { AttachPushButton(this, new QPushButton); }

void TButton::PushState() {
  auto* button = NativeWidget<QPushButton>(this);
  if (!button) return;
  button->setText(QString::fromStdString(Caption()));
  // Accelerators are the layer's (CM_DIALOGCHAR), never the toolkit's own.
  button->setShortcut(QKeySequence());
  button->setDefault(default_);
  button->setDown(Pushed());
}

void TButton::ShowPushed() {
  if (auto* button = NativeWidget<QPushButton>(this)) button->setDown(Pushed());
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) {
    mouse_held_ = pointer_inside_ = true;
    ShowPushed();
  }
  TNativeControl::MouseDown(button, shift, x, y);
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
  if (mouse_held_) {
    pointer_inside_ = ClientRect().Contains(Point(x, y));
    ShowPushed();
  }
  TNativeControl::MouseMove(shift, x, y);
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) {
    mouse_held_ = false;
    ShowPushed();
  }
  TNativeControl::MouseUp(button, shift, x, y);
}

namespace {

struct KindInfo {
  TBitBtnKind kind;
  const char* caption;
  TModalResult result;
};

constexpr KindInfo kKinds[] = {
    {TBitBtnKind::bkOK, "OK", mrOk},           {TBitBtnKind::bkCancel, "Cancel", mrCancel},
    {TBitBtnKind::bkHelp, "&Help", mrNone},    {TBitBtnKind::bkYes, "&Yes", mrYes},
    {TBitBtnKind::bkNo, "&No", mrNo},          {TBitBtnKind::bkClose, "&Close", mrNone},
    {TBitBtnKind::bkAbort, "Abort", mrAbort},  {TBitBtnKind::bkRetry, "&Retry", mrRetry},
    {TBitBtnKind::bkIgnore, "&Ignore", mrIgnore}, {TBitBtnKind::bkAll, "&All", mrAll},
};

}  // namespace

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), TButtonGlyph(this) {}

void TBitBtn::CreateNativeWidget() {
  auto ground = [this] { return Parent() ? Parent()->Color() : Color(); };
  AttachPushButton(this, new TFacePushButton(ground, [this](TCanvas& canvas) { PaintFace(canvas); }));
}

void TBitBtn::PaintFace(TCanvas& canvas) {
  const TButtonState state = !Enabled() ? TButtonState::bsDisabled
                             : Pushed() ? TButtonState::bsDown
                                        : TButtonState::bsUp;
  canvas.SetFont(Font());
  DrawGlyphAndCaption(canvas, ButtonFaceRect(ClientRect(), Pushed()), Caption(), state);
  if (!Focused()) return;
  TRect focus = ClientRect();
  InflateRect(focus, -4, -4);
  canvas.DrawFocusRect(focus);
}

void TBitBtn::SetKind(TBitBtnKind kind) {
  kind_ = kind;
  for (const KindInfo& info : kKinds) {
    if (info.kind != kind) continue;
    SetCaption(info.caption);
    ModalResult = info.result;
  }
  if (kind == TBitBtnKind::bkOK || kind == TBitBtnKind::bkYes) SetDefault(true);
  if (kind == TBitBtnKind::bkCancel || kind == TBitBtnKind::bkNo) Cancel = true;
}

}  // namespace lark
