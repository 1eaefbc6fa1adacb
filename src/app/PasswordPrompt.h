#pragma once

#include <optional>
#include <string>

namespace kqvdr {

// Whether standard input is a terminal a person types at.
bool standardInputIsTerminal();

// One line from standard input without its line end. On a terminal the prompt is shown on
// standard error and what is typed is not echoed. Nothing at the end of input.
std::optional<std::string> readSecretLine(const char* prompt);

} // namespace kqvdr
