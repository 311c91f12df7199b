#pragma once
// The worker side of a WorkerPool: reads items from standard input, one a line,
// and answers each with what `work` makes of it, in one write to standard
// output, until the input ends.
#include <functional>
#include <string>

namespace Admin {

int Serve_Items(const std::function<std::string(const std::string& item)>& work);

} // namespace Admin
