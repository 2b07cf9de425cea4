#pragma once
// What the window says of a failure: every message in Japanese, whatever
// the layer below said (the command line keeps their English).

#include <exception>
#include <string>

namespace skarvel::app {

// The Japanese message for `e`: a file's name and reason, a picture beyond
// its pixel range, a computation that failed, or the text of an error that
// is written in Japanese already.
std::string ErrorText(const std::exception& e);

} // namespace skarvel::app
