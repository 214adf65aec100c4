#pragma once

#include <cstddef>
#include <vector>

#include "html/float_indents.h"

namespace lark {

class TFloatingObj;

// One indent: a vertical band [YT, YB) in which the left edge (left list) or
// the right edge (right list) of the text stands at X, relative to LfEdge.
// Indents owned by a block apply only while that block is current; those
// of floats (ID null) apply to everything.
struct IndentRec {
  static constexpr int kOpen = 9999999;
  int X = 0;
  int YT = 0;
  int YB = kOpen;
  const void* ID = nullptr;
  bool BlockFloat = false;
};

// The left and right edges of the text in one cell at each Y, shaped by the
// open blocks and by the floating images and boxes placed so far.
//
// The open blocks' indents (one per side for each block being laid out) are
// few, bounded by the nesting limit. Floats can be many: they are kept
// apart (TFloatIndents), so a line's questions cost O(log) of the page
// height in the floats, not a pass over all of them.
class IndentManagerBasic {
 public:
  void Clear();
  void Reset(int lf, int rt);

  [[nodiscard]] int LeftIndent(int y) const;
  [[nodiscard]] int RightSide(int y) const;
  // The lowest bottom of the floats (0 when none).
  [[nodiscard]] int ImageBottom() const;
  // One below the lowest left and right float bottoms (0 when none).
  void GetClearY(int& cl, int& cr) const;
  // The nearest float bottom below y, or y when none ends lower.
  [[nodiscard]] int GetNextWiderY(int y) const;
  // New open indents owned by CurrentID, from y down; they return their index.
  std::size_t AddLeft(int x, int y);
  std::size_t AddRight(int x, int y);
  void DeleteLeft(std::size_t index);
  void DeleteRight(std::size_t index);

  // What a layout that fails part-way must put back.
  struct TState {
    std::size_t LeftCount, RightCount;
    std::size_t LeftFloats, RightFloats;
    const void* CurrentID;
  };
  // The lowest bottom of the floats placed since `state` was saved (`none`
  // when there are none).
  [[nodiscard]] int FloatBottomSince(const TState& state, int none) const;
  [[nodiscard]] TState SaveState() const {
    return {L.size(), R.size(), leftFloats_.Count(), rightFloats_.Count(), CurrentID};
  }
  void RestoreState(const TState& state);

  int Width = 0;
  int ClipWidth = 0;
  int LfEdge = 0;
  int RtEdge = 0;
  const void* CurrentID = nullptr;
  // The open blocks' indents.
  std::vector<IndentRec> L;
  std::vector<IndentRec> R;

 protected:
  [[nodiscard]] bool Applies(const IndentRec& rec, int y) const {
    return rec.YT <= y && y < rec.YB && (rec.ID == nullptr || rec.ID == CurrentID);
  }
  // A float's band on its side; x relative to LfEdge.
  void AddFloat(bool left, int x, int yt, int yb);

 private:
  TFloatIndents leftFloats_{true};
  TFloatIndents rightFloats_{false};
};

enum class TFloatSide { Left, Right };

// The room a CLEAR value (0 none, 1 left, 2 right, 3 both) needs at y: the
// distance down to the first Y that the floats on those sides no longer cover.
[[nodiscard]] int ClearSpace(const IndentManagerBasic& iMgr, int clear, int y);

class IndentManager : public IndentManagerBasic {
 public:
  // Places a floating image at y on its side and keeps the text clear of it.
  void Update(int y, TFloatingObj& image);
  // A floating box on its side whose outer edge facing the text stands at x,
  // from y down for `height`.
  void AddFloatBlock(int y, int x, int height, TFloatSide side);
};

}  // namespace lark
