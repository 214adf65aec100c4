#pragma once

#include <string>

#include "platform/graphics/bitmap.h"
#include "platform/windows/native_control.h"

namespace lark {

// A push button. Clicking it sets its form's ModalResult (when it has one),
// then runs OnClick. Enter clicks the focused button, or the Default button
// when no button has the focus; Escape clicks the Cancel button; its "&"
// accelerator clicks it.
class TButton : public TNativeControl {
 public:
  explicit TButton(TComponent* owner);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel = false;
  TModalResult ModalResult = mrNone;
  void Click() override;

 protected:
  void WndProc(TMessage& message) override;
  void CreateNativeWidget() override;
  void PushState() override;
  // The button Enter clicks right now.
  bool IsActive() const;

 private:
  bool default_ = false;
};

enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A push button with a glyph; its Kind gives caption, modal result and the
// Default/Cancel role of the standard buttons.
class TBitBtn : public TButton {
 public:
  explicit TBitBtn(TComponent* owner);
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind kind);
  // Drawn beside the caption; pixels of its bottom-left pixel's colour are
  // transparent. With NumGlyphs > 1 the bitmap holds that many images side
  // by side and the first is shown.
  TBitmap& Glyph() { return glyph_; }
  void SetGlyph(const TBitmap& glyph);
  TButtonLayout Layout = TButtonLayout::blGlyphLeft;
  int NumGlyphs = 1;
  int Spacing = 4;
  int Margin = -1;

 protected:
  void PushState() override;

 private:
  TBitBtnKind kind_ = TBitBtnKind::bkCustom;
  TBitmap glyph_;
};

// True when `key` is the "&" accelerator of `caption` (letters compare
// without regard to case).
bool IsAccel(unsigned key, const std::string& caption);

}  // namespace lark
