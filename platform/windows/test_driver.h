#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/windows/control_types.h"
#include "platform/windows/dialogs.h"
#include "platform/graphics/geometry.h"

namespace lark {

class TControl;
class TWinControl;
class TCustomForm;
enum class TWindowState;
class TMenuItem;
class TPopupMenu;
class TCommonDialog;

// Drives the window layer headless, the way a user would: input goes in as
// window-system events and reaches controls through the layer's own queue
// (so hooks, OnMessage and dialog keys see it), modal boxes are answered by
// callbacks instead of waiting for a person. Points are client coordinates of
// the control named.
namespace test_driver {

void MouseMove(TControl* control, int x, int y, TShiftState shift = 0);
void MouseDown(TControl* control, TMouseButton button, int x, int y, TShiftState shift = 0);
void MouseUp(TControl* control, TMouseButton button, int x, int y, TShiftState shift = 0);
void DoubleClick(TControl* control, int x, int y);
// Down and up at one point.
void Click(TControl* control, int x, int y);
void Wheel(TControl* control, int x, int y, int delta);

// Keys go to the focused control of the active form (the form itself when
// nothing has the focus). `key` is a virtual key code; letters and digits
// also type their character.
void KeyDown(unsigned short key, TShiftState shift = 0);
void KeyUp(unsigned short key, TShiftState shift = 0);
void PressKey(unsigned short key, TShiftState shift = 0);
void TypeText(const std::string& text);

void SetCursorPos(TPoint screenPoint);
// The user clicks on another of the program's windows / switches programs.
void ActivateWindow(TCustomForm* form);
void SetApplicationActive(bool active);

// Opens a combo box's list (and lets it paint), as a click on its arrow would.
void OpenDropDown(TWinControl* combo);

// Closes the pop-up menu showing, as Escape would, and returns the screen
// rectangle it showed in (empty when none was showing).
TRect DismissPopupMenu();
// The entries of the pop-up menu showing, in order: the colour in the middle
// of each one's picture as 0xRRGGBB, or -1 for an entry without one.
std::vector<std::int64_t> PopupMenuPictures();
// The marks the toolkit draws beside the entries of the pop-up menu showing,
// in order: "" (none), "check" or "radio".
std::vector<std::string> PopupMenuMarks();
// The same for the submenu of a form's menu bar at a path of captions.
std::vector<std::string> MenuBarMarks(TCustomForm* form, const std::string& path);

// Chooses an entry on a form's menu bar by its captions ("&File/E&xit"),
// as the user would; false when the bar has no such entry.
bool ChooseMenuBarEntry(TCustomForm* form, const std::string& path);

// The text of the hint window now showing (empty when none is).
std::string ShownHint();
// The name the window system shows for the program.
std::string ShownApplicationName();

// The window system resizes a top-level window's toolkit window (the
// interior: client area, own scroll bars and menu bar) as a user dragging
// its frame would.
void ResizeWindow(TCustomForm* form, int width, int height);

// Presses OK in the toolkit's dialog showing (print, printer setup, page
// setup: the desktop's own dialogs); false when none is showing.
bool AcceptToolkitDialog();
// Presses Cancel in it; false when none is showing.
bool RejectToolkitDialog();
// Where the toolkit's dialog showing lies on the screen, its frame included
// (empty when none is showing).
TRect ToolkitDialogBounds();

// The user minimises, maximises or restores a form with its frame's
// buttons or the task bar (the window system changes the window's state).
void ChangeWindowState(TCustomForm* form, TWindowState state);
// Whether the window system shows the form's window minimised.
bool ShownMinimized(TCustomForm* form);

// The user clicks the close box on a form's frame (the window system asks
// the window to close); whether the frame shows one right now.
void ClickCloseBox(TCustomForm* form);
bool FrameHasCloseBox(TCustomForm* form);

// Adds a font file to the fonts the program sees, as installing a font on
// the desktop would; false when the file is no font.
bool InstallFont(const std::string& fileName);

// The cursor shown over a control's window right now: the screen's forced
// cursor when there is one, else the window's (crDefault when the window
// shows its own; a registered cursor's number for a registered cursor).
TCursor ShownCursor(TWinControl* window);

// A pixel of a cursor's picture as the window system gets it, with its
// opacity (0 see-through .. 255 opaque) in the top byte; the hot spot.
std::uint32_t CursorPixel(TCursor cursor, int x, int y);
TPoint CursorHotSpot(TCursor cursor);

// True when the window system gives the keyboard to the control's window
// (or a part of it), as it does to the layer's focused control.
bool HasKeyboardFocus(TWinControl* control);

// Lets the window system deliver what it holds (input, timers, paints)
// without handling any queued message.
void PumpWindowSystem();

// Lets pending paints happen, then reads a pixel of what the window shows,
// as 0xRRGGBB.
std::uint32_t PixelAt(TWinControl* control, int x, int y);

// Lets pending paints happen, then saves what the window shows (a form:
// its interior with the menu bar, every child window in it) as a PNG file;
// false when the window has none yet or the file cannot be written.
bool SaveWindowPicture(TWinControl* control, const std::string& fileName);

// Called each time a form's modal loop starts (the form is shown); the
// callback may set ModalResult, post messages or click controls.
void OnModalShown(std::function<void(TCustomForm* form)> handler);
// Answers message boxes (returns the modal result) without showing them.
void AnswerMessageBoxes(std::function<int(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons)> answer);
// The caption of the last message box answered.
std::string LastMessageBoxCaption();
// Chooses a pop-up menu entry (null: dismissed) without showing the menu.
void AnswerPopupMenus(std::function<TMenuItem*(TPopupMenu* menu, TPoint screenPoint)> answer);
// Answers the common dialogs (open, save, print, printer setup, find,
// font, colour, folder): the callback fills the dialog's fields as the user
// would and returns whether the user confirmed.
void AnswerDialogs(std::function<bool(TCommonDialog* dialog)> answer);
// Records programs the layer would start (the shell's opener, sound
// players, new instances) instead of starting them.
void CaptureStarts(std::function<void(const std::string& program, const std::vector<std::string>& arguments)> capture);
// Drops every callback.
void Reset();

}  // namespace test_driver

// Called by the layer.
void NotifyModalShown(TCustomForm* form);
bool AnswerMessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                      TMsgDlgButtons buttons, int& result);
bool AnswerPopupMenu(TPopupMenu* menu, TPoint screenPoint, TMenuItem*& choice);
bool AnswerDialog(TCommonDialog* dialog, bool& confirmed);
bool InterceptsStarts();
bool InterceptStart(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace lark
