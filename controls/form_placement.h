#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/object.h"
#include "platform/windows/component.h"
#include "platform/windows/control_types.h"
#include "platform/windows/form.h"

namespace lark {

class TCustomIniFile;
class TFormPlacement;
class TWindowHook;

// Size limits of a form: 0 means no limit. Any change reaches the placement
// that owns it.
class TWinMinMaxInfo : public TObject {
 public:
  explicit TWinMinMaxInfo(TFormPlacement* owner) : owner_(owner) {}

  [[nodiscard]] int MaxPosLeft() const { return info_.ptMaxPosition.X; }
  [[nodiscard]] int MaxPosTop() const { return info_.ptMaxPosition.Y; }
  [[nodiscard]] int MaxSizeWidth() const { return info_.ptMaxSize.X; }
  [[nodiscard]] int MaxSizeHeight() const { return info_.ptMaxSize.Y; }
  [[nodiscard]] int MaxTrackWidth() const { return info_.ptMaxTrackSize.X; }
  [[nodiscard]] int MaxTrackHeight() const { return info_.ptMaxTrackSize.Y; }
  [[nodiscard]] int MinTrackWidth() const { return info_.ptMinTrackSize.X; }
  [[nodiscard]] int MinTrackHeight() const { return info_.ptMinTrackSize.Y; }
  void SetMaxPosLeft(int value) { Set(info_.ptMaxPosition.X, value); }
  void SetMaxPosTop(int value) { Set(info_.ptMaxPosition.Y, value); }
  void SetMaxSizeWidth(int value) { Set(info_.ptMaxSize.X, value); }
  void SetMaxSizeHeight(int value) { Set(info_.ptMaxSize.Y, value); }
  void SetMaxTrackWidth(int value) { Set(info_.ptMaxTrackSize.X, value); }
  void SetMaxTrackHeight(int value) { Set(info_.ptMaxTrackSize.Y, value); }
  void SetMinTrackWidth(int value) { Set(info_.ptMinTrackSize.X, value); }
  void SetMinTrackHeight(int value) { Set(info_.ptMinTrackSize.Y, value); }

  void Assign(const TWinMinMaxInfo& other);
  // All eight values are 0.
  [[nodiscard]] bool DefaultMinMaxInfo() const;
  // Puts every value other than 0 into info.
  void ApplyTo(TMinMaxInfo& info) const;

 private:
  void Set(int& field, int value);

  TFormPlacement* owner_;
  TMinMaxInfo info_;
};

enum TPlacementOption : unsigned { fpState = 1, fpPosition = 2, fpActiveControl = 4 };
using TPlacementOptions = unsigned;
// Kept for settings that name a registry root; the INI file is always used.
enum class TPlacementRegRoot { prCurrentUser, prLocalMachine, prCurrentConfig, prClassesRoot, prUsers, prDynData };

// Saves a form's window placement (and optionally its active control) to the
// settings file when the form closes or is destroyed, and restores it when
// the form shows; enforces size limits (MinMaxInfo) and can forbid resizing.
// Owned by the form it places; it takes the form's OnShow, OnCloseQuery and
// OnDestroy in Loaded and calls the form's own handlers from them.
class TFormPlacement : public TComponent {
 public:
  explicit TFormPlacement(TComponent* owner);
  ~TFormPlacement() override;

  bool Active = true;
  [[nodiscard]] std::string IniFileName() const;
  void SetIniFileName(std::string name) { ini_file_name_ = std::move(name); }
  [[nodiscard]] std::string IniSection() const;
  void SetIniSection(std::string section) { ini_section_ = std::move(section); }
  [[nodiscard]] TWinMinMaxInfo& MinMaxInfo() { return *min_max_info_; }
  void SetMinMaxInfo(const TWinMinMaxInfo& info) { min_max_info_->Assign(info); }
  TPlacementOptions Options;
  [[nodiscard]] bool PreventResize() const { return prevent_resize_; }
  void SetPreventResize(bool value);
  TPlacementRegRoot RegistryRoot = TPlacementRegRoot::prCurrentUser;
  bool UseRegistry = false;
  int Version = 0;
  TNotifyEvent OnSavePlacement;
  TNotifyEvent OnRestorePlacement;

  // Raise the settings file's errors (an unwritable file: EFCreateError);
  // the form's close and destruction go on regardless.
  void SaveFormPlacement();
  void RestoreFormPlacement();
  [[nodiscard]] int ReadInteger(std::string_view ident, int fallback);
  void WriteInteger(std::string_view ident, int value);

  void Loaded() override;

 protected:
  virtual void SavePlacement();
  virtual void RestorePlacement();
  [[nodiscard]] virtual std::string ReadString(std::string_view section, std::string_view ident,
                                               std::string_view fallback);
  virtual void WriteString(std::string_view section, std::string_view ident, std::string_view value);

 private:
  friend class TWinMinMaxInfo;
  [[nodiscard]] TCustomForm* Form() const;
  void HookFormEvents();
  void UnhookFormEvents();
  void FormShow(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void FormDestroy(TObject* sender);
  // The one place where a failure to write the settings is ignored: the
  // form must close (and be destroyed) even when its settings cannot be kept.
  void SaveOnTheWayOut();
  void WndMessage(TObject* sender, TMessage& msg, bool& handled);
  void MinMaxInfoChanged();
  void UpdatePlacement();
  void UpdateHook();
  // Runs work with the settings file open (ini_ set), closing it after.
  template <typename Work>
  void WithIniFile(Work work);

  std::string ini_file_name_;
  std::string ini_section_;
  std::unique_ptr<TWinMinMaxInfo> min_max_info_;
  std::unique_ptr<TWindowHook> hook_;
  std::unique_ptr<TCustomIniFile> ini_;
  bool prevent_resize_ = false;
  bool restored_ = false;
  bool saved_ = false;
  bool destroying_ = false;
  bool had_maximize_ = false;
  bool events_hooked_ = false;
  TNotifyEvent save_form_show_;
  TCloseQueryEvent save_form_close_query_;
  TNotifyEvent save_form_destroy_;
};

}  // namespace lark
