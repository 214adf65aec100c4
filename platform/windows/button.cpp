#include "platform/windows/button.h"

#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>
#include <cctype>

#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "platform/windows/menus.h"
#include "platform/windows/native_widget.h"

namespace lark {

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
    default:
      if (HandleButtonKeys(message, false)) return;
      break;
  }
  TNativeControl::WndProc(message);
}

void TButton::CreateNativeWidget() {
  auto* button = new QPushButton;
  button->setAutoDefault(false);
  button->setFocusPolicy(Qt::StrongFocus);
  AttachNativeWidget(this, button);
}

void TButton::PushState() {
  auto* button = NativeWidget<QPushButton>(this);
  if (!button) return;
  button->setText(QString::fromStdString(Caption()));
  // Accelerators are the layer's (CM_DIALOGCHAR), never the toolkit's own.
  button->setShortcut(QKeySequence());
  button->setDefault(default_);
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

// The first of the bitmap's glyphs, its transparent colour cleared.
QIcon GlyphIcon(const TBitmap& bitmap, int numGlyphs) {
  int width = bitmap.Width() / std::max(1, numGlyphs);
  if (width <= 0 || bitmap.Height() <= 0) return QIcon();
  TColor transparent = bitmap.TransparentColor() & 0xFFFFFF;
  QImage image(width, bitmap.Height(), QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < width; ++x) {
      TColor c = bitmap.Pixel(x, y) & 0xFFFFFF;
      int alpha = c == transparent ? 0 : 255;
      image.setPixel(x, y, qRgba(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, alpha));
    }
  }
  return QIcon(QPixmap::fromImage(image));
}

}  // namespace

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

void TBitBtn::SetGlyph(const TBitmap& glyph) {
  glyph_.Assign(glyph);
  PushState();
}

void TBitBtn::PushState() {
  TButton::PushState();
  auto* button = NativeWidget<QPushButton>(this);
  if (!button) return;
  button->setIcon(GlyphIcon(glyph_, NumGlyphs));
  if (!glyph_.Empty()) button->setIconSize(QSize(glyph_.Width() / std::max(1, NumGlyphs), glyph_.Height()));
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
