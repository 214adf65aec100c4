#pragma once
// What the viewer's fuzz targets share: a viewer on a shown form that lives
// as long as the fuzzing process, and loading an input whatever it holds.
// Header-only, since fuzz targets link no test support library.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/core/exception.h"
#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "viewer/html_viewer.h"

namespace test {

// Made at the first call with that size; later calls return the same viewer.
inline lark::THTMLViewer& FuzzViewer(int width, int height) {
  static lark::THTMLViewer* viewer = [&] {
    auto* form = new lark::TForm(nullptr);
    form->SetClientSize(width, height);
    form->Show();
    auto* made = new lark::THTMLViewer(form);
    made->SetParent(form);
    made->SetBounds(0, 0, width, height);
    // Left-out sections are reported, never shown in boxes nobody answers.
    made->OnLayoutErrors = [](const std::vector<std::string>&) {};
    return made;
  }();
  return *viewer;
}

inline void StartFuzzApplication() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  lark::Application();
}

inline void LoadFuzzInput(lark::THTMLViewer& viewer, const std::uint8_t* data, std::size_t size) {
  try {
    viewer.LoadFromBuffer(reinterpret_cast<const char*>(data), size);
  } catch (const lark::Exception&) {
    // A comment open at the end: what was read is shown.
  }
}

}  // namespace test
