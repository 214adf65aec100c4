#include "platform/windows/list_controls.h"

#include <QItemSelectionModel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <algorithm>

#include "platform/windows/list_items.h"
#include "platform/windows/native_widget.h"

namespace lark {
namespace {

constexpr int kRowHeight = 16;

QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Rows of a fixed height, so that whether they fit is the control's own
// arithmetic, the same with or without a window.
class TListRows : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), kRowHeight);
  }
};

}  // namespace

TListBox::TListBox(TComponent* owner)
    : TNativeControl(owner),
      items_(std::make_unique<TListItems>(strings_, objects_, [this] {
        selected_.resize(strings_.size());
        if (item_index_ >= static_cast<int>(strings_.size())) item_index_ = -1;
        PushState();
        // The window hears WM_SIZE when the bar came or went.
        ChangeClientArea([this] { DecideScrollBar(); });
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

void TListBox::SetItemStrings(std::vector<std::string> strings) { items_->SetStrings(std::move(strings)); }

void TListBox::SetSelection(std::vector<bool> selected, int itemIndex) {
  selected.resize(strings_.size());
  selected_ = std::move(selected);
  item_index_ = itemIndex >= 0 && itemIndex < static_cast<int>(strings_.size()) ? itemIndex : -1;
  PushState();
}

std::vector<bool> TListBox::Selection() const {
  auto* list = NativeWidget<QListWidget>(const_cast<TListBox*>(this));
  if (!list) return selected_;
  std::vector<bool> selection(strings_.size());
  for (const QItemSelectionRange& range : list->selectionModel()->selection())
    for (int row = std::max(0, range.top()); row <= range.bottom() && row < static_cast<int>(selection.size()); ++row)
      selection[static_cast<size_t>(row)] = true;
  return selection;
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

void TListBox::SetExtendedSelect(bool value) {
  extended_select_ = value;
  PushState();
}

TRect TListBox::ClientRect() const { return FramedClientRect(vertical_bar_, false); }

void TListBox::DecideScrollBar() {
  vertical_bar_ = static_cast<long long>(strings_.size()) * kRowHeight > Height() - 4;
  if (auto* list = NativeWidget<QListWidget>(this)) ShowOwnScrollBars(list, vertical_bar_, false);
}

// A new height decides the bar before the bounds' own WM_SIZE reports the
// client area.
void TListBox::BoundsChanged() {
  DecideScrollBar();
  TNativeControl::BoundsChanged();
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
  list->setItemDelegate(new TListRows(list));
  QObject::connect(list, &QListWidget::itemSelectionChanged, [this] {
    PullState();
    Click();
  });
  AttachNativeWidget(this, list);
  DecideScrollBar();
}

void TListBox::PushState() {
  auto* list = NativeWidget<QListWidget>(this);
  if (!list) return;
  QSignalBlocker quiet(list);
  list->setSelectionMode(!multi_select_    ? QAbstractItemView::SingleSelection
                         : extended_select_ ? QAbstractItemView::ExtendedSelection
                                            : QAbstractItemView::MultiSelection);
  if (list->count() != static_cast<int>(strings_.size())) {
    list->clear();
    for (const std::string& s : strings_) list->addItem(ToQ(s));
  } else {
    for (int i = 0; i < list->count(); ++i) list->item(i)->setText(ToQ(strings_[static_cast<size_t>(i)]));
  }
  // The selection goes over as runs in one call: item by item, the model
  // merges each into what it holds, which grows with the list.
  QItemSelection selection;
  const int count = list->count();
  for (int i = 0; i < count; ++i) {
    if (!selected_[static_cast<size_t>(i)]) continue;
    int last = i;
    while (last + 1 < count && selected_[static_cast<size_t>(last) + 1]) ++last;
    selection.append(QItemSelectionRange(list->model()->index(i, 0), list->model()->index(last, 0)));
    i = last;
  }
  list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
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

}  // namespace lark
