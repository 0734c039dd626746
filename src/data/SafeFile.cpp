#include "data/SafeFile.h"

#include "data/PathUtil.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
int OpenFile(const std::string& path, int flags, int mode = 0) { return ::_open(path.c_str(), flags | _O_BINARY, mode); }
int CloseFile(int fd) { return ::_close(fd); }
long long ReadSome(int fd, void* buf, std::size_t n) { return ::_read(fd, buf, static_cast<unsigned>(n)); }
long long WriteSome(int fd, const void* buf, std::size_t n) { return ::_write(fd, buf, static_cast<unsigned>(n)); }
bool SyncFile(int fd) { return ::_commit(fd) == 0; }
#else
int OpenFile(const std::string& path, int flags, int mode = 0) { return ::open(path.c_str(), flags | O_CLOEXEC, mode); }
int CloseFile(int fd) { return ::close(fd); }
long long ReadSome(int fd, void* buf, std::size_t n) { return ::read(fd, buf, n); }
long long WriteSome(int fd, const void* buf, std::size_t n) { return ::write(fd, buf, n); }
bool SyncFile(int fd) { return ::fsync(fd) == 0; }
#endif

bool WriteAll(int fd, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        const long long n = WriteSome(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The file a path finally stands for when it is a symbolic link (a data folder linked from a share,
// a link in a project folder): replacing the link itself would leave the real file as it was.
std::string ResolveLink(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) {
        return path;
    }
    const std::filesystem::path target = std::filesystem::canonical(path, ec);
    return ec ? path : target.string();
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty()) {
        return false;
    }
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

FileBytes ReadWholeFile(const std::string& path)
{
    FileBytes result;
    const int fd = OpenFile(path, O_RDONLY);
    if (fd < 0) {
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        CloseFile(fd);
        return result;
    }
    unsigned char buffer[16384];
    for (;;) {
        const long long n = ReadSome(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            CloseFile(fd);
            result.bytes.clear();
            return result;
        }
        if (n == 0) {
            break;
        }
        if (result.bytes.size() + static_cast<std::size_t>(n) > kMaxFileBytes) {
            CloseFile(fd);
            result.bytes.clear();
            result.status = ReadStatus::TooLarge;
            return result;
        }
        result.bytes.insert(result.bytes.end(), buffer, buffer + n);
    }
    CloseFile(fd);
    result.status = ReadStatus::Ok;
    return result;
}

bool CanOpenReadWrite(const std::string& path)
{
    const int fd = OpenFile(path, O_RDWR);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    // A file nobody may write is read-only even for an administrator, as the operators' read-only
    // attribute is on their own systems.
    const bool writable = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                          (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    CloseFile(fd);
    return writable;
}

bool ReplaceFileContents(const std::string& linkOrPath, const std::vector<unsigned char>& content)
{
    const std::string path = ResolveLink(linkOrPath);
    // The new file takes the old one's permissions; a new file gets the usual 0666 less umask.
    struct stat st {};
    const bool existed = ::stat(path.c_str(), &st) == 0;
    if (existed && !S_ISREG(st.st_mode)) {
        return false;
    }
#ifndef _WIN32
    mode_t mode;
    if (existed) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
#endif

    std::string folder = FolderOf(path);
    if (folder.empty() && LastSeparator(path) != 0) {
        folder = ".";
    }
    std::string temp = JoinPath(folder, "." + FileNameOf(path) + ".XXXXXX");
#ifdef _WIN32
    if (::_mktemp_s(temp.data(), temp.size() + 1) != 0) {
        return false;
    }
    const int fd = OpenFile(temp, O_WRONLY | O_CREAT | O_EXCL, _S_IREAD | _S_IWRITE);
#else
    const int fd = ::mkstemp(temp.data());
#endif
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, content.data(), content.size());
#ifndef _WIN32
    ok = ok && ::fchmod(fd, mode) == 0;
#endif
    ok = ok && SyncFile(fd);
    ok = CloseFile(fd) == 0 && ok;
    if (ok) {
#ifdef _WIN32
        ok = ::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
        ok = ::rename(temp.c_str(), path.c_str()) == 0;
#endif
    }
    if (!ok) {
        std::remove(temp.c_str());
        return false;
    }
#ifndef _WIN32
    // Make the rename itself durable; a failure here no longer endangers either version.
    const int dirfd = OpenFile(folder.empty() ? std::string("/") : folder, O_RDONLY | O_DIRECTORY);
    if (dirfd >= 0) {
        ::fsync(dirfd);
        CloseFile(dirfd);
    }
#endif
    return true;
}
