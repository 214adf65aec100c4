#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/object.h"
#include "platform/core/synchronize.h"

namespace lark {

enum class TOperation { opInsert, opRemove };

// ComponentState flags.
enum TComponentStateFlag : unsigned {
  csLoading = 1u << 0,
  csReading = 1u << 1,
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
};
using TComponentState = unsigned;

// The root of everything that is owned, named and streamed from a form
// resource. An owner frees what it owns, newest first, exactly once: a
// component freed earlier by someone else leaves its owner's list first.
// Components are created with `new T(owner)`; one without an owner belongs to
// whoever created it (usually through a std::unique_ptr).
class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
  int ComponentIndex() const;
  TComponent* FindComponent(const std::string& name) const;

  const std::string& Name() const { return name_; }
  // Throws EComponentError for an invalid identifier or a name its owner
  // already holds (names compare without regard to case).
  virtual void SetName(const std::string& name);
  std::intptr_t Tag = 0;

  TComponentState ComponentState() const { return state_; }
  bool HasState(TComponentStateFlag flag) const { return (state_ & flag) != 0; }

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  // Asks to be told (Notification with opRemove) when `component` is freed,
  // whoever owns it. Mutual: each side forgets the other when either goes.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Marks the component as being destroyed. Destructors of classes whose
  // teardown reaches into children or owned components call it first so the
  // rest of the object stops reacting (realigning, repainting) while it goes.
  void Destroying();

  // Loading from a form resource: the reader sets csLoading on every component
  // it creates and calls Loaded on each once all properties and references are
  // in place.
  void BeginLoading() { state_ |= csLoading | csReading; }

  // For a worker's synchronized calls aimed at this component: they are
  // dropped once it is destroyed.
  [[nodiscard]] SyncToken Token() const { return sync_target_.Token(); }
  virtual void Loaded();

 protected:
  virtual void Notification(TComponent* component, TOperation operation);
  void SetDesigning(bool designing);

 private:
  void DestroyComponents();

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> free_notifies_;
  std::string name_;
  TComponentState state_ = 0;
  SyncTarget sync_target_;
};

// Frees a component and clears the caller's pointer, so a second free is a no-op.
template <typename T>
void FreeAndNil(T*& component) {
  T* doomed = component;
  component = nullptr;
  delete doomed;
}

}  // namespace lark
