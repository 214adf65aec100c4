#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
    if (Leng() >= maxIndex_) maxIndex_ += kCapacityStep;
    chars_.push_back(ch);
    positions_.push_back(ind);
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

  [[nodiscard]] std::int32_t Leng() const { return static_cast<std::int32_t>(chars_.size()); }
  [[nodiscard]] std::int32_t MaxIndex() const { return maxIndex_; }
  [[nodiscard]] char C(std::int32_t index) const { return chars_[static_cast<std::size_t>(index)]; }
  [[nodiscard]] std::int32_t I(std::int32_t index) const { return positions_[static_cast<std::size_t>(index)]; }
  [[nodiscard]] std::string_view Chars() const { return {chars_.data(), chars_.size()}; }
  [[nodiscard]] const std::vector<std::int32_t>& Positions() const { return positions_; }

 private:
  static constexpr std::int32_t kCapacityStep = 50;

  std::vector<char> chars_;
  std::vector<std::int32_t> positions_;
  std::int32_t maxIndex_ = 300;
  std::string s_;
  bool stringOK_ = true;
};

}  // namespace lark
