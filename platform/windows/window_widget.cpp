#include <QBackingStore>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>
#include <QWheelEvent>
#include <sys/mman.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/graphics/canvas_device_qt.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/region.h"
#include "platform/windows/application.h"
#include "platform/windows/cursor.h"
#include "platform/windows/desktop.h"
#include "platform/windows/form.h"
#include "platform/core/exception.h"
#include "platform/windows/qt_bridge.h"

namespace lark {

namespace {

TPoint g_cursor_pos;

unsigned KeyStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  unsigned state = 0;
  if (modifiers & Qt::ShiftModifier) state |= ssShift;
  if (modifiers & Qt::ControlModifier) state |= ssCtrl;
  if (modifiers & Qt::AltModifier) state |= ssAlt;
  if (buttons & Qt::LeftButton) state |= ssLeft;
  if (buttons & Qt::RightButton) state |= ssRight;
  if (buttons & Qt::MiddleButton) state |= ssMiddle;
  return state;
}

WPARAM MouseKeys(unsigned state) {
  WPARAM keys = 0;
  if (state & ssLeft) keys |= MK_LBUTTON;
  if (state & ssRight) keys |= MK_RBUTTON;
  if (state & ssMiddle) keys |= MK_MBUTTON;
  if (state & ssShift) keys |= MK_SHIFT;
  if (state & ssCtrl) keys |= MK_CONTROL;
  return keys;
}

UINT ButtonMessage(QEvent::Type type, Qt::MouseButton button) {
  int column = button == Qt::RightButton ? 1 : button == Qt::MiddleButton ? 2 : 0;
  static const UINT table[3][3] = {{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK},
                                   {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK},
                                   {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK}};
  int row = type == QEvent::MouseButtonPress ? 0 : type == QEvent::MouseButtonRelease ? 1 : 2;
  return table[column][row];
}

WPARAM VirtualKey(int key) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return static_cast<WPARAM>(key);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + static_cast<WPARAM>(key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return VK_TAB;
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_PageUp:
      return VK_PRIOR;
    case Qt::Key_PageDown:
      return VK_NEXT;
    case Qt::Key_Home:
      return VK_HOME;
    case Qt::Key_End:
      return VK_END;
    case Qt::Key_Insert:
      return VK_INSERT;
    case Qt::Key_Delete:
      return VK_DELETE;
    case Qt::Key_Shift:
      return VK_SHIFT;
    case Qt::Key_Control:
      return VK_CONTROL;
    case Qt::Key_Alt:
      return VK_MENU;
    default:
      return 0;
  }
}

// The window that gets the mouse: the one under it, unless a control holds
// the mouse, in which case that control's window (or its parent's, for a
// windowless control) does.
TWinControl* MouseTarget(TWinControl* under) {
  TControl* capture = GetCaptureControl();
  if (!capture) return under;
  if (auto* windowed = dynamic_cast<TWinControl*>(capture)) return windowed;
  return capture->Parent() ? capture->Parent() : under;
}

void QueueMouse(TWindowHandle* handle, QMouseEvent* event) {
  QPoint at = event->globalPosition().toPoint();
  NoteCursorPos(TPoint{at.x(), at.y()});
  QPoint global(LastCursorPos().X, LastCursorPos().Y);
  TWinControl* target = MouseTarget(handle->control);
  if (!target->HandleAllocated()) return;
  TPoint local = target->ScreenToClient(TPoint{global.x(), global.y()});
  TMsg msg;
  msg.hwnd = target->Handle();
  msg.message = event->type() == QEvent::MouseMove ? WM_MOUSEMOVE : ButtonMessage(event->type(), event->button());
  msg.keyState = KeyStateOf(event->modifiers(), event->buttons());
  msg.wParam = MouseKeys(msg.keyState);
  msg.lParam = LParamFromPoint(local);
  msg.pt = TPoint{global.x(), global.y()};
  EnqueueMessage(msg);
}

void QueueWheel(TWindowHandle* handle, QWheelEvent* event) {
  QPoint global = event->globalPosition().toPoint();
  TMsg msg;
  msg.hwnd = handle;
  msg.message = WM_MOUSEWHEEL;
  msg.keyState = KeyStateOf(event->modifiers(), event->buttons());
  int delta = event->angleDelta().y();
  msg.wParam = (static_cast<WPARAM>(static_cast<std::uint16_t>(delta)) << 16) | MouseKeys(msg.keyState);
  msg.lParam = MakeLParam(global.x(), global.y());
  msg.pt = TPoint{global.x(), global.y()};
  EnqueueMessage(msg);
}

void QueueKey(TWindowHandle* handle, QKeyEvent* event) {
  bool press = event->type() == QEvent::KeyPress;
  unsigned state = KeyStateOf(event->modifiers(), Qt::NoButton);
  bool alt = (state & ssAlt) != 0;
  TMsg msg;
  msg.hwnd = handle;
  msg.keyState = state;
  msg.lParam = alt ? KF_ALTDOWN_LPARAM : 0;
  if (WPARAM vk = VirtualKey(event->key())) {
    msg.message = press ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
    msg.wParam = vk;
    EnqueueMessage(msg);
  }
  if (!press) return;
  // One character message per byte of the typed text.
  QByteArray text = event->text().toUtf8();
  if (alt && text.isEmpty() && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
    text = QByteArray(1, static_cast<char>('a' + (event->key() - Qt::Key_A)));
  for (char byte : text) {
    msg.message = alt ? WM_SYSCHAR : WM_CHAR;
    msg.wParam = static_cast<unsigned char>(byte);
    EnqueueMessage(msg);
  }
}

}  // namespace

TPoint LastCursorPos() { return g_cursor_pos; }
void NoteCursorPos(TPoint screenPoint) { g_cursor_pos = ConfineToCursorClip(screenPoint); }

bool QueueInputEvent(TWindowHandle* handle, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      QueueMouse(handle, static_cast<QMouseEvent*>(event));
      return true;
    case QEvent::Wheel:
      QueueWheel(handle, static_cast<QWheelEvent*>(event));
      return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      QueueKey(handle, static_cast<QKeyEvent*>(event));
      return true;
    default:
      return false;
  }
}

void FlushCanvases(TWindowHandle* handle) {
  for (auto& [control, canvas] : handle->canvases) canvas->Device().Flush();
}

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

void UnmapSurface(void* info) {
  auto* block = static_cast<std::size_t*>(info);
  ::munmap(reinterpret_cast<void*>(block[0]), block[1]);
  delete[] block;
}

// A window-sized surface in memory that the system may back with large
// pages: one fault instead of one per 4 KiB page at its first drawing. A
// last large page at least half used is taken whole (a page viewer a little
// under 2 MB); a smaller rest stays in small pages, which costs less memory.
QImage NewSurface(int width, int height) {
  const std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
  if (bytes < kHugePage / 2) return QImage(width, height, QImage::Format_RGB32);
  const std::size_t used = bytes % kHugePage >= kHugePage / 2 ? (bytes + kHugePage - 1) & ~(kHugePage - 1)
                                                              : (bytes + 4095) & ~std::size_t{4095};
  const std::size_t mapped = used + kHugePage;
  void* raw = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return QImage(width, height, QImage::Format_RGB32);
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const std::uintptr_t end = start + mapped;
  if (end > aligned + used) ::munmap(reinterpret_cast<void*>(aligned + used), end - aligned - used);
  ::madvise(reinterpret_cast<void*>(aligned), used, MADV_HUGEPAGE);
  auto* block = new std::size_t[2]{aligned, used};
  return QImage(reinterpret_cast<uchar*>(aligned), width, height, width * 4, QImage::Format_RGB32, UnmapSurface, block);
}

// Has the system provide the memory of [start, end) on a worker thread. The
// worker only has pages provided, never writes, so it cannot race drawing;
// memory freed meanwhile only makes its work useless. One worker for the
// program: starting a thread maps its stack, which would wait for a worker
// already providing pages.
class TPageProvider {
 public:
  static void Provide(const void* start, std::size_t bytes) {
    static TPageProvider* provider = Start();  // never destroyed: the worker may outlive static destruction
    if (!provider) return;
    const auto from = reinterpret_cast<std::uintptr_t>(start) & ~std::uintptr_t{4095};
    {
      const std::lock_guard lock(provider->mutex_);
      provider->ranges_.emplace_back(from, reinterpret_cast<std::uintptr_t>(start) + bytes);
    }
    provider->wake_.notify_one();
  }

 private:
  static TPageProvider* Start() {
    auto* provider = new TPageProvider;
    try {
      std::thread([provider] { provider->Run(); }).detach();
    } catch (const std::system_error&) {
      delete provider;  // no thread to spare: drawing provides the pages
      return nullptr;
    }
    return provider;
  }

  [[noreturn]] void Run() {
    for (;;) {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return !ranges_.empty(); });
      const auto [from, to] = ranges_.front();
      ranges_.pop_front();
      lock.unlock();
      // A little at a time: the system holds the program's memory map while
      // it provides pages, and the GUI thread's own mapping calls would wait
      // for the whole range. Refused by systems before Linux 5.14: drawing
      // faults the pages in.
      constexpr std::uintptr_t kStep = std::uintptr_t{64} << 10;
      for (std::uintptr_t at = from; at < to; at += kStep)
        (void)::madvise(reinterpret_cast<void*>(at), std::min(kStep, to - at), MADV_POPULATE_WRITE);
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::pair<std::uintptr_t, std::uintptr_t>> ranges_;
};

}  // namespace

// The backing store is filled whole by the first paint (the window is
// opaque), in shared memory that the system here does not back with large
// pages: about 660 first touches for the main window, a tenth of its start.
// Asked for between showing and the first paint, they cost the window
// nothing; a store replaced meanwhile (the window resized) only makes that
// work useless.
void PrepareBackingStore(QWidget* window) {
  constexpr qsizetype kWorthAWorker = qsizetype{256} << 10;
  (void)window->winId();  // made now rather than by show(), with its backing store
  QBackingStore* store = window->backingStore();
  if (!store) return;
  if (store->size() != window->size()) store->resize(window->size());
  const auto* image = dynamic_cast<const QImage*>(store->paintDevice());
  if (image && image->sizeInBytes() >= kWorthAWorker) TPageProvider::Provide(image->constBits(), image->sizeInBytes());
}

void ResizeSurface(TWindowHandle* handle, int width, int height) {
  if (handle->native) return;
  if (handle->surface.width() == width && handle->surface.height() == height) return;
  FlushCanvases(handle);
  QImage surface = NewSurface(std::max(width, 0), std::max(height, 0));
  const QRect kept = surface.rect() & handle->surface.rect();
  // What nothing drew stays blank in the new surface: copying it would only
  // touch fresh pages.
  const QRegion drawn = QRegion(kept).subtracted(handle->blank);
  if (!drawn.isEmpty()) {
    QPainter painter(&surface);
    for (const QRect& r : drawn) painter.drawImage(r, handle->surface, r);
  }
  handle->blank = handle->blank.intersected(surface.rect()).united(QRegion(surface.rect()).subtracted(kept));
  handle->surface = surface;
  // The newly exposed part must be painted.
  handle->invalid += QRect(0, 0, width, height);
  handle->erase_pending = true;
}

void ScrollSurface(TWindowHandle* handle, int dx, int dy, const QRect& area) {
  FlushCanvases(handle);
  QImage moved = handle->surface.copy(area);
  {
    QPainter painter(&handle->surface);
    painter.setClipRect(area);
    painter.drawImage(area.topLeft() + QPoint(dx, dy), moved);
  }
  QRegion uncovered = QRegion(area).subtracted(QRegion(area.translated(dx, dy)));
  const QRegion movedBlank = handle->blank.intersected(area).translated(dx, dy).intersected(area);
  handle->blank = handle->blank.subtracted(area).united(movedBlank).united(handle->blank.intersected(uncovered));
  // What was already waiting for a paint moves along.
  QRegion pending = handle->invalid.intersected(area).translated(dx, dy);
  handle->invalid = handle->invalid.subtracted(area).united(pending).united(uncovered);
  handle->erase_pending = true;
  if (handle->redraw) handle->widget->update(area.translated(0, handle->top_inset));
}

namespace {

TRegion ToRegion(const QRegion& region) {
  std::vector<TRect> rects;
  for (const QRect& r : region) rects.push_back(Bounds(r.x(), r.y(), r.width(), r.height()));
  return ExtCreateRegion(rects);
}

// Sets a canvas up for drawing `control` (at `origin` on the surface),
// clipped to `clip` (surface pixels) when given.
void Prepare(TCanvas& canvas, TPoint origin, const TRegion* clip) {
  SetViewportOrgEx(canvas, origin.X, origin.Y);
  SelectClipRgn(canvas, clip);
}

// One painter at a time may draw on the surface: taking a canvas ends the
// drawing of the others on the same window.
TCanvas& CanvasSlot(TWindowHandle* handle, const TControl* control) {
  for (auto& [owner, canvas] : handle->canvases)
    if (owner != control) canvas->Device().Flush();
  auto& slot = handle->canvases[control];
  if (!slot) {
    slot = std::make_unique<TCanvas>(detail::MakeImageDevice(&handle->surface));
    slot->SetFont(control->Font());
    slot->Brush().Color = control->Color();
  }
  return *slot;
}

}  // namespace

TCanvas& ControlCanvas(TControl* control) {
  auto* window = dynamic_cast<TWinControl*>(control);
  bool windowless = window == nullptr;
  if (windowless) window = control->Parent();
  if (!window) throw EInvalidOperation("Control '" + control->Name() + "' has no parent window");
  TWindowHandle* handle = window->Handle();
  if (handle->native) throw EInvalidOperation("Control '" + window->Name() + "' paints itself");
  TCanvas& canvas = CanvasSlot(handle, control);
  if (!handle->painting) {
    TPoint origin = windowless ? Point(control->Left(), control->Top()) : Point(0, 0);
    if (windowless) {
      TRegion clip = CreateRectRgnIndirect(control->BoundsRect());
      Prepare(canvas, origin, &clip);
    } else {
      Prepare(canvas, origin, nullptr);
    }
    // Drawing outside a paint shows at the next paint.
    if (handle->redraw) handle->widget->update();
  }
  return canvas;
}

void DropCanvas(TWinControl* parent, const TControl* control) {
  if (!parent->HandleAllocated()) return;
  TWindowHandle* handle = parent->Handle();
  auto it = handle->canvases.find(control);
  if (it == handle->canvases.end()) return;
  it->second->Device().Flush();
  handle->canvases.erase(it);
}

namespace {

// Redrawing switched off on a window holds back the windows inside it as
// well: the desktop treats it as not shown.
bool RedrawAllowed(const TWindowHandle* handle) {
  for (TWinControl* c = handle->control; c; c = c->Parent())
    if (c->HandleAllocated() && !c->Handle()->redraw) return false;
  return true;
}

// The parts of the surface under child windows. Each child window paints
// the whole of its area over its parent's, so the window system shows
// nothing of the parent there (as it paints windows that clip children).
QRegion UnderChildWindows(const TWindowHandle* handle) {
  QRegion covered;
  for (QObject* object : handle->widget->children()) {
    auto* child = dynamic_cast<TWindowWidget*>(object);
    if (child && child->handle() && !child->isWindow() && !child->isHidden())
      covered += child->geometry().translated(0, -handle->top_inset);
  }
  return covered;
}

}  // namespace

void PaintInvalidPart(TWindowHandle* handle) {
  if (handle->invalid.isEmpty() || !RedrawAllowed(handle)) return;
  const QRegion covered = UnderChildWindows(handle);
  const QRegion now = handle->invalid.subtracted(covered);
  if (now.isEmpty()) return;
  TWinControl* window = handle->control;
  TRegion invalid = ToRegion(now);
  handle->painting = true;
  // What stays covered is painted when a child window moves off it.
  struct Done {
    TWindowHandle* handle;
    QRegion now;
    bool erase;
    ~Done() {
      handle->painting = false;
      handle->invalid = handle->invalid.subtracted(now);
      handle->blank = handle->blank.subtracted(now);
      if (!handle->invalid.isEmpty()) handle->erase_pending |= erase;
    }
  } done{handle, now, handle->erase_pending};
  TCanvas& own = CanvasSlot(handle, window);
  Prepare(own, Point(0, 0), &invalid);
  own.SetFont(window->Font());
  own.Brush().Color = window->Color();
  window->PaintWindow();
  // Windowless children paint over the parent's drawing, bottom first.
  for (int i = 0; i < window->ControlCount(); ++i) {
    TControl* child = window->Controls(i);
    if (dynamic_cast<TWinControl*>(child) || !child->Visible()) continue;
    TRegion clip;
    if (CombineRgn(clip, invalid, CreateRectRgnIndirect(child->BoundsRect()), RGN_AND) == NULLREGION) continue;
    TCanvas& canvas = CanvasSlot(handle, child);
    Prepare(canvas, Point(child->Left(), child->Top()), &clip);
    canvas.SetFont(child->Font());
    canvas.Brush().Color = child->Color();
    child->Perform(WM_PAINT);
  }
}

QWidget* WidgetOf(TWinControl* control) {
  return control && control->HandleAllocated() ? control->Handle()->widget : nullptr;
}

TWindowWidget::TWindowWidget(TWindowHandle* handle, QWidget* parent) : QWidget(parent), handle_(handle) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
}

bool TWindowWidget::event(QEvent* event) {
  if (event->type() == QEvent::Leave && isWindow()) PointerLeftWindow();
  if (handle_) {
    // A window disabled by a modal loop gets no input at all.
    if (IsInputEvent(event)) {
      if (IsReplayPassingUp(this, event))
        event->accept();
      else if (isEnabled())
        QueueInputEvent(handle_, event);
      return true;
    }
    if (event->type() == QEvent::ChildAdded) KeepScrollBarsOnTop(handle_);
    if (event->type() == QEvent::WindowActivate && isWindow() && handle_->activation_expected) {
      handle_->activation_expected = false;
    } else if (event->type() == QEvent::WindowActivate && isWindow()) {
      TMsg msg;
      msg.hwnd = handle_;
      msg.message = WM_ACTIVATE;
      msg.wParam = WA_ACTIVE;
      EnqueueMessage(msg);
    }
  }
  return QWidget::event(event);
}

void PaintPendingPart(TWindowHandle* handle) {
  EnterPaint();
  std::string failure;
  try {
    PaintInvalidPart(handle);
  } catch (const std::exception& error) {
    failure = error.what();
  }
  LeavePaint();
  // No box opens inside a paint: the error is shown once the paint is over.
  if (!failure.empty())
    QTimer::singleShot(0, [failure] { Application()->HandleException(Exception(failure)); });
  FlushCanvases(handle);
}

void TWindowWidget::paintEvent(QPaintEvent* event) {
  if (!handle_) return;
  PaintPendingPart(handle_);
  // The surface is the client area: below the rows the window keeps for
  // itself, beside and above its own scroll bars (which paint themselves).
  QRect client(QPoint(0, handle_->top_inset), handle_->surface.size());
  const QRegion target = event->region() & client;
  const QRegion blank = handle_->blank.intersected(target.translated(0, -handle_->top_inset));
  if (!blank.isEmpty()) {
    QPainter whitening(&handle_->surface);
    for (const QRect& r : blank) whitening.fillRect(r, Qt::white);
    handle_->blank = handle_->blank.subtracted(blank);
  }
  // Only what shows: the toolkit leaves out what opaque children cover, so
  // a window that holds another shows just its border. Copying its whole
  // surface read the never-drawn interior's pages: 3-4 ms for each such
  // window at the main window's first paint.
  QPainter painter(this);
  for (const QRect& r : target) painter.drawImage(r, handle_->surface, r.translated(0, -handle_->top_inset));
}

void TWindowWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!handle_ || !isWindow()) return;
  TWinControl* control = handle_->control;
  // The widget holds the window's interior: client area and own scroll bars.
  QSize size = event->size() - QSize(0, handle_->top_inset);
  TRect interior = control->InteriorRect();
  if (size.width() == interior.Width() && size.height() == interior.Height()) return;
  // The window system resized the window: a form takes it as the user's
  // resize (limits and hit test apply) and snaps back when refused.
  auto* form = dynamic_cast<TCustomForm*>(control);
  int width = control->Width() + size.width() - interior.Width();
  int height = control->Height() + size.height() - interior.Height();
  if (form && !form->UserResize(width, height)) {
    resize(interior.Width(), interior.Height() + handle_->top_inset);
    return;
  }
  if (!form) control->SetBounds(control->Left(), control->Top(), width, height);
}

namespace {

// What the frame's buttons do reaches the form as its window menu's command.
void QueueSysCommand(HWND handle, WPARAM command) {
  TMsg msg;
  msg.hwnd = handle;
  msg.message = WM_SYSCOMMAND;
  msg.wParam = command;
  EnqueueMessage(msg);
}

}  // namespace

// The user minimised, maximised or restored the window with the frame or
// the task bar: the form hears it as its window menu's command, which it
// may refuse. The layer maximises by the form's bounds, never by the
// toolkit's state, which goes back at once.
void TWindowWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || !handle_ || !isWindow()) return;
  if (!dynamic_cast<TCustomForm*>(handle_->control)) return;
  WPARAM command = 0;
  if (windowState() & Qt::WindowMaximized) {
    command = SC_MAXIMIZE;
    setWindowState(windowState() & ~Qt::WindowMaximized);
  } else if (windowState() & Qt::WindowMinimized) {
    if (!IsIconic(handle_)) command = SC_MINIMIZE;
  } else if (IsIconic(handle_)) {
    command = SC_RESTORE;
  }
  if (command) QueueSysCommand(handle_, command);
}

void ShowIconicState(TCustomForm* form) {
  QWidget* widget = WidgetOf(form);
  if (!widget || form->Parent() || !form->Visible()) return;
  bool iconic = IsIconic(form->Handle());
  if (iconic && !widget->isMinimized()) widget->showMinimized();
  if (!iconic && widget->isMinimized()) widget->showNormal();
}

void TWindowWidget::closeEvent(QCloseEvent* event) {
  event->ignore();
  // The close box is the window menu's Close.
  if (handle_) QueueSysCommand(handle_, SC_CLOSE);
}

}  // namespace lark
