#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "html/section_list.h"
#include "platform/core/stream.h"
#include "tests/platform_windows/window_fixture.h"
#include "tests/support/test_files.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"
#include "viewer/scroll_bar_32.h"

namespace lark {

// A viewer on a shown 400 x 300 form, driven through the real window layer.
class ViewerTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetClientSize(400, 300);
    viewer = new THTMLViewer(form.get());
    viewer->SetParent(form.get());
    viewer->SetBounds(0, 0, 400, 300);
    form->Show();
    Drain();
  }
  void TearDown() override {
    form.reset();
    WindowTest::TearDown();
  }

  void Load(const std::string& html) { viewer->LoadFromBuffer(html.data(), html.size()); }
  // What the window shows at a point of the viewer, as 0xRRGGBB.
  std::uint32_t Pixel(int x, int y) {
    Drain();
    return test_driver::PixelAt(viewer, x, y);
  }
  static std::unique_ptr<TMemoryStream> StreamOf(const std::string& bytes) {
    auto stream = std::make_unique<TMemoryStream>();
    stream->Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream->SetPosition(0);
    return stream;
  }
  // An RGB PNG of one colour (0xRRGGBB) written by python3-png.
  static std::string SolidPng(const test::TempDir& dir, const std::string& name, int width, int height,
                              std::uint32_t rgb) {
    const std::string path = dir.File(name);
    const std::string script = "import png; w=png.Writer(" + std::to_string(width) + "," + std::to_string(height) +
                               ",greyscale=False); f=open('" + path + "','wb'); w.write(f,[[" +
                               std::to_string(rgb >> 16) + "," + std::to_string((rgb >> 8) & 0xFF) + "," +
                               std::to_string(rgb & 0xFF) + "]*" + std::to_string(width) + "]*" +
                               std::to_string(height) + "); f.close()";
    if (std::system(("/usr/bin/python3 -c \"" + script + "\"").c_str()) != 0) return {};
    return path;
  }
  // Paragraphs enough for a page many times taller than the view.
  static std::string LongPage(int paragraphs) {
    std::string html = "<body bgcolor=white>";
    for (int i = 0; i < paragraphs; ++i) html += "<p>Paragraph " + std::to_string(i) + "</p>";
    return html;
  }

  std::unique_ptr<TForm> form;
  THTMLViewer* viewer = nullptr;  // owned by the form
};

}  // namespace lark
