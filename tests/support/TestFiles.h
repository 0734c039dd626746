#pragma once
// Scratch copies of the bundled samples, file contents, and writes that fail like a full disk.
// The test programs define ORVEK_SAMPLES_DIR.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <csignal>
#include <sys/resource.h>

// A writable copy of a bundled sample at target (the copies keep the samples' read-only mode).
inline QString CopySample(const QString& target, const QString& sample)
{
    QFile::remove(target);
    QFile::copy(QStringLiteral(ORVEK_SAMPLES_DIR "/") + sample, target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

inline QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs write under a file size limit: every write past it fails, for any user, like a full disk.
template <typename Write>
auto WithFileSizeLimit(rlim_t bytes, Write&& write)
{
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
    auto result = write();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    return result;
}
