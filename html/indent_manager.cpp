#include "html/indent_manager.h"

#include <algorithm>

#include "html/floating_object.h"

namespace lark {

void IndentManagerBasic::Clear() {
  L.clear();
  R.clear();
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
  if (x == -99999) x = 0;
  return x + LfEdge;
}

int IndentManagerBasic::RightSide(int y) const {
  int x = 99999;
  for (const IndentRec& rec : R)
    if (Applies(rec, y)) x = std::min(x, rec.X);
  if (x == 99999) return RtEdge;
  return x + LfEdge;
}

int IndentManagerBasic::ImageBottom() const {
  int bottom = 0;
  for (const auto* list : {&L, &R})
    for (const IndentRec& rec : *list)
      if (rec.ID == nullptr) bottom = std::max(bottom, rec.YB);
  return bottom;
}

void IndentManagerBasic::GetClearY(int& cl, int& cr) const {
  auto lowest = [](const std::vector<IndentRec>& list) {
    int bottom = -1;
    for (const IndentRec& rec : list)
      if (rec.ID == nullptr) bottom = std::max(bottom, rec.YB);
    return bottom + 1;
  };
  cl = lowest(L);
  cr = lowest(R);
}

int IndentManagerBasic::GetNextWiderY(int y) const {
  int next = IndentRec::kOpen + 1;
  for (const auto* list : {&L, &R})
    for (const IndentRec& rec : *list)
      if (rec.ID == nullptr && rec.YB > y) next = std::min(next, rec.YB);
  return next == IndentRec::kOpen + 1 ? y : next;
}

std::size_t IndentManagerBasic::AddLeft(int x, int y) {
  L.push_back({x - LfEdge, y, IndentRec::kOpen, CurrentID, false});
  return L.size() - 1;
}

std::size_t IndentManagerBasic::AddRight(int x, int y) {
  R.push_back({x - LfEdge, y, IndentRec::kOpen, CurrentID, false});
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
  CurrentID = state.CurrentID;
}

int ClearSpace(const IndentManagerBasic& iMgr, int clear, int y) {
  int cl = 0, cr = 0;
  iMgr.GetClearY(cl, cr);
  switch (clear) {
    case 1: return std::max(0, cl - y - 1);
    case 2: return std::max(0, cr - y - 1);
    case 3: return std::max({0, cl - y - 1, cr - y - 1});
    default: return 0;
  }
}

void IndentManager::Update(int y, TFloatingObj& image) {
  const int w = image.ImageWidth + image.HSpaceL + image.HSpaceR;
  const int h = image.ImageHeight + image.VSpaceT + image.VSpaceB;
  if (image.ObjAlign == aLeft) {
    const int x = LeftIndent(y) - LfEdge;
    image.Indent = x + image.HSpaceL;
    L.push_back({x + w, y, y + h, nullptr, false});
  } else if (image.ObjAlign == aRight) {
    const int x = RightSide(y) - LfEdge - w;
    image.Indent = x + image.HSpaceL;
    R.push_back({x, y, y + h, nullptr, false});
  }
}

void IndentManager::AddFloatBlock(int y, int x, int height, TFloatSide side) {
  auto& list = side == TFloatSide::Left ? L : R;
  list.push_back({x - LfEdge, y, y + height, nullptr, true});
}

}  // namespace lark
