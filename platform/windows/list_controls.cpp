#include "platform/windows/list_controls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <algorithm>

#include "platform/core/exception.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/canvas_device_qt.h"
#include "platform/windows/native_widget.h"

namespace lark {
namespace {

QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string FromQ(const QString& s) { return s.toUtf8().toStdString(); }

}  // namespace

// The items of a list or combo box: strings with their objects, kept by the
// control; every change is shown in the widget.
class TListItems : public TStrings {
 public:
  TListItems(std::vector<std::string>& strings, std::vector<TObject*>& objects, std::function<void()> changed)
      : strings_(strings), objects_(objects), changed_(std::move(changed)) {}
  int Count() const override { return static_cast<int>(strings_.size()); }
  std::string Get(int index) const override { return strings_.at(Index(index)); }
  void Put(int index, const std::string& s) override {
    strings_.at(Index(index)) = s;
    changed_();
  }
  TObject* GetObject(int index) const override { return objects_.at(Index(index)); }
  void PutObject(int index, TObject* object) override { objects_.at(Index(index)) = object; }
  void Insert(int index, const std::string& s) override {
    size_t at = static_cast<size_t>(std::clamp(index, 0, Count()));
    strings_.insert(strings_.begin() + static_cast<long>(at), s);
    objects_.insert(objects_.begin() + static_cast<long>(at), nullptr);
    changed_();
  }
  void Delete(int index) override {
    strings_.erase(strings_.begin() + static_cast<long>(Index(index)));
    objects_.erase(objects_.begin() + static_cast<long>(Index(index)));
    changed_();
  }
  void Clear() override {
    strings_.clear();
    objects_.clear();
    changed_();
  }

 private:
  size_t Index(int index) const {
    if (index < 0 || index >= Count()) throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    return static_cast<size_t>(index);
  }
  std::vector<std::string>& strings_;
  std::vector<TObject*>& objects_;
  std::function<void()> changed_;
};

TListBox::TListBox(TComponent* owner)
    : TNativeControl(owner),
      items_(std::make_unique<TListItems>(strings_, objects_, [this] {
        selected_.resize(strings_.size());
        if (item_index_ >= static_cast<int>(strings_.size())) item_index_ = -1;
        PushState();
      })) {
  ControlStyle &= ~csClickEvents;  // a click is a change of selection
  TabStop = true;
  SetColor(clWindow);
  SetBounds(0, 0, 121, 97);
}

TListBox::~TListBox() { Destroying(); }

TStrings& TListBox::Items() { return *items_; }

int TListBox::ItemIndex() const {
  if (auto* list = NativeWidget<QListWidget>(const_cast<TListBox*>(this))) return list->currentRow();
  return item_index_;
}

void TListBox::SetItemIndex(int index) {
  item_index_ = index >= 0 && index < static_cast<int>(strings_.size()) ? index : -1;
  if (!multi_select_) std::fill(selected_.begin(), selected_.end(), false);
  if (item_index_ >= 0) selected_[static_cast<size_t>(item_index_)] = true;
  PushState();
}

void TListBox::SetMultiSelect(bool value) {
  multi_select_ = value;
  PushState();
}

bool TListBox::Selected(int index) const {
  if (auto* list = NativeWidget<QListWidget>(const_cast<TListBox*>(this))) {
    QListWidgetItem* item = list->item(index);
    return item && item->isSelected();
  }
  return index >= 0 && index < static_cast<int>(selected_.size()) && selected_[static_cast<size_t>(index)];
}

void TListBox::SetSelected(int index, bool selected) {
  if (index < 0 || index >= static_cast<int>(selected_.size())) return;
  if (!multi_select_ && selected) std::fill(selected_.begin(), selected_.end(), false);
  selected_[static_cast<size_t>(index)] = selected;
  if (selected && !multi_select_) item_index_ = index;
  PushState();
}

int TListBox::SelCount() const {
  int count = 0;
  for (int i = 0; i < static_cast<int>(strings_.size()); ++i) count += Selected(i) ? 1 : 0;
  return count;
}

int TListBox::TopIndex() const {
  auto* list = NativeWidget<QListWidget>(const_cast<TListBox*>(this));
  if (!list) return top_index_;
  QListWidgetItem* top = list->itemAt(2, 2);
  return top ? list->row(top) : 0;
}

void TListBox::SetTopIndex(int index) {
  top_index_ = std::max(0, index);
  if (auto* list = NativeWidget<QListWidget>(this); list && list->item(top_index_))
    list->scrollToItem(list->item(top_index_), QAbstractItemView::PositionAtTop);
}

void TListBox::WndProc(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  TNativeControl::WndProc(message);
}

void TListBox::CreateNativeWidget() {
  auto* list = new QListWidget;
  list->setFocusPolicy(Qt::StrongFocus);
  list->setUniformItemSizes(true);
  QObject::connect(list, &QListWidget::itemSelectionChanged, [this] {
    PullState();
    Click();
  });
  AttachNativeWidget(this, list);
}

void TListBox::PushState() {
  auto* list = NativeWidget<QListWidget>(this);
  if (!list) return;
  QSignalBlocker quiet(list);
  list->setSelectionMode(multi_select_ ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
  if (list->count() != static_cast<int>(strings_.size())) {
    list->clear();
    for (const std::string& s : strings_) list->addItem(ToQ(s));
  } else {
    for (int i = 0; i < list->count(); ++i) list->item(i)->setText(ToQ(strings_[static_cast<size_t>(i)]));
  }
  for (int i = 0; i < list->count(); ++i) list->item(i)->setSelected(selected_[static_cast<size_t>(i)]);
  list->setCurrentRow(item_index_, QItemSelectionModel::NoUpdate);
}

void TListBox::PullState() {
  auto* list = NativeWidget<QListWidget>(this);
  if (!list) return;
  item_index_ = list->currentRow();
  for (int i = 0; i < list->count() && i < static_cast<int>(selected_.size()); ++i)
    selected_[static_cast<size_t>(i)] = list->item(i)->isSelected();
  top_index_ = TopIndex();
}

// Paints the items of an owner-drawn combo box with the program's OnDrawItem.
class TComboItemPainter : public QStyledItemDelegate {
 public:
  TComboItemPainter(TComboBox* combo, QObject* parent) : QStyledItemDelegate(parent), combo_(combo) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (!combo_->OnDrawItem) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    QImage image(option.rect.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      TCanvas canvas(detail::MakeImageDevice(&image));
      canvas.SetFont(combo_->Font());
      TOwnerDrawState state = 0;
      if (option.state & QStyle::State_Selected) state |= odSelected;
      if (option.state & QStyle::State_HasFocus) state |= odFocused;
      if (!(option.state & QStyle::State_Enabled)) state |= odDisabled;
      combo_->item_canvas_ = &canvas;
      combo_->OnDrawItem(combo_, index.row(), Rect(0, 0, image.width(), image.height()), state);
      combo_->item_canvas_ = nullptr;
      canvas.Device().Flush();
    }
    painter->drawImage(option.rect.topLeft(), image);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    return QSize(size.width(), combo_->ItemHeight);
  }

 private:
  TComboBox* combo_;
};

TComboBox::TComboBox(TComponent* owner)
    : TNativeControl(owner), items_(std::make_unique<TListItems>(strings_, objects_, [this] {
        if (item_index_ >= static_cast<int>(strings_.size())) item_index_ = -1;
        PushState();
      })) {
  ControlStyle &= ~csClickEvents;
  TabStop = true;
  SetColor(clWindow);
  SetBounds(0, 0, 145, 21);
}

TComboBox::~TComboBox() { Destroying(); }

void TComboBox::SetStyle(TComboBoxStyle style) {
  if (style == style_) return;
  PullState();
  style_ = style;
  RecreateWnd();
}

TStrings& TComboBox::Items() { return *items_; }

int TComboBox::ItemIndex() const {
  if (auto* combo = NativeWidget<QComboBox>(const_cast<TComboBox*>(this))) return combo->currentIndex();
  return item_index_;
}

void TComboBox::SetItemIndex(int index) {
  item_index_ = index >= 0 && index < static_cast<int>(strings_.size()) ? index : -1;
  if (item_index_ >= 0) text_ = strings_[static_cast<size_t>(item_index_)];
  PushState();
}

std::string TComboBox::GetText() const {
  if (auto* combo = NativeWidget<QComboBox>(const_cast<TComboBox*>(this))) return FromQ(combo->currentText());
  return text_;
}

void TComboBox::SetText(const std::string& text) {
  text_ = text;
  auto it = std::find(strings_.begin(), strings_.end(), text);
  item_index_ = it == strings_.end() ? -1 : static_cast<int>(it - strings_.begin());
  PushState();
}

bool TComboBox::DroppedDown() const {
  auto* combo = NativeWidget<QComboBox>(const_cast<TComboBox*>(this));
  return combo && combo->view()->isVisible();
}

TCanvas& TComboBox::Canvas() {
  if (!item_canvas_) throw EInvalidOperation("The combo box canvas exists only while an item is drawn");
  return *item_canvas_;
}

void TComboBox::WndProc(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  TNativeControl::WndProc(message);
}

void TComboBox::CreateNativeWidget() {
  auto* combo = new QComboBox;
  combo->setFocusPolicy(Qt::StrongFocus);
  bool editable = style_ == TComboBoxStyle::csDropDown || style_ == TComboBoxStyle::csSimple;
  combo->setEditable(editable);
  if (style_ == TComboBoxStyle::csOwnerDrawFixed || style_ == TComboBoxStyle::csOwnerDrawVariable)
    combo->setItemDelegate(new TComboItemPainter(this, combo));
  combo->setInsertPolicy(QComboBox::NoInsert);
  QObject::connect(combo, &QComboBox::activated, [this](int) {
    PullState();
    Click();
    if (OnChange) OnChange(this);
  });
  QObject::connect(combo, &QComboBox::editTextChanged, [this](const QString&) {
    PullState();
    if (OnChange) OnChange(this);
  });
  AttachNativeWidget(this, combo);
  // The edit part is the widget keys reach; its input goes through the queue
  // like the rest of the combo box.
  if (QLineEdit* edit = combo->lineEdit()) RouteInputOf(edit, this);
}

void TComboBox::PushState() {
  auto* combo = NativeWidget<QComboBox>(this);
  if (!combo) return;
  QSignalBlocker quiet(combo);
  combo->setMaxVisibleItems(std::max(1, DropDownCount));
  combo->clear();
  for (const std::string& s : strings_) combo->addItem(ToQ(s));
  combo->setCurrentIndex(item_index_);
  if (combo->isEditable()) combo->setEditText(ToQ(text_));
}

void TComboBox::PullState() {
  auto* combo = NativeWidget<QComboBox>(this);
  if (!combo) return;
  item_index_ = combo->currentIndex();
  text_ = FromQ(combo->currentText());
}

}  // namespace lark
