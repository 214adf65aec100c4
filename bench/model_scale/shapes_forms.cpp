// Form shapes: pages of many controls, one SELECT of many options, one
// TEXTAREA of many lines, each parsed and laid out at 800 pixels.
#include "bench/model_scale/parsed_page_work.h"
#include "bench/model_scale/scale_harness.h"

namespace lark::bench {
namespace {

double Inputs(int n) { return ParseAndLayOut(Repeat("<input name=a value=b> ", n)); }

double Options(int n) { return ParseAndLayOut("<select name=s>" + Repeat("<option value=v>text", n) + "</select>"); }

double TextAreaLines(int n) { return ParseAndLayOut("<textarea name=t>" + Repeat("a line &amp; more\n", n) + "</textarea>"); }

double UnterminatedSelect(int n) { return ParseAndLayOut("<select name=s><option>" + Repeat("word ", n)); }

const int kRegistered[] = {
    RegisterScaleShape("page of N INPUTs", 5000, Inputs),
    RegisterScaleShape("SELECT of N OPTIONs", 20000, Options),
    RegisterScaleShape("TEXTAREA of N lines", 20000, TextAreaLines),
    RegisterScaleShape("unterminated SELECT, N words", 20000, UnterminatedSelect),
};

}  // namespace
}  // namespace lark::bench
