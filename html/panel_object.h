#pragma once

#include <memory>
#include <string>

#include "html/floating_object.h"
#include "html/form_control.h"
#include "platform/windows/panel.h"

namespace lark {

class TAttributeList;
class TSectionList;

// The window of an object panel, on the viewer's paint panel: white, a
// single border, filled by the application.
class ThvPanel : public TPanel {
 public:
  explicit ThvPanel(TWinControl* paintPanel);
  bool FVisible = true;  // the application's "shown" flag: off keeps the window hidden
};

// An OBJECT element shown as a panel window in the text. On a print copy it
// prints a picture of the panel instead.
class TPanelObj : public TFloatingObj, public TWindowedObject {
 public:
  // Reads ALIGN, WIDTH, HEIGHT, HSPACE, VSPACE, RATIO (the height factor),
  // NAME, TYPE and SRC; reports the panel through OnPanelCreate and joins
  // the document's panel list.
  TPanelObj(TSectionList& list, int position, TAttributeList* attributes);
  // For a print copy: sizes and strings, no window of its own.
  TPanelObj(TSectionList& list, const TPanelObj& source);
  ~TPanelObj() override;

  [[nodiscard]] std::unique_ptr<TFloatingObj> CreateCopy(TSectionList& list) const override;
  void DrawLogic(TSectionList& list, TCanvas& canvas, const TFontObj* run, int availableWidth) override;
  void Draw(TCanvas& canvas, int x, int topY, int yBaseline, const TFontObj* run) override;
  void HideWindow(bool keepReachable) override;
  [[nodiscard]] bool HasFocus() const override { return false; }
  // A percentage width takes its share of `availableWidth`; a height factor
  // then gives the height.
  void SetSize(int availableWidth);

  std::unique_ptr<ThvPanel> Panel;  // none on a print copy
  ThvPanel* SourcePanel = nullptr;  // on a print copy: the panel it was copied from
  std::string Name, Type, Source;
  double HeightFactor = 0;  // above 0: height = width x factor
  TColor PanelColor = clWhite;

 private:
  void ReadAttributes(const TAttributeList& attributes);
  void Print(TCanvas& canvas, const TRect& place);

  TSectionList* list_;
};

}  // namespace lark
