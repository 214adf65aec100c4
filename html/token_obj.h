#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace lark {

// The reader's growable text buffer: characters (bytes) with the source
// position of each. Indices are 0-based.
//
// MaxIndex reports the capacity in the buffer's traditional steps (300, then
// +50 whenever a character finds it full), but the storage itself grows
// geometrically, so a token of n characters costs O(n) however long it is.
class TokenObj {
 public:
  TokenObj();

  void AddChar(char ch, std::int32_t ind) {
    if (leng_ >= maxIndex_) maxIndex_ += kCapacityStep;
    if (static_cast<std::size_t>(leng_) == capacity_) Reserve(capacity_ + 1);
    chars_[leng_] = ch;
    positions_[leng_] = ind;
    ++leng_;
    stringOK_ = false;
  }
  // Appends `count` characters whose positions run on from `firstInd`.
  void AddRun(const char* chars, std::size_t count, std::int32_t firstInd);
  void Concat(const TokenObj& other);
  // Replaces character `ind` (0-based); indices outside 0..Leng-1 are ignored.
  void ReplaceChar(std::int32_t ind, char ch);
  [[nodiscard]] const std::string& GetString();
  // Empties the buffer; the storage is kept for the next token.
  void Clear();

  [[nodiscard]] std::int32_t Leng() const { return leng_; }
  [[nodiscard]] std::int32_t MaxIndex() const { return maxIndex_; }
  [[nodiscard]] char C(std::int32_t index) const { return chars_[index]; }
  [[nodiscard]] std::int32_t I(std::int32_t index) const { return positions_[index]; }
  [[nodiscard]] std::string_view Chars() const { return {chars_.get(), static_cast<std::size_t>(leng_)}; }
  [[nodiscard]] std::span<const std::int32_t> Positions() const {
    return {positions_.get(), static_cast<std::size_t>(leng_)};
  }

 private:
  static constexpr std::int32_t kCapacityStep = 50;

  // Makes room for at least `needed` characters, at least doubling.
  void Reserve(std::size_t needed);

  std::unique_ptr<char[]> chars_;
  std::unique_ptr<std::int32_t[]> positions_;
  std::size_t capacity_ = 0;
  std::int32_t leng_ = 0;
  std::int32_t maxIndex_ = 300;
  std::string s_;
  bool stringOK_ = true;
};

}  // namespace lark
