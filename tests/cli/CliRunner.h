#pragma once
// Runs the real orvek-cli executable with its output captured, for the end-to-end tests.

#include "CddBuilder.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct CliRun {
    int status = -1;
    std::string out, err;
};

inline std::string Quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q.push_back(c);
    }
    return q + "'";
}

inline std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// fileSizeLimit > 0: every write past that many bytes fails, for any user, like a full disk (the
// signal such a write raises is ignored, as ENOSPC raises none).
inline CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args, int fileSizeLimit = 0)
{
    std::string cmd = Quoted(ORVEK_CLI_PATH);
    for (const std::string& a : args)
        cmd += " " + Quoted(a);
    const std::string out = dir.file("stdout.txt");
    const std::string err = dir.file("stderr.txt");
    cmd += " >" + Quoted(out) + " 2>" + Quoted(err);
    if (fileSizeLimit > 0)
        cmd = "trap '' XFSZ; ulimit -f " + std::to_string((fileSizeLimit + 511) / 512) + "; " + cmd;
    CliRun r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadAll(out);
    r.err = ReadAll(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return r;
}
