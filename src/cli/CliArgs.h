#pragma once

#include <string>
#include <utility>

// Arguments of the data sub-commands; each throws CLI::ValidationError (a usage error) for a text
// that is not what it asks for.

// "KEY=VALUE" split at the first '='.
std::pair<std::string, std::string> SplitPair(const std::string& text);

// The whole text as an integer, as std::stoll reads it.
long long ParseWhole(const std::string& text);

// The whole text as a depth in metres, as std::stof reads it.
float ParseDepth(const std::string& text);
