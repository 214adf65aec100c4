// One form page, in UTF-8 and in windows-1251, submitted here and by headless
// Chromium: here it is parsed, set through the test driver and submitted by
// its button (or its image); Chromium loads it from a Python echo server on
// loopback with a script that sets the same values and submits it, and the
// server records the pairs decoded with the page's charset. Both sides must
// give the same (name, value) bytes in the same order.
//
// Known differences, kept out of the page (our rules stand):
// - our submit button's pair comes after every other control's, Chromium's
//   in document order (the page puts its button last);
// - a radio button without VALUE sends "" here, "on" in Chromium;
// - a single-select list box (SIZE above 1) without a selected option sends
//   its first item here, nothing in Chromium;
// - TEXTAREA WRAP=hard breaks lines where each engine's fonts wrap them;
// - an ISO-8859-1 page submits in the system code page (UTF-8) here, since
//   charset 0 stands for it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <utility>

#include "html/form_control_image.h"
#include "html/form_control_memo.h"
#include "html/form_controls_select.h"
#include "html/form_controls_simple.h"
#include "html/html_form.h"
#include "html/image_obj.h"
#include "html/url_target.h"
#include "parsed_page.h"
#include "platform/core/code_page.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/check_box.h"
#include "platform/windows/edit.h"
#include "platform/windows/form.h"
#include "platform/windows/list_controls.h"
#include "platform/windows/messages.h"
#include "platform/windows/test_driver.h"
#include "tests/support/headless_chromium.h"
#include "tests/support/loopback_port.h"
#include "tests/support/peer_process.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

using Pair = std::pair<std::string, std::string>;
using PairList = std::vector<Pair>;

struct PageCharset {
  const char* Name;
  int CodePage;
  const char* Method;
};

// What is typed or chosen, the same on both sides (UTF-8 here).
const std::string kTypedText = " \xD0\xB4\xD0\xB0\xE2\x82\xAC";  // " да€"
const std::string kTypedMemo = "typed";                          // then Enter, at the memo's start

// The page in UTF-8; every character of it exists in windows-1251.
std::string FormPage(const PageCharset& charset) {
  const std::string name = charset.Name;
  return "<!DOCTYPE html><html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + name +
         "\"></head><body><form action=\"/submit/" + name + "\" method=" + charset.Method +
         ">\n"
         "<input name=text value=\"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xE2\x84\x96 1\">\n"
         "<input type=password name=pw>\n"
         "<input type=hidden name=hid value=\"a&amp;b=c d\">\n"
         "<input value=\"no name\">\n"
         "<input type=checkbox name=c1 checked><input type=checkbox name=c2 value=yes>"
         "<input type=checkbox name=c3 value=no checked>\n"
         "<input type=radio name=r value=r1 checked><input type=radio name=r value=r2>\n"
         "<select name=single><option>one<option value=2 selected>two<option>\xD1\x82\xD1\x80\xD0\xB8</select>\n"
         "<select name=multi multiple size=3><option selected>m1<option value=v2>m2<option selected>m3</select>\n"
         "<textarea name=ta>\nfirst line &amp; more\nsecond</textarea>\n"
         "<input type=image name=img src=missing.png width=40 height=30>\n"
         "<input type=submit name=go value=\"Send it\">\n"
         "</form></body></html>";
}

// JavaScript string literal of UTF-8 text, non-ASCII as \u escapes, so the
// script reads the same in either charset.
std::string JsString(const std::string& utf8) {
  std::string out = "\"";
  for (const char32_t c : DecodeToUtf32(utf8, CP_UTF8)) {
    char escaped[8];
    if (c < 0x80 && c != '"' && c != '\\' && c >= 0x20) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
      out += escaped;
    }
  }
  return out + "\"";
}

// Chromium's copy: a script sets what the test driver sets here, then
// submits by the button or clicks the image 5 right and 7 down of its corner.
std::string ChromiumCopy(const std::string& page, bool byImage) {
  std::string script =
      "<script>window.addEventListener('load', () => { const f = document.forms[0], e = f.elements;";
  if (byImage) {
    script +=
        " const img = document.querySelector('input[type=image]'); const r = img.getBoundingClientRect();"
        " img.dispatchEvent(new MouseEvent('click', {bubbles: true, cancelable: true, view: window,"
        " clientX: r.left + 5, clientY: r.top + 7}));";
  } else {
    script += " e.text.value += " + JsString(kTypedText) +
              "; e.pw.value = 's3cret'; e.c2.checked = true; e.c3.checked = false;"
              " f.querySelectorAll('[name=r]')[1].checked = true; e.single.selectedIndex = 2;"
              " const m = e.multi.options; m[0].selected = false; m[1].selected = true; m[2].selected = true;"
              " e.ta.value = " + JsString(kTypedMemo) + " + '\\n' + e.ta.value; e.go.click();";
  }
  script += " });</script>";
  const std::size_t end = page.rfind("</body>");
  return page.substr(0, end) + script + page.substr(end);
}

PairList SplitPairs(const std::vector<std::string>& pairs) {
  PairList split;
  for (const std::string& pair : pairs) {
    const std::size_t equals = pair.find('=');
    split.emplace_back(pair.substr(0, equals), equals == std::string::npos ? "" : pair.substr(equals + 1));
  }
  return split;
}

std::string Unhex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

// The record file's requests, each a list of pairs.
std::vector<PairList> ReadRecord(const std::string& path) {
  std::vector<PairList> requests(1);
  std::istringstream lines(test::ReadFile(path));
  for (std::string line; std::getline(lines, line);) {
    if (line == "END") {
      requests.emplace_back();
      continue;
    }
    const std::size_t space = line.find(' ');
    requests.back().emplace_back(Unhex(line.substr(0, space)), Unhex(line.substr(space + 1)));
  }
  requests.pop_back();
  return requests;
}

class FormSubmission : public ::testing::Test {
 protected:
  void SetUp() override {
    Application();
    panel = std::make_unique<TForm>(nullptr);
    panel->SetClientSize(1024, 768);
    panel->Show();
    test_driver::ActivateWindow(panel.get());
  }
  void TearDown() override {
    panel.reset();
    test_driver::Reset();
    Application()->ProcessMessages();
  }

  template <typename T>
  static T& Control(const testing::ParsedPage& page, const std::string& name) {
    for (std::size_t i = 0; i < page.List.FormControlList.size(); ++i)
      if (auto* control = dynamic_cast<T*>(page.List.FormControlList[i]); control && control->FName == name)
        return *control;
    throw std::runtime_error("no control " + name);
  }

  // Our submission of the page, set through the test driver.
  PairList Submit(const std::string& html, bool byImage) {
    std::vector<std::vector<std::string>> submitted;
    {
      testing::ParsedPage page(html, *panel);
      page.List.OnSubmitForm = [&](TObject*, const std::string&, const std::string&, const std::string&,
                                   const std::string&, std::vector<std::string> pairs) {
        submitted.push_back(std::move(pairs));
      };
      page.LayoutAndPaint(1024);
      Application()->ProcessMessages();
      if (byImage) {
        TImageObj& image = *Control<TImageFormControlObj>(page, "img").MyImage;
        std::unique_ptr<TUrlTarget> url;
        TFormControlObj* hit = nullptr;
        std::string title;
        page.List.GetURL(page.Surface.Canvas(), image.DrawXX + 5, image.DrawYY + 7, url, hit, title);
        EXPECT_EQ(hit, image.MyFormControl);
        if (hit) static_cast<TImageFormControlObj*>(hit)->ImageClick();
      } else {
        Control<TEditFormControlObj>(page, "text").Edit().SetFocus();
        test_driver::TypeText(kTypedText);
        Control<TEditFormControlObj>(page, "pw").Edit().SetFocus();
        test_driver::TypeText("s3cret");
        test_driver::Click(&Control<TCheckBoxFormControlObj>(page, "c2").CheckBox(), 5, 5);
        test_driver::Click(&Control<TCheckBoxFormControlObj>(page, "c3").CheckBox(), 5, 5);
        for (std::size_t i = 0; i < page.List.FormControlList.size(); ++i)
          if (auto* radio = dynamic_cast<TRadioButtonFormControlObj*>(page.List.FormControlList[i]);
              radio && radio->Value == "r2")
            test_driver::Click(radio->FocusTarget(), 5, 5);
        Control<TComboFormControlObj>(page, "single").Combo().SetItemIndex(2);
        Control<TListBoxFormControlObj>(page, "multi").ListBox().SetSelection({false, true, true}, 1);
        Control<TTextAreaFormControlObj>(page, "ta").Memo().SetFocus();
        test_driver::TypeText(kTypedMemo);
        test_driver::PressKey(VK_RETURN);
        Application()->ProcessMessages();
        test_driver::Click(&Control<TButtonFormControlObj>(page, "go").Button(), 5, 5);
      }
      Application()->ProcessMessages();
    }
    EXPECT_EQ(submitted.size(), 1u);
    return submitted.empty() ? PairList{} : SplitPairs(submitted.front());
  }

  std::unique_ptr<TForm> panel;
};

TEST_F(FormSubmission, PairsAgreeWithChromium) {
  if (std::system("command -v chromium > /dev/null") != 0) GTEST_SKIP() << "chromium is not installed";
  const PageCharset charsets[] = {{"utf-8", CP_UTF8, "get"}, {"windows-1251", 1251, "post"}};
  const test::TempDir site, profile;
  const std::string record = site.File("record.txt");
  const int port = test::FreePort();
  const test::PeerProcess server({"/usr/bin/python3", std::string(LARK_FORM_FIXTURES) + "/form_echo_server.py",
                                  std::to_string(port), site.Path(), record},
                                 "python3", port);
  ASSERT_TRUE(server.Started()) << server.Error();

  for (const PageCharset& charset : charsets) {
    const std::string page = EncodeUtf32(DecodeToUtf32(FormPage(charset), CP_UTF8), charset.CodePage);
    for (const bool byImage : {false, true}) {
      SCOPED_TRACE(std::string(charset.Name) + (byImage ? " by image" : " by button"));
      const std::string copy = std::string(byImage ? "image-" : "button-") + charset.Name + ".html";
      site.Write(copy, ChromiumCopy(page, byImage));
      std::remove(record.c_str());
      (void)test::HeadlessChromiumDom("http://127.0.0.1:" + std::to_string(port) + "/" + copy, profile.Path(),
                                      "--virtual-time-budget=5000", 90);
      const std::vector<PairList> requests = ReadRecord(record);
      ASSERT_EQ(requests.size(), 1u) << "Chromium made no submission";

      const PairList ours = Submit(page, byImage);
      EXPECT_EQ(ours, requests[0]);
      ASSERT_GE(ours.size(), 9u);  // every kind of control took part
    }
  }
}

}  // namespace
}  // namespace lark
