#pragma once

#include <string>

#include "platform/graphics/color.h"
#include "platform/windows/form.h"

namespace lark {

class TButton;
class TColorComboBox;
class TFontComboBox;
class THTMLViewer;
class TLabel;
class TLanguage;
class TSpinEdit;

// The seven page defaults the dialog edits, in the order Reset puts them back.
struct TFontColorValues {
  TColor Background = clWindow;
  TColor FontColor = clBtnText;
  TColor HotSpotColor = clBlue;
  TColor OverLinkColor = clBlue;
  TColor VisitedLinkColor = clPurple;
  std::string FontName = "Times New Roman";
  int FontSize = 12;
};

// Fonts and colours of the pages, tried out on a sample page. The sample
// viewer holds the values: each setter moves its control when it differs
// and writes the viewer, so that the controls and Reset share one routine.
class TfrmFontColors : public TForm {
 public:
  explicit TfrmFontColors(TComponent* owner);

  THTMLViewer* FontViewer = nullptr;
  TFontComboBox* fcbFontName = nullptr;
  TSpinEdit* seFontSize = nullptr;
  TColorComboBox *ccbBackground = nullptr, *ccbFont = nullptr, *ccbHotSpot = nullptr, *ccbOverLink = nullptr,
                 *ccbVisitedLink = nullptr;
  TLabel *lbFontName = nullptr, *lbFont = nullptr, *lbFontSize = nullptr, *lbOverLink = nullptr,
         *lbBackground = nullptr, *lbHotSpot = nullptr, *lbVisitedLink = nullptr;
  TButton *btReset = nullptr, *btOk = nullptr, *btCancel = nullptr;

  void ApplyLanguage(const TLanguage& language);
  // All seven through their setters, in Reset's order.
  void SetValues(const TFontColorValues& values);
  // What the sample shows now.
  [[nodiscard]] TFontColorValues Values() const;

  void SetBackground(TColor color);
  void SetFontColor(TColor color);
  void SetHotSpotColor(TColor color);
  void SetOverLinkColor(TColor color);
  void SetVisitedLinkColor(TColor color);
  void SetFontName(const std::string& name);
  void SetFontSize(int size);

  // Handlers of the form resource.
  void FormActivate(TObject* sender);
  void ControlChange(TObject* sender);
  void btResetClick(TObject* sender);

 private:
  void LoadSample();
  // True while a setter moves a control, so that the control's change
  // handler does not write the value a second time.
  bool moving_ = false;
  TFontColorValues remembered_;
};

}  // namespace lark
