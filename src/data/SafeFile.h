#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Whole-file I/O used by every writer. A measurement file is small (under 70 KB even at full
// capacity), so anything past this limit is not one of ours and is refused rather than read.
inline constexpr std::size_t kMaxFileBytes = 16u * 1024u * 1024u;

enum class ReadStatus { Ok, CannotOpen, TooLarge };

struct FileBytes {
    ReadStatus status = ReadStatus::CannotOpen;
    std::vector<unsigned char> bytes;
};

// Reads a whole file (at most kMaxFileBytes).
FileBytes ReadWholeFile(const std::string& path);

// True when the file exists and can be opened for reading and writing (nothing is changed).
bool CanOpenReadWrite(const std::string& path);

// True when both paths are the same text, or name the same existing file (through links, "..",
// relative forms).
bool SameFile(const std::string& a, const std::string& b);

// Replaces (or creates) path with content without ever truncating the old file in place: the bytes
// go to a temporary file in the same folder, are flushed to disk, and the temporary is renamed over
// the target with the target's permissions. On any failure the target is left as it was and the
// temporary is removed. A path that is a symbolic link replaces the file the link points to and
// leaves the link in place. Returns false on failure.
bool ReplaceFileContents(const std::string& path, const std::vector<unsigned char>& content);
// The same for a text written as its bytes.
bool ReplaceFileContents(const std::string& path, std::string_view content);
