#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/floating_object.h"
#include "html/id_object.h"
#include "platform/graphics/canvas.h"

namespace lark {

class ThtmlForm;

// An object of the document shown as a window control on the paint panel
// (a form control or an object panel). The paragraph that holds it places
// the window when it paints; a scroll marks every window unpainted, and the
// document then takes the ones not painted again out of sight.
class TWindowedObject {
 public:
  virtual ~TWindowedObject() = default;
  // Out of sight: hidden, or (keepReachable, while a form control has the
  // focus) shown at X -4000, so that the focus survives and Tab reaches it.
  virtual void HideWindow(bool keepReachable) = 0;
  [[nodiscard]] virtual bool HasFocus() const = 0;

  bool ShowIt = false;  // painted in the current pass
};

// The model object of an INPUT, SELECT or TEXTAREA element as layout and
// the document use it; the form-control subject derives the kinds of
// control from it. It stands in a paragraph's text at `Pos`.
class TFormControlObj : public TIDObject, public TWindowedObject {
 public:
  [[nodiscard]] std::int32_t GetYPosition() override { return YValue; }
  // Sizes the window control for the canvas.
  virtual void SetHeightWidth(TCanvas& canvas) = 0;
  // The window control's size.
  [[nodiscard]] virtual int Width() const = 0;
  [[nodiscard]] virtual int Height() const = 0;
  // On screen: the window goes to (x, y) of the paint panel and shows.
  virtual void PlaceControl(int x, int y) = 0;
  // On a print copy: the control's flat picture at (x1, y1).
  virtual void Draw(TCanvas& canvas, int x1, int y1) = 0;

  int Pos = 0;
  TAlignmentKind FormAlign = aBaseline;
  int HSpaceL = 0, HSpaceR = 0;  // the spacing taken from the element's style
  int YValue = 0;                // the Y of the line that holds it
  // The form that owns the control; the form sets it when it takes the
  // control, and a control whose paragraph leaves the document is handed
  // back to it alone.
  ThtmlForm* MyForm = nullptr;
};

// One form of the document, owning its controls.
class ThtmlForm {
 public:
  virtual ~ThtmlForm() = default;
  // Every control sizes its window for the canvas.
  virtual void SetSizes(TCanvas& canvas) = 0;
  // The "name=value" pairs of the controls, for history and reloads.
  [[nodiscard]] virtual std::vector<std::string> GetFormSubmission() = 0;
  virtual void SetFormData(const std::vector<std::string>& data) = 0;
  // Frees `control` when it is one of this form's (its paragraph was left
  // out of the document); nothing otherwise. The pointer is only compared.
  virtual void RemoveControl(const TFormControlObj* control) = 0;
};

}  // namespace lark
