#pragma once

#include <string>
#include <string_view>

// Paths are UTF-8 strings. The folder rules ("up to the last separator") accept both '/' and '\'
// on Windows and '/' elsewhere.

inline constexpr char kPathSeparator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

// Index of the last separator in path, or npos.
std::size_t LastSeparator(std::string_view path);
// Path up to, not including, its last separator; empty when there is none.
std::string FolderOf(std::string_view path);
// Text after the last separator (the whole path when there is none).
std::string FileNameOf(std::string_view path);
// folder + separator + name.
std::string JoinPath(std::string_view folder, std::string_view name);
// True when name ends in ".cdd", ignoring case, as on the operators' Windows folders.
bool HasCddExtension(std::string_view name);
