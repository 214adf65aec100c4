#include "app/splash_form.h"

#include "platform/graphics/canvas.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/label.h"

namespace lark {

TfrmSplash::TfrmSplash(TComponent* owner) : TForm(owner) {
  LoadFormResource(this, "frmSplash");
  pbLogo = dynamic_cast<TPaintBox*>(FindComponent("pbLogo"));
  lbTitle = dynamic_cast<TLabel*>(FindComponent("lbTitle"));
  lbVersion = dynamic_cast<TLabel*>(FindComponent("lbVersion"));
  btOK = dynamic_cast<TButton*>(FindComponent("btOK"));
  if (!Application()->Title().empty()) lbTitle->SetCaption(Application()->Title());
  lbVersion->SetCaption(std::string("Version ") + kProgramVersion);
}

// A larkspur: a spike of violet flowers on a green stem, drawn so that the
// program ships no picture file.
void TfrmSplash::pbLogoPaint(TObject*) {
  TCanvas& canvas = pbLogo->Canvas();
  const int w = pbLogo->Width(), h = pbLogo->Height();
  canvas.Brush().Color = clWhite;
  canvas.FillRect({0, 0, w, h});
  canvas.Pen().Color = RGB(40, 120, 40);
  canvas.Brush().Color = RGB(40, 120, 40);
  canvas.FillRect({w / 2 - 2, h / 6, w / 2 + 2, h - 4});
  canvas.Pen().Color = RGB(70, 40, 140);
  canvas.Brush().Color = RGB(110, 80, 200);
  const int flowers = 6, size = h / 7;
  for (int i = 0; i < flowers; ++i) {
    const int y = 4 + i * (h - size - 8) / flowers;
    const int x = w / 2 + (i % 2 ? size / 3 : -size / 3) - size / 2;
    canvas.Ellipse(x, y, x + size, y + size);
  }
}

}  // namespace lark
