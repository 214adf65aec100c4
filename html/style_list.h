#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "html/properties.h"

namespace lark {

// The style sheet of one document: selector keys, kept sorted, to their
// properties. Keys are a tag ("p"), "." + class, "#" + id, ":" + pseudo
// class and their combinations; "::link", "::visited" and "::hover" hold the
// link colours; "default" the document's base properties. A descendant rule
// ("ul li") is keyed by its element, a space, the ancestor count and a
// sequence number run together, then the ancestors from the nearest
// outwards, each followed by a space: "li 10000000012ul ".
class TStyleList {
 public:
  using Entries = std::map<std::string, std::unique_ptr<TProperties>>;

  // `onHoverStyle` is told when a rule for ":hover" is added (the owning
  // document turns its hover effects on).
  explicit TStyleList(std::function<void()> onHoverStyle = {});
  TStyleList(const TStyleList&) = delete;
  TStyleList& operator=(const TStyleList&) = delete;
  ~TStyleList();

  // Frees every entry and restarts the sequence numbers.
  void Clear();
  // The default sheet for the viewer's settings; sizes in points.
  void Initialize(const std::string& FontName, const std::string& PreFontName, int MarginLeft,
                  int MarginTop, int CharSet, bool LinkUnderline, TColor HoverColor,
                  TColor VisitedColor, TColor LinkColor, TColor TextColor, double DefaultSize);

  // Adds (or replaces) the entry for `Key`; the properties take the key as
  // their name.
  TProperties* AddObject(const std::string& Key, std::unique_ptr<TProperties> Props);
  // A new entry under `Key` with a copy of the values of `Props`.
  TProperties* AddDuplicate(const std::string& Key, const TProperties& Props);
  // The style parser's entry: sets one property, by CSS name, of the rule for
  // `Selector`, creating the rule when it is new.
  void AddModifyProp(const std::string& Selector, const std::string& Property, const std::string& Value);
  // The colour of the link state `Pseudo` ("link", "visited", "hover").
  void ModifyLinkColor(const std::string& Pseudo, TColor Color);
  // The sequence number of the next descendant rule, as fixed-width decimal
  // digits so that keys sort in the order the rules were added.
  [[nodiscard]] std::string NextSequence();

  [[nodiscard]] TProperties* Find(const std::string& Key) const;
  [[nodiscard]] std::size_t Count() const { return entries_.size(); }
  [[nodiscard]] const Entries& Items() const { return entries_; }
  // The "default" entry (null before Initialize).
  [[nodiscard]] TProperties* DefProp() const { return defProp_; }
  [[nodiscard]] double DefaultFontSize() const { return defaultFontSize_; }
  [[nodiscard]] bool HasHoverStyles() const { return hoverStyles_; }
  // Changes with every rule added or changed (through the calls above),
  // so that styles computed from the sheet can tell they are still good.
  [[nodiscard]] std::uint64_t Version() const { return version_; }

 private:
  TProperties& Entry(const std::string& key);

  Entries entries_;
  TProperties* defProp_ = nullptr;
  long long sequence_ = 10;
  double defaultFontSize_ = 12;
  bool hoverStyles_ = false;
  std::uint64_t version_ = 0;
  std::function<void()> onHoverStyle_;
};

}  // namespace lark
