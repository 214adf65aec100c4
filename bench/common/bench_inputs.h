#pragma once
// The benchmark inputs, made by bench/inputs/make_inputs.sh outside the source
// and build trees ($LARK_BENCH_DIR, default under the temporary directory).

#include <string>

namespace lark::bench {

// The folder of one input set ("page", "png", "gif", "tree"), generated first
// when it is missing or incomplete. Ends the program with the generator's
// error when it cannot be made: a benchmark on a partial set would mislead.
[[nodiscard]] std::string InputSet(const std::string& set);

// The whole file; ends the program when it cannot be read or is empty.
[[nodiscard]] std::string ReadInput(const std::string& path);

// The 10 MB page of the "page" set, read once. Ends the program when it
// cannot be read.
[[nodiscard]] const std::string& BenchPage();

}  // namespace lark::bench
