#include "platform/windows/combo_box.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <QTimer>
#include <algorithm>

#include "platform/core/exception.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/canvas_device_qt.h"
#include "platform/graphics/gdi.h"
#include "platform/windows/application.h"
#include "platform/windows/list_items.h"
#include "platform/windows/native_widget.h"
#include "platform/windows/qt_bridge.h"

namespace lark {
namespace {

// A simple combo's edit is as tall as a drop-down combo box.
constexpr int kSimpleEditHeight = 21;

QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string FromQ(const QString& s) { return s.toUtf8().toStdString(); }

QStringList ToQ(const std::vector<std::string>& strings) {
  QStringList list;
  for (const std::string& s : strings) list.append(ToQ(s));
  return list;
}

// Input the layer replays to a composite widget belongs to one of its parts:
// the mouse to the part under it (the part pressed keeps it until the
// release), keys to `keyPart`. What the part leaves alone ends there: the
// toolkit would pass it back up through the composite (and on to the
// window around it, which would queue it again). False when the composite
// keeps the event itself.
class TPartRouter {
 public:
  bool Route(QWidget* owner, QEvent* event, QWidget* keyPart) {
    if (routing_) {
      event->accept();
      return true;
    }
    routing_ = true;
    bool routed = RouteToPart(owner, event, keyPart);
    routing_ = false;
    if (routed) event->accept();
    return routed;
  }

 private:
  bool RouteToPart(QWidget* owner, QEvent* event, QWidget* keyPart) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove:
        return RouteMouse(owner, static_cast<QMouseEvent*>(event));
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        if (!keyPart) return false;
        QCoreApplication::sendEvent(keyPart, event);
        return true;
      default:
        return false;
    }
  }
  bool RouteMouse(QWidget* owner, QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    QWidget* part = pressed_ ? pressed_.data() : owner->childAt(at);
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) pressed_ = part;
    if (event->type() == QEvent::MouseButtonRelease) pressed_ = nullptr;
    if (!part) return false;
    QMouseEvent copy(event->type(), part->mapFrom(owner, at), event->globalPosition(), event->button(),
                     event->buttons(), event->modifiers());
    QCoreApplication::sendEvent(part, &copy);
    return true;
  }

  QPointer<QWidget> pressed_;
  bool routing_ = false;
};

// A drop-down combo box (editable or a list) whose replayed mouse input
// reaches its edit, and whose selection field an owner-drawn list paints
// through the control.
class TDropDownWidget : public QComboBox {
 public:
  TDropDownWidget(TComboBox* combo, bool ownerDrawn) : combo_(combo), owner_drawn_(ownerDrawn) {}

 protected:
  bool event(QEvent* event) override {
    if (lineEdit() && router_.Route(this, event, nullptr)) return true;
    return QComboBox::event(event);
  }
  void paintEvent(QPaintEvent* event) override;

 private:
  TComboBox* combo_;
  bool owner_drawn_;
  TPartRouter router_;
};

// A simple combo box: an edit with the list always shown below it.
class TSimpleComboWidget : public QWidget {
 public:
  // The parts are made once the router exists: making them sends events.
  TSimpleComboWidget() {
    edit = new QLineEdit(this);
    list = new QListWidget(this);
    setFocusProxy(edit);
    // The edit keeps the focus while the list is used, as on the desktop.
    list->setFocusPolicy(Qt::NoFocus);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  }
  QLineEdit* edit = nullptr;
  QListWidget* list = nullptr;

 protected:
  bool event(QEvent* event) override {
    if (router_.Route(this, event, edit)) return true;
    return QWidget::event(event);
  }
  void resizeEvent(QResizeEvent*) override {
    int editHeight = std::min(height(), kSimpleEditHeight);
    edit->setGeometry(0, 0, width(), editHeight);
    list->setGeometry(0, editHeight, width(), height() - editHeight);
  }

 private:
  TPartRouter router_;
};

// Fills the items of a toolkit list with the control's, unless they are
// already there.
template <typename SetItems>
void ShowItems(const QStringList& shown, const std::vector<std::string>& strings, SetItems set) {
  QStringList wanted = ToQ(strings);
  if (shown != wanted) set(wanted);
}

TSimpleComboWidget* SimpleWidget(const TComboBox* combo) {
  return dynamic_cast<TSimpleComboWidget*>(NativeWidget<QWidget>(const_cast<TComboBox*>(combo)));
}

TDropDownWidget* DropDownWidget(const TComboBox* combo) {
  return dynamic_cast<TDropDownWidget*>(NativeWidget<QWidget>(const_cast<TComboBox*>(combo)));
}

QStringList ComboTexts(const QComboBox* combo) {
  QStringList texts;
  for (int i = 0; i < combo->count(); ++i) texts.append(combo->itemText(i));
  return texts;
}

QStringList ListTexts(const QListWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) texts.append(list->item(i)->text());
  return texts;
}

// A failure inside a toolkit paint or layout, where no box may open, is
// reported once the toolkit is done.
void ReportAfterwards(const std::string& failure) {
  QTimer::singleShot(0, [failure] { Application()->HandleException(Exception(failure)); });
}

}  // namespace

// Runs the control's item drawing for a toolkit paint: on a canvas over an
// image of the item's rectangle (given to the control in its window's
// coordinates), shown where the item is. A failure is reported after the
// paint, since no box may open inside one.
class TComboDrawing {
 public:
  static void Paint(TComboBox* combo, QPainter* painter, const QRect& area, int index, TOwnerDrawState state) {
    if (area.isEmpty()) return;
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    std::string failure;
    EnterPaint();
    try {
      TCanvas canvas(detail::MakeImageDevice(&image));
      SetViewportOrgEx(canvas, -area.x(), -area.y());
      combo->DrawItemOn(canvas, index, Bounds(area.x(), area.y(), area.width(), area.height()), state);
      canvas.Device().Flush();
    } catch (const std::exception& error) {
      failure = error.what();
    }
    LeavePaint();
    painter->drawImage(area.topLeft(), image);
    if (!failure.empty()) ReportAfterwards(failure);
  }
};

namespace {

// Items of a combo box's lists: owner-drawn through the control, each row
// as high as the control says.
class TComboItemPainter : public QStyledItemDelegate {
 public:
  TComboItemPainter(TComboBox* combo, bool ownerDrawn, QObject* parent)
      : QStyledItemDelegate(parent), combo_(combo), owner_drawn_(ownerDrawn) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (!owner_drawn_) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    TOwnerDrawState state = 0;
    if (option.state & QStyle::State_Selected) state |= odSelected;
    if (option.state & QStyle::State_HasFocus) state |= odFocused;
    if (!(option.state & QStyle::State_Enabled)) state |= odDisabled;
    TComboDrawing::Paint(combo_, painter, option.rect, index.row(), state);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), MeasuredHeight(index.row()));
  }

 private:
  // The toolkit lays its list out with this: a failing measure is reported
  // afterwards, as a failing paint is, and the row keeps the item height.
  int MeasuredHeight(int row) const {
    try {
      return combo_->RowHeight(row);
    } catch (const std::exception& error) {
      ReportAfterwards(error.what());
      return combo_->ItemHeight();
    }
  }

  TComboBox* combo_;
  bool owner_drawn_;
};

}  // namespace

void TDropDownWidget::paintEvent(QPaintEvent* event) {
  if (isEditable() || !owner_drawn_) {
    QComboBox::paintEvent(event);
    return;
  }
  // The frame and the arrow are the toolkit's; the field is the program's.
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText.clear();
  option.currentIcon = QIcon();
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  TOwnerDrawState state = odComboBoxEdit;
  if (!isEnabled()) state |= odDisabled;
  else if (combo_->Focused() && !combo_->DroppedDown()) state |= odFocused | odSelected;
  TComboDrawing::Paint(combo_, &painter, field, combo_->ItemIndex(), state);
}

TComboBox::TComboBox(TComponent* owner)
    : TNativeControl(owner), items_(std::make_unique<TListItems>(strings_, objects_, [this] {
        if (item_index_ >= static_cast<int>(strings_.size())) item_index_ = -1;
        row_heights_.clear();
        // A drop-down list shows its item's text, whatever became of it.
        if (!Editable()) text_ = item_index_ >= 0 ? strings_[static_cast<size_t>(item_index_)] : std::string();
        PushState();
      })) {
  ControlStyle &= ~csClickEvents;  // a click is a change of selection
  TabStop = true;
  SetColor(clWindow);
  SetBounds(0, 0, 145, 21);
}

TComboBox::~TComboBox() { Destroying(); }

void TComboBox::SetStyle(TComboBoxStyle style) {
  if (style == style_) return;
  style_ = style;
  if (!Editable() && item_index_ < 0) text_.clear();
  RecreateWnd();
}

unsigned TComboBox::ComboBoxWindowStyle() const {
  switch (style_) {
    case TComboBoxStyle::csDropDown:
      return CBS_DROPDOWN;
    case TComboBoxStyle::csSimple:
      return CBS_SIMPLE;
    case TComboBoxStyle::csDropDownList:
      return CBS_DROPDOWNLIST;
    case TComboBoxStyle::csOwnerDrawFixed:
      return CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED;
    case TComboBoxStyle::csOwnerDrawVariable:
      return CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE;
  }
  return CBS_DROPDOWN;
}

bool TComboBox::Simple() const { return (ComboBoxWindowStyle() & 3) == CBS_SIMPLE; }
bool TComboBox::Editable() const { return (ComboBoxWindowStyle() & 3) != CBS_DROPDOWNLIST; }
bool TComboBox::OwnerDrawn() const {
  return (ComboBoxWindowStyle() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0;
}
bool TComboBox::MeasuresItems() const { return (ComboBoxWindowStyle() & CBS_OWNERDRAWVARIABLE) != 0; }

TStrings& TComboBox::Items() { return *items_; }

int TComboBox::IndexOfText(const std::string& text) const {
  auto it = std::find(strings_.begin(), strings_.end(), text);
  return it == strings_.end() ? -1 : static_cast<int>(it - strings_.begin());
}

void TComboBox::SetItemStrings(std::vector<std::string> strings) { items_->SetStrings(std::move(strings)); }

void TComboBox::SetItemIndex(int index) {
  item_index_ = index >= 0 && index < static_cast<int>(strings_.size()) ? index : -1;
  text_ = item_index_ >= 0 ? strings_[static_cast<size_t>(item_index_)] : std::string();
  PushState();
}

void TComboBox::SetText(const std::string& text) {
  item_index_ = IndexOfText(text);
  // A drop-down list shows only its items.
  text_ = Editable() || item_index_ >= 0 ? text : std::string();
  PushState();
}

void TComboBox::SetItemHeight(int height) {
  item_height_ = std::max(1, height);
  row_heights_.clear();
  ShowItemHeight();
}

int TComboBox::RowHeight(int index) {
  if (!MeasuresItems() || index < 0 || index >= static_cast<int>(strings_.size())) return item_height_;
  row_heights_.resize(strings_.size(), 0);
  auto slot = static_cast<size_t>(index);
  if (row_heights_[slot] != 0) return row_heights_[slot];
  // A measure that fails leaves the item height, measured.
  row_heights_[slot] = item_height_;
  int measured = item_height_;
  MeasureItem(index, measured);
  if (slot < row_heights_.size()) row_heights_[slot] = std::max(1, measured);
  return std::max(1, measured);
}

void TComboBox::MeasureItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

bool TComboBox::Sorted() const { return items_->Sorted(); }

void TComboBox::SetSorted(bool sorted) {
  item_index_ = items_->SetSorted(sorted, item_index_);
  PushState();
}

bool TComboBox::DroppedDown() const {
  if (Simple()) return true;
  auto* combo = DropDownWidget(this);
  return combo && combo->view()->isVisible();
}

TCanvas& TComboBox::Canvas() {
  if (!item_canvas_) throw EInvalidOperation("The combo box canvas exists only while an item is drawn");
  return *item_canvas_;
}

void TComboBox::DrawItemOn(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state) {
  canvas.SetFont(Font());
  canvas.Brush().Color = Color();
  if (index >= 0 && (state & odSelected)) {
    canvas.Brush().Color = clHighlight;
    canvas.Font().SetColor(clHighlightText);
  }
  struct CanvasScope {
    TCanvas*& slot;
    ~CanvasScope() { slot = nullptr; }
  } scope{item_canvas_};
  item_canvas_ = &canvas;
  if (index >= 0) DrawItem(index, rect, state);
  else canvas.FillRect(rect);
  if (state & odFocused) canvas.DrawFocusRect(rect);
}

void TComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  Canvas().FillRect(rect);
  Canvas().TextOut(rect.Left + 2, rect.Top, items_->Get(index));
}

void TComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TComboBox::Typed(const std::string& text) {
  text_ = text;
  item_index_ = IndexOfText(text);
  if (auto* simple = SimpleWidget(this)) {
    QSignalBlocker quiet(simple->list);
    simple->list->setCurrentRow(item_index_);
    if (item_index_ >= 0) simple->list->scrollToItem(simple->list->item(item_index_));
  } else if (auto* combo = DropDownWidget(this)) {
    // The toolkit's combo box puts the chosen item's text into the edit;
    // what the user typed stays, with the caret where it was.
    QSignalBlocker quiet(combo);
    QLineEdit* edit = combo->lineEdit();
    QSignalBlocker quietEdit(edit);
    int caret = edit->cursorPosition();
    combo->setCurrentIndex(item_index_);
    if (edit->text() != ToQ(text)) edit->setText(ToQ(text));
    edit->setCursorPosition(caret);
  }
  Change();
}

void TComboBox::Chose(int index) {
  if (index < 0 || index >= static_cast<int>(strings_.size())) return;
  item_index_ = index;
  text_ = strings_[static_cast<size_t>(index)];
  if (auto* simple = SimpleWidget(this)) {
    PushState();
    simple->edit->selectAll();
  }
  Click();
  Change();
}

bool TComboBox::MoveInList(unsigned short key) {
  auto* simple = SimpleWidget(this);
  int count = static_cast<int>(strings_.size());
  if (!simple || count == 0) return false;
  int page = std::max(1, simple->list->viewport()->height() / std::max(1, item_height_) - 1);
  int target = item_index_;
  switch (key) {
    case VK_UP: target = item_index_ - 1; break;
    case VK_DOWN: target = item_index_ + 1; break;
    case VK_PRIOR: target = item_index_ - page; break;
    case VK_NEXT: target = item_index_ + page; break;
    default: return false;
  }
  target = std::clamp(target, 0, count - 1);
  if (target != item_index_) Chose(target);
  return true;
}

void TComboBox::ScrollList(int wheelDelta) {
  // Three rows a notch, as the desktop's lists scroll.
  if (auto* simple = SimpleWidget(this)) {
    QScrollBar* bar = simple->list->verticalScrollBar();
    bar->setValue(bar->value() - wheelDelta * 3 / 120);
  }
}

void TComboBox::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE:
      message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      if (style_ == TComboBoxStyle::csDropDown || style_ == TComboBoxStyle::csSimple) message.Result |= DLGC_HASSETSEL;
      return;
    case CB_SETITEMHEIGHT: {
      auto height = static_cast<int>(message.LParam);
      // Only the items' height is kept; the selection field follows the bounds.
      if (static_cast<int>(message.WParam) < 0 || height <= 0 || height > 255) {
        message.Result = CB_ERR;
        return;
      }
      SetItemHeight(height);
      message.Result = 0;
      return;
    }
    case CB_GETITEMHEIGHT:
      message.Result = static_cast<int>(message.WParam) < 0 ? LRESULT{CB_ERR} : LRESULT{item_height_};
      return;
    case WM_MOUSEWHEEL:
      // The box keeps the wheel: the desktop's combo box never passes it on.
      if (!WheelHandled(message)) ScrollList(HiWord(static_cast<LPARAM>(message.WParam)));
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TNativeControl::WndProc(message);
      // An owner-drawn selection field shows the focus.
      if (HandleAllocated()) Handle()->widget->update();
      return;
    default:
      TNativeControl::WndProc(message);
  }
}

void TComboBox::DefaultHandler(TMessage& message) {
  if (message.Msg == WM_KEYDOWN && MoveInList(static_cast<unsigned short>(message.WParam))) return;
  TNativeControl::DefaultHandler(message);
}

void TComboBox::CreateNativeWidget() {
  // A new window measures its items again.
  row_heights_.clear();
  if (Simple()) {
    auto* simple = new TSimpleComboWidget;
    simple->list->setItemDelegate(new TComboItemPainter(this, OwnerDrawn(), simple->list));
    QObject::connect(simple->list, &QListWidget::currentRowChanged, [this](int row) { Chose(row); });
    QObject::connect(simple->edit, &QLineEdit::textEdited, [this](const QString& text) { Typed(FromQ(text)); });
    AttachNativeWidget(this, simple);
    RouteInputOf(simple->edit, this);
    RouteInputOf(simple->list->viewport(), this);
    return;
  }
  auto* combo = new TDropDownWidget(this, OwnerDrawn());
  combo->setFocusPolicy(Qt::StrongFocus);
  combo->setEditable(Editable());
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setItemDelegate(new TComboItemPainter(this, OwnerDrawn(), combo));
  QObject::connect(combo, &QComboBox::activated, [this](int index) { Chose(index); });
  AttachNativeWidget(this, combo);
  if (QLineEdit* edit = combo->lineEdit()) {
    // The desktop's combo box completes nothing by itself.
    combo->setCompleter(nullptr);
    QObject::connect(edit, &QLineEdit::textEdited, [this](const QString& text) { Typed(FromQ(text)); });
    // The edit is the part keys reach; its input goes through the queue too.
    RouteInputOf(edit, this);
  }
}

void TComboBox::PushState() {
  if (auto* simple = SimpleWidget(this)) {
    QSignalBlocker quiet(simple->list);
    ShowItems(ListTexts(simple->list), strings_, [simple](const QStringList& items) {
      simple->list->clear();
      simple->list->addItems(items);
    });
    simple->list->setCurrentRow(item_index_);
    if (item_index_ >= 0) simple->list->scrollToItem(simple->list->item(item_index_));
    if (simple->edit->text() != ToQ(text_)) simple->edit->setText(ToQ(text_));
    return;
  }
  auto* combo = DropDownWidget(this);
  if (!combo) return;
  QSignalBlocker quiet(combo);
  QSignalBlocker quietEdit(combo->lineEdit());
  combo->setMaxVisibleItems(std::max(1, DropDownCount));
  ShowItems(ComboTexts(combo), strings_, [combo](const QStringList& items) {
    combo->clear();
    combo->addItems(items);
  });
  combo->setCurrentIndex(item_index_);
  if (combo->isEditable() && combo->currentText() != ToQ(text_)) combo->setEditText(ToQ(text_));
  combo->update();
}

void TComboBox::ShowItemHeight() {
  if (auto* simple = SimpleWidget(this)) {
    simple->list->doItemsLayout();
    simple->list->viewport()->update();
  } else if (auto* combo = DropDownWidget(this)) {
    combo->view()->doItemsLayout();
  }
}

}  // namespace lark
