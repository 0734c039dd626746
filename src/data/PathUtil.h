#pragma once

#include <filesystem>
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
// The path as the file-system calls take it. Windows reads narrow paths in its ANSI code page,
// so there the UTF-8 becomes UTF-16; elsewhere the bytes pass unchanged.
std::filesystem::path NativePath(std::string_view utf8);
// The UTF-8 form of a file-system path.
std::string Utf8Path(const std::filesystem::path& path);
