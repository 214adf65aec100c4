#include "litehtml_container.h"

#include <cstring>

litehtml::uint_ptr FixedAdvanceContainer::create_font(const litehtml::tchar_t*, int size, int, litehtml::font_style,
                                                      unsigned int, litehtml::font_metrics* fm) {
  if (fm) {
    fm->ascent = size * 4 / 5;
    fm->descent = size - fm->ascent;
    fm->height = size;
    fm->x_height = size / 2;
    fm->draw_spaces = false;
  }
  return static_cast<litehtml::uint_ptr>(size);
}

int FixedAdvanceContainer::text_width(const litehtml::tchar_t* text, litehtml::uint_ptr) {
  return static_cast<int>(std::strlen(text)) * kAdvance;
}

void FixedAdvanceContainer::get_client_rect(litehtml::position& client) const {
  client.x = client.y = 0;
  client.width = 1024;
  client.height = 768;
}

void FixedAdvanceContainer::get_media_features(litehtml::media_features& media) const {
  media.type = litehtml::media_type_screen;
  media.width = media.device_width = 1024;
  media.height = media.device_height = 768;
  media.color = 8;
  media.monochrome = 0;
  media.color_index = 256;
  media.resolution = 96;
}

const char* const kUserAgentSheet = R"(
html, body, div, p, ul, ol, li, h1, h2, h3, h4, h5, h6, center, blockquote, address, form, pre, hr, table, dl,
dt, dd { display: block }
head, title, meta, style, script, link { display: none }
body { margin: 8px }
p, ul, ol, dl, blockquote, pre, h1, h2, h3, h4, h5, h6 { margin-top: 1em; margin-bottom: 1em }
ul, ol { padding-left: 40px }
li { display: list-item }
center { text-align: center }
b, strong, h1, h2, h3, h4, h5, h6 { font-weight: bold }
i, em { font-style: italic }
table { display: table; border-spacing: 2px }
tr { display: table-row }
td, th { display: table-cell; padding: 1px }
img { display: inline-block }
hr { border: 1px inset; margin: 0.5em auto }
)";
