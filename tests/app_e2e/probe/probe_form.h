#pragma once

namespace lark {

class TComponent;
class TForm;

// A small window with one control of each kind the test control reads and
// drives, for tests of the control and of the end-to-end harness:
//   caption "Probe"; edit edAddress; status bar StatusBar (panels "ready"
//   and ""); red panel pnColour; viewer vwPage showing "Probe page";
//   btnAsk asks a yes/no question and puts the answer's number in panel 1;
//   btnDialog shows the modal form "Question" (button btnOk: OK) and puts
//   its modal result in panel 1; btnSave asks for a file name with the save
//   dialog and puts "saved <name>" or "not saved" in panel 1; menu "&File" with "&Hello" (panel 0
//   "hello") and "E&xit" (closes the window).
TForm* MakeProbeForm(TComponent* owner);

}  // namespace lark
