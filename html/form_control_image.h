#pragma once

#include <memory>
#include <string>

#include "html/form_control_base.h"

namespace lark {

class TImageObj;

// INPUT TYPE=image: a picture in the paragraph that submits its form with
// the click point. The paragraph owns the picture; picture and control each
// point to the other, and whichever is freed first is forgotten by the
// other.
class TImageFormControlObj : public THtmlFormControl {
 public:
  TImageFormControlObj(TSectionList& masterList, const TAttributeList& attributes, int codePage);
  ~TImageFormControlObj() override;

  // The picture, for the paragraph to take (once).
  [[nodiscard]] std::unique_ptr<TImageObj> TakeImage();
  // A click at the point the last hit test stored (XTmp, YTmp): the
  // object-click notification, then the form submits with the point.
  void ImageClick();
  bool GetSubmission(int index, std::string& pair) override;
  [[nodiscard]] bool SubmitsWithoutName() const override { return true; }

  TImageObj* MyImage = nullptr;
  int XPos = -1, YPos = -1;  // XPos -1: no click to send
  int XTmp = 0, YTmp = 0;    // the point of the last hit test

 private:
  std::unique_ptr<TImageObj> image_;  // until the paragraph takes it
};

}  // namespace lark
