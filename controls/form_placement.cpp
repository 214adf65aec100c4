#include "controls/form_placement.h"

#include "controls/app_utils.h"
#include "controls/window_hook.h"
#include "platform/core/exception.h"
#include "platform/core/ini_file.h"
#include "platform/core/string_routines.h"
#include "platform/windows/system_menu.h"
#include "platform/windows/system_metrics.h"

namespace lark {

// --- TWinMinMaxInfo -----------------------------------------------------------

void TWinMinMaxInfo::Set(int& field, int value) {
  if (field == value) return;
  field = value;
  owner_->MinMaxInfoChanged();
}

void TWinMinMaxInfo::Assign(const TWinMinMaxInfo& other) {
  info_ = other.info_;
  owner_->MinMaxInfoChanged();
}

bool TWinMinMaxInfo::DefaultMinMaxInfo() const {
  const TMinMaxInfo& i = info_;
  return i.ptMaxPosition.X == 0 && i.ptMaxPosition.Y == 0 && i.ptMaxSize.X == 0 && i.ptMaxSize.Y == 0 &&
         i.ptMaxTrackSize.X == 0 && i.ptMaxTrackSize.Y == 0 && i.ptMinTrackSize.X == 0 && i.ptMinTrackSize.Y == 0;
}

void TWinMinMaxInfo::ApplyTo(TMinMaxInfo& info) const {
  auto take = [](int& to, int from) {
    if (from != 0) to = from;
  };
  take(info.ptMaxPosition.X, info_.ptMaxPosition.X);
  take(info.ptMaxPosition.Y, info_.ptMaxPosition.Y);
  take(info.ptMaxSize.X, info_.ptMaxSize.X);
  take(info.ptMaxSize.Y, info_.ptMaxSize.Y);
  take(info.ptMaxTrackSize.X, info_.ptMaxTrackSize.X);
  take(info.ptMaxTrackSize.Y, info_.ptMaxTrackSize.Y);
  take(info.ptMinTrackSize.X, info_.ptMinTrackSize.X);
  take(info.ptMinTrackSize.Y, info_.ptMinTrackSize.Y);
}

// --- TFormPlacement -----------------------------------------------------------

TFormPlacement::TFormPlacement(TComponent* owner)
    : TComponent(owner),
      Options(dynamic_cast<TCustomForm*>(owner) ? fpState | fpPosition : 0),
      min_max_info_(std::make_unique<TWinMinMaxInfo>(this)),
      hook_(std::make_unique<TWindowHook>(nullptr)) {
  hook_->SetActive(false);
  hook_->AfterMessage = [this](TObject* sender, TMessage& msg, bool& handled) { WndMessage(sender, msg, handled); };
  if (TCustomForm* form = Form()) had_maximize_ = (form->BorderIcons() & biMaximize) != 0;
}

TFormPlacement::~TFormPlacement() {
  Destroying();
  UnhookFormEvents();
  hook_.reset();
}

TCustomForm* TFormPlacement::Form() const { return dynamic_cast<TCustomForm*>(Owner()); }

std::string TFormPlacement::IniFileName() const {
  if (!ini_file_name_.empty() || HasState(csDesigning)) return ini_file_name_;
  return UseRegistry ? GetDefaultIniRegKey() : GetDefaultIniName();
}

std::string TFormPlacement::IniSection() const {
  return ini_section_.empty() && !HasState(csDesigning) ? GetDefaultSection(Owner()) : ini_section_;
}

void TFormPlacement::Loaded() {
  TComponent::Loaded();
  if (HasState(csDesigning)) return;
  if (TCustomForm* form = Form()) had_maximize_ = (form->BorderIcons() & biMaximize) != 0;
  HookFormEvents();
  SetPreventResize(prevent_resize_);
  UpdatePlacement();
}

void TFormPlacement::HookFormEvents() {
  TCustomForm* form = Form();
  if (!form || events_hooked_) return;
  events_hooked_ = true;
  save_form_show_ = form->OnShow;
  save_form_close_query_ = form->OnCloseQuery;
  save_form_destroy_ = form->OnDestroy;
  form->OnShow = [this](TObject* sender) { FormShow(sender); };
  form->OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  form->OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
}

void TFormPlacement::UnhookFormEvents() {
  TCustomForm* form = Form();
  // A form being destroyed has already lost its events (its own part is
  // gone by the time it frees its components).
  if (!form || !events_hooked_ || form->HasState(csDestroying)) return;
  events_hooked_ = false;
  form->OnShow = save_form_show_;
  form->OnCloseQuery = save_form_close_query_;
  form->OnDestroy = save_form_destroy_;
}

void TFormPlacement::FormShow(TObject* sender) {
  if (Active) RestoreFormPlacement();
  if (save_form_show_) save_form_show_(sender);
}

void TFormPlacement::FormCloseQuery(TObject* sender, bool& canClose) {
  if (save_form_close_query_) save_form_close_query_(sender, canClose);
  if (canClose && Active && Form()->HandleAllocated()) SaveOnTheWayOut();
}

void TFormPlacement::FormDestroy(TObject* sender) {
  if (Active && !saved_) {
    destroying_ = true;
    SaveOnTheWayOut();
    destroying_ = false;
  }
  if (save_form_destroy_) save_form_destroy_(sender);
}

void TFormPlacement::SaveOnTheWayOut() {
  try {
    SaveFormPlacement();
  } catch (const EStreamError&) {
    // A read-only or unreachable settings file keeps what it had.
  }
}

template <typename Work>
void TFormPlacement::WithIniFile(Work work) {
  // With UseRegistry the name is a registry key, and there is no registry
  // here: the settings file is the default one.
  ini_ = std::make_unique<TIniFile>(UseRegistry ? GetDefaultIniName() : IniFileName());
  struct Closer {
    std::unique_ptr<TCustomIniFile>& ini;
    ~Closer() { ini.reset(); }
  } closer{ini_};
  work();
}

void TFormPlacement::SaveFormPlacement() {
  if (Active && !restored_) return;  // never restored: the stored placement stays
  WithIniFile([this] {
    WriteInteger("FormVersion", Version);
    SavePlacement();
    if (OnSavePlacement) OnSavePlacement(this);
    saved_ = true;
  });
}

void TFormPlacement::SavePlacement() {
  TCustomForm* form = Form();
  if (!form) return;
  const std::string section = IniSection();
  WriteFormPlacement(form, ini_.get(), section);
  if ((Options & fpActiveControl) && form->ActiveControl()) {
    WriteString(section, "ActiveControl", form->ActiveControl()->Name());
  }
  ini_->WriteBool(section, "Visible", destroying_);
}

void TFormPlacement::RestoreFormPlacement() {
  saved_ = false;
  WithIniFile([this] {
    if (ReadInteger("FormVersion", 0) >= Version) {
      RestorePlacement();
      restored_ = true;
      if (OnRestorePlacement) OnRestorePlacement(this);
      TCustomForm* form = Form();
      const std::string name = (Options & fpActiveControl) ? ReadString(IniSection(), "ActiveControl", "") : "";
      auto* control = form && !name.empty() ? dynamic_cast<TWinControl*>(form->FindComponent(name)) : nullptr;
      if (control && control->CanFocus()) form->SetActiveControl(control);
    }
    restored_ = true;
  });
  UpdatePlacement();
}

void TFormPlacement::RestorePlacement() {
  if (TCustomForm* form = Form()) {
    ReadFormPlacement(form, ini_.get(), IniSection(), (Options & fpState) != 0, (Options & fpPosition) != 0);
  }
}

std::string TFormPlacement::ReadString(std::string_view section, std::string_view ident, std::string_view fallback) {
  return IniReadString(ini_.get(), section, ident, fallback);
}

void TFormPlacement::WriteString(std::string_view section, std::string_view ident, std::string_view value) {
  IniWriteString(ini_.get(), section, ident, value);
}

int TFormPlacement::ReadInteger(std::string_view ident, int fallback) {
  if (ini_) return StrToIntDef(ReadString(IniSection(), ident, ""), fallback);
  int value = fallback;
  WithIniFile([&] { value = ReadInteger(ident, fallback); });
  return value;
}

void TFormPlacement::WriteInteger(std::string_view ident, int value) {
  if (ini_) {
    WriteString(IniSection(), ident, std::to_string(value));
    return;
  }
  WithIniFile([&] { WriteInteger(ident, value); });
}

void TFormPlacement::SetPreventResize(bool value) {
  prevent_resize_ = value;
  TCustomForm* form = Form();
  if (!form || HasState(csLoading)) return;  // applied in Loaded
  if (value) {
    form->SetBorderIcons(form->BorderIcons() & ~biMaximize);
  } else if (had_maximize_ && form->BorderStyle() != TFormBorderStyle::bsDialog) {
    form->SetBorderIcons(form->BorderIcons() | biMaximize);
  }
  UpdatePlacement();
  UpdateHook();
}

void TFormPlacement::MinMaxInfoChanged() {
  UpdatePlacement();
  UpdateHook();
}

void TFormPlacement::UpdateHook() {
  TCustomForm* form = Form();
  const bool needed = form && !HasState(csDestroying) && (prevent_resize_ || !min_max_info_->DefaultMinMaxInfo());
  if (needed) {
    hook_->SetWinControl(form);
    hook_->SetActive(true);
  } else {
    hook_->SetActive(false);
    hook_->SetWinControl(nullptr);
  }
}

namespace {
TPoint FrameSize(TFormBorderStyle border) {
  switch (border) {
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsToolWindow:
      return Point(GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER));
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsSizeToolWin:
      return Point(GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME));
    case TFormBorderStyle::bsDialog:
      return Point(GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME));
    default:
      return Point(0, 0);
  }
}
}  // namespace

void TFormPlacement::UpdatePlacement() {
  TCustomForm* form = Form();
  if (!form || !form->HandleAllocated() || HasState(csLoading) || prevent_resize_ ||
      min_max_info_->DefaultMinMaxInfo()) {
    return;
  }
  TWindowPlacement placement;
  form->GetWindowPlacement(placement);
  const TPoint frame = FrameSize(form->BorderStyle());
  placement.ptMaxPosition = Point(-frame.X, -frame.Y);
  form->SetWindowPlacement(placement);
}

void TFormPlacement::WndMessage(TObject*, TMessage& msg, bool&) {
  TCustomForm* form = Form();
  if (!form) return;
  if (!prevent_resize_) {
    if (msg.Msg == WM_GETMINMAXINFO) {
      min_max_info_->ApplyTo(*reinterpret_cast<TMinMaxInfo*>(msg.LParam));
      msg.Result = 1;
    }
    return;
  }
  switch (msg.Msg) {
    case WM_GETMINMAXINFO:
      if (form->HandleAllocated() && form->Visible()) {
        auto* info = reinterpret_cast<TMinMaxInfo*>(msg.LParam);
        info->ptMinTrackSize = info->ptMaxTrackSize = Point(form->Width(), form->Height());
        msg.Result = 1;
      }
      break;
    case WM_NCHITTEST:
      if (msg.Result >= HTLEFT && msg.Result <= HTBOTTOMRIGHT) msg.Result = HTNOWHERE;
      break;
    case WM_INITMENUPOPUP:
      if (HiWord(msg.LParam) != 0) {  // the window menu
        HMENU menu = GetSystemMenu(form->Handle(), false);
        EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
        msg.Result = 1;
      }
      break;
    default:
      break;
  }
}

}  // namespace lark
