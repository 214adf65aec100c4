#pragma once
// A shape is one way a document can grow (many IDs, one long paragraph, deep
// nesting...). Its work builds a document of size n and returns the seconds
// spent in the part being measured; set-up outside that part is not counted.
// Shapes register themselves from their own files, so adding one touches no
// shared list.

#include <functional>

namespace lark::bench {

using ScaleWork = std::function<double(int n)>;

// Registers a shape measured at n and 4n; returns a dummy for static init.
int RegisterScaleShape(const char* name, int n, ScaleWork work);

// Seconds taken by `work`, on a steady clock.
double SecondsOf(const std::function<void()>& work);

}  // namespace lark::bench
