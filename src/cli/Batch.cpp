#include "cli/Batch.h"

#include "cli/CliCommon.h"
#include "data/Messages.h"
#include "data/PathUtil.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>
#include <thread>

namespace {

struct Outcome {
    bool ok = true;
    std::string text;  // standard output on success, the message on failure
};

// Prints the outcomes in file order as soon as every earlier file is done, and the progress line.
class Reporter {
public:
    explicit Reporter(const std::vector<std::string>& files)
        : m_files(files), m_outcomes(files.size()), m_bProgress(::isatty(STDERR_FILENO) == 1)
    {
        ShowProgress();
    }

    void Done(std::size_t index, Outcome outcome)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_outcomes[index] = std::move(outcome);
        ++m_nDone;
        ClearProgress();
        for (; m_nPrinted < m_outcomes.size() && m_outcomes[m_nPrinted]; ++m_nPrinted) {
            const Outcome& o = *m_outcomes[m_nPrinted];
            if (!o.ok) {
                ++m_nFailed;
                std::cerr << m_files[m_nPrinted] << ": " << o.text << '\n' << std::flush;
            } else if (!o.text.empty()) {
                std::cout << o.text << '\n' << std::flush;
            }
            m_outcomes[m_nPrinted].reset();  // a long batch keeps no texts it has printed
        }
        ShowProgress();
    }

    void Finish()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ClearProgress();
    }

    int Failed() const { return m_nFailed; }

private:
    void ShowProgress()
    {
        if (m_bProgress)
            std::cerr << '\r' << m_nDone << '/' << m_files.size() << std::flush;
    }
    // The line is overwritten with blanks so that a message printed after it starts clean.
    void ClearProgress()
    {
        if (m_bProgress)
            std::cerr << "\r\033[K" << std::flush;
    }

    const std::vector<std::string>& m_files;
    std::vector<std::optional<Outcome>> m_outcomes;
    const bool m_bProgress;
    std::mutex m_mutex;
    std::size_t m_nDone = 0;
    std::size_t m_nPrinted = 0;
    int m_nFailed = 0;
};

Outcome RunOne(const std::function<std::string(const std::string&)>& work, const std::string& file)
{
    try {
        return Outcome{true, work(file)};
    } catch (const CliFailure& e) {
        return Outcome{false, e.what()};
    } catch (const std::exception& e) {
        // Out of memory or the like: this file fails, the others may still go through.
        return Outcome{false, e.what()};
    }
}

}  // namespace

int RunBatch(const std::vector<std::string>& files, int jobs, const std::function<std::string(const std::string&)>& work)
{
    if (files.empty())
        return 0;
    Reporter reporter(files);
    std::atomic<std::size_t> next{0};
    auto worker = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++)
            reporter.Done(i, RunOne(work, files[i]));
    };
    const std::size_t threads = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), 1, files.size());
    if (threads <= 1) {
        worker();
    } else {
        std::vector<std::jthread> pool;
        pool.reserve(threads);
        for (std::size_t t = 0; t < threads; ++t)
            pool.emplace_back(worker);
    }
    reporter.Finish();
    return reporter.Failed();
}

int DefaultJobs()
{
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::string OutputPathIn(const std::string& folder, const std::string& path, const std::string& suffix)
{
    std::string name = FileNameOf(path);
    if (HasCddExtension(name))
        name.resize(name.size() - 4);
    return JoinPath(folder, name + suffix);
}

void RequireFolder(const std::string& folder)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        throw CliFailure(msg::kCannotCreate);
}
