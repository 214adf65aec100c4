// The image submit control.
#include "html/form_control_image.h"

#include "html/html_form.h"
#include "html/image_obj.h"

namespace lark {

TImageFormControlObj::TImageFormControlObj(TSectionList& masterList, const TAttributeList& attributes, int codePage)
    : THtmlFormControl(masterList, attributes, codePage),
      image_(std::make_unique<TImageObj>(masterList, 0, attributes)) {
  MyImage = image_.get();
  MyImage->MyFormControl = this;
}

TImageFormControlObj::~TImageFormControlObj() {
  if (MyImage) MyImage->MyFormControl = nullptr;
}

std::unique_ptr<TImageObj> TImageFormControlObj::TakeImage() { return std::move(image_); }

void TImageFormControlObj::ImageClick() {
  ObjectClick();
  XPos = XTmp;
  YPos = YTmp;
  if (auto* form = dynamic_cast<TDocumentForm*>(MyForm)) form->SubmitTheForm("");
}

bool TImageFormControlObj::GetSubmission(int index, std::string& pair) {
  if (index > 1 || XPos < 0) return false;
  const std::string prefix = FName.empty() ? std::string() : FName + ".";
  if (index == 0) {
    pair = prefix + "x=" + std::to_string(XPos);
  } else {
    pair = prefix + "y=" + std::to_string(YPos);
    XPos = -1;  // sent once per click
  }
  return true;
}

}  // namespace lark
