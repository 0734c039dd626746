#pragma once

#include <functional>
#include <string>
#include <vector>

// The batch forms of the sub-commands: the per-file work is the function the one-file form calls.
// Each file's outcome is reported in the order the files were given, whatever order the workers
// finish in: what the work returns goes to standard output (nothing when empty), a failure's
// message to standard error as "FILE: message". A failure does not stop the other files.
//
// When standard error is a terminal, a progress line ("done/total") is kept at its bottom.

// Runs work for every file on `jobs` threads (at most one per file; 1 runs in the calling
// thread). work throws CliFailure for a failure. Returns the number of files that failed.
int RunBatch(const std::vector<std::string>& files, int jobs, const std::function<std::string(const std::string&)>& work);

// Number of workers when none is asked for: one per core.
int DefaultJobs();

// folder + the file name of path without its ".cdd" (in any case) + suffix: where a batch puts
// the output of path.
std::string OutputPathIn(const std::string& folder, const std::string& path, const std::string& suffix);

// Throws CliFailure("无法创建文件") unless folder is an existing folder; a batch creates none.
void RequireFolder(const std::string& folder);
