#pragma once

#include <QString>

// The checks every way of choosing a file makes before the view is asked to show it.

// True when something exists at path (a folder counts; opening it fails later).
bool PathExists(const QString& path);

// True when path is a regular file that opens for reading and holds at least one byte; otherwise
// the operator gets "无法读取文件".
bool IsReadableNonEmpty(const QString& path);

// Folder part of a path as the shell uses it: up to, not including, the last separator; empty when
// the path has no separator or its only one is the first character.
QString FolderOfPath(const QString& path);

// Text after the last separator; empty when there is none (a drive such as "C:" names no folder).
QString LastComponentOf(const QString& folder);
