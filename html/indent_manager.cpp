#include "html/indent_manager.h"

#include <algorithm>

#include "html/document_coordinates.h"
#include "html/floating_object.h"

namespace lark {

void IndentManagerBasic::Clear() {
  L.clear();
  R.clear();
  leftFloats_.Clear();
  rightFloats_.Clear();
  CurrentID = nullptr;
}

void IndentManagerBasic::Reset(int lf, int rt) {
  LfEdge = lf;
  RtEdge = rt;
  CurrentID = nullptr;
}

int IndentManagerBasic::LeftIndent(int y) const {
  int x = -99999;
  for (const IndentRec& rec : L)
    if (Applies(rec, y)) x = std::max(x, rec.X);
  int edge = 0;
  if (leftFloats_.EdgeAt(y, edge)) x = std::max(x, edge);
  if (x == -99999) x = 0;
  return SumCoordinates(x, LfEdge);
}

int IndentManagerBasic::RightSide(int y) const {
  int x = 99999;
  for (const IndentRec& rec : R)
    if (Applies(rec, y)) x = std::min(x, rec.X);
  int edge = 0;
  if (rightFloats_.EdgeAt(y, edge)) x = std::min(x, edge);
  if (x == 99999) return RtEdge;
  return SumCoordinates(x, LfEdge);
}

int IndentManagerBasic::ImageBottom() const {
  return std::max({0, leftFloats_.LowestBottom(0), rightFloats_.LowestBottom(0)});
}

void IndentManagerBasic::GetClearY(int& cl, int& cr) const {
  cl = SumCoordinates(leftFloats_.LowestBottom(-1), 1);
  cr = SumCoordinates(rightFloats_.LowestBottom(-1), 1);
}

int IndentManagerBasic::GetNextWiderY(int y) const {
  const int none = IndentRec::kOpen + 1;
  const int next = std::min(leftFloats_.NextBottomBelow(y, none), rightFloats_.NextBottomBelow(y, none));
  return next == none ? y : next;
}

int IndentManagerBasic::FloatBottomSince(const TState& state, int none) const {
  int bottom = none;
  for (std::size_t k = state.LeftFloats; k < leftFloats_.Count(); ++k) bottom = std::max(bottom, leftFloats_[k].YB);
  for (std::size_t k = state.RightFloats; k < rightFloats_.Count(); ++k)
    bottom = std::max(bottom, rightFloats_[k].YB);
  return bottom;
}

std::size_t IndentManagerBasic::AddLeft(int x, int y) {
  L.push_back({SumCoordinates(x, -static_cast<std::int64_t>(LfEdge)), y, IndentRec::kOpen, CurrentID, false});
  return L.size() - 1;
}

std::size_t IndentManagerBasic::AddRight(int x, int y) {
  R.push_back({SumCoordinates(x, -static_cast<std::int64_t>(LfEdge)), y, IndentRec::kOpen, CurrentID, false});
  return R.size() - 1;
}

void IndentManagerBasic::DeleteLeft(std::size_t index) {
  if (index < L.size()) L.erase(L.begin() + static_cast<std::ptrdiff_t>(index));
}

void IndentManagerBasic::DeleteRight(std::size_t index) {
  if (index < R.size()) R.erase(R.begin() + static_cast<std::ptrdiff_t>(index));
}

void IndentManagerBasic::RestoreState(const TState& state) {
  if (L.size() > state.LeftCount) L.resize(state.LeftCount);
  if (R.size() > state.RightCount) R.resize(state.RightCount);
  leftFloats_.Truncate(state.LeftFloats);
  rightFloats_.Truncate(state.RightFloats);
  CurrentID = state.CurrentID;
}

void IndentManagerBasic::AddFloat(bool left, int x, int yt, int yb) {
  (left ? leftFloats_ : rightFloats_).Add({x, yt, yb});
}

int ClearSpace(const IndentManagerBasic& iMgr, int clear, int y) {
  int cl = 0, cr = 0;
  iMgr.GetClearY(cl, cr);
  const int left = std::max(0, SumCoordinates(cl, -static_cast<std::int64_t>(y), -1));
  const int right = std::max(0, SumCoordinates(cr, -static_cast<std::int64_t>(y), -1));
  switch (clear) {
    case 1: return left;
    case 2: return right;
    case 3: return std::max(left, right);
    default: return 0;
  }
}

void IndentManager::Update(int y, TFloatingObj& image) {
  const int w = SumCoordinates(image.ImageWidth, image.HSpaceL, image.HSpaceR);
  const int h = SumCoordinates(image.ImageHeight, image.VSpaceT, image.VSpaceB);
  if (image.ObjAlign == aLeft) {
    const int x = SumCoordinates(LeftIndent(y), -static_cast<std::int64_t>(LfEdge));
    image.Indent = SumCoordinates(x, image.HSpaceL);
    AddFloat(true, SumCoordinates(x, w), y, SumCoordinates(y, h));
  } else if (image.ObjAlign == aRight) {
    const int x = SumCoordinates(RightSide(y), -static_cast<std::int64_t>(LfEdge), -static_cast<std::int64_t>(w));
    image.Indent = SumCoordinates(x, image.HSpaceL);
    AddFloat(false, x, y, SumCoordinates(y, h));
  }
}

void IndentManager::AddFloatBlock(int y, int x, int height, TFloatSide side) {
  AddFloat(side == TFloatSide::Left, SumCoordinates(x, -static_cast<std::int64_t>(LfEdge)), y,
           SumCoordinates(y, height));
}

}  // namespace lark
