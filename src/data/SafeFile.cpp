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
// MinGW spells the POSIX mode tests; Visual C++ has only the underscored bits they stand for.
#ifndef S_ISREG
#define S_ISREG(m) (((m) & _S_IFMT) == _S_IFREG)
#endif
#ifndef S_IWUSR
#define S_IWUSR _S_IWRITE
#define S_IWGRP 0
#define S_IWOTH 0
#endif
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
// Paths arrive as UTF-8; the wide calls take them whatever the system's ANSI code page is.
int OpenFile(const std::string& path, int flags, int mode = 0)
{
    return ::_wopen(NativePath(path).c_str(), flags | _O_BINARY, mode);
}
int CloseFile(int fd) { return ::_close(fd); }
long long ReadSome(int fd, void* buf, std::size_t n) { return ::_read(fd, buf, static_cast<unsigned>(n)); }
long long WriteSome(int fd, const void* buf, std::size_t n) { return ::_write(fd, buf, static_cast<unsigned>(n)); }
bool SyncFile(int fd) { return ::_commit(fd) == 0; }
using FileStat = struct _stat64;
int StatPath(const std::string& path, FileStat& st)
{
    return ::_wstat64(NativePath(path).c_str(), &st);
}
int StatFd(int fd, FileStat& st)
{
    return ::_fstat64(fd, &st);
}
int RemoveFile(const std::string& path)
{
    return ::_wremove(NativePath(path).c_str());
}

// Fills in the trailing XXXXXX of temp and creates that file exclusively.
int CreateTemp(std::string& temp)
{
    std::wstring wide = NativePath(temp).wstring();
    if (::_wmktemp_s(wide.data(), wide.size() + 1) != 0) {
        return -1;
    }
    // Only the six placeholder characters changed, and they are ASCII.
    for (std::size_t i = 1; i <= 6; ++i) {
        temp[temp.size() - i] = static_cast<char>(wide[wide.size() - i]);
    }
    return OpenFile(temp, O_WRONLY | O_CREAT | O_EXCL, _S_IREAD | _S_IWRITE);
}

// An existing file is replaced by ReplaceFileW, which carries its attributes, security and
// creation time over to the new content, as the rename elsewhere keeps the permissions.
bool MoveOver(const std::string& temp, const std::string& path, bool existed)
{
    const std::filesystem::path from = NativePath(temp);
    const std::filesystem::path to = NativePath(path);
    if (existed) {
        const BOOL replaced =
            ::ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
        return replaced != 0;
    }
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}
#else
int OpenFile(const std::string& path, int flags, int mode = 0) { return ::open(path.c_str(), flags | O_CLOEXEC, mode); }
int CloseFile(int fd) { return ::close(fd); }
long long ReadSome(int fd, void* buf, std::size_t n) { return ::read(fd, buf, n); }
long long WriteSome(int fd, const void* buf, std::size_t n) { return ::write(fd, buf, n); }
bool SyncFile(int fd) { return ::fsync(fd) == 0; }
using FileStat = struct stat;
int StatPath(const std::string& path, FileStat& st)
{
    return ::stat(path.c_str(), &st);
}
int StatFd(int fd, FileStat& st)
{
    return ::fstat(fd, &st);
}
int RemoveFile(const std::string& path)
{
    return std::remove(path.c_str());
}
int CreateTemp(std::string& temp)
{
    return ::mkstemp(temp.data());
}
bool MoveOver(const std::string& temp, const std::string& path, bool /*existed*/)
{
    return ::rename(temp.c_str(), path.c_str()) == 0;
}
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
    if (!std::filesystem::is_symlink(NativePath(path), ec)) {
        return path;
    }
    const std::filesystem::path target = std::filesystem::canonical(NativePath(path), ec);
    return ec ? path : Utf8Path(target);
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty()) {
        return false;
    }
    if (a == b) {
        return true;
    }
    std::error_code ec;
    return std::filesystem::equivalent(NativePath(a), NativePath(b), ec) && !ec;
}

FileBytes ReadWholeFile(const std::string& path)
{
    FileBytes result;
    const int fd = OpenFile(path, O_RDONLY);
    if (fd < 0) {
        return result;
    }
    FileStat st{};
    if (StatFd(fd, st) != 0 || !S_ISREG(st.st_mode)) {
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
    FileStat st{};
    // A file nobody may write is read-only even for an administrator, as the operators' read-only
    // attribute is on their own systems.
    const bool writable =
        StatFd(fd, st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    CloseFile(fd);
    return writable;
}

namespace {

// Replaces the file (a link's target) with the bytes as ReplaceFileContents describes.
bool ReplaceWith(const std::string& linkOrPath, const unsigned char* data, std::size_t size)
{
    const std::string path = ResolveLink(linkOrPath);
    // The new file takes the old one's permissions; a new file gets the usual 0666 less umask.
    FileStat st{};
    const bool existed = StatPath(path, st) == 0;
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
    const int fd = CreateTemp(temp);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, data, size);
#ifndef _WIN32
    ok = ok && ::fchmod(fd, mode) == 0;
#endif
    ok = ok && SyncFile(fd);
    ok = CloseFile(fd) == 0 && ok;
    ok = ok && MoveOver(temp, path, existed);
    if (!ok) {
        RemoveFile(temp);
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

}  // namespace

bool ReplaceFileContents(const std::string& path, const std::vector<unsigned char>& content)
{
    return ReplaceWith(path, content.data(), content.size());
}

bool ReplaceFileContents(const std::string& path, std::string_view content)
{
    return ReplaceWith(path, reinterpret_cast<const unsigned char*>(content.data()), content.size());
}
