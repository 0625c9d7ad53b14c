#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "IAligner.h"

// The real aligner: each start runs alignFiles on a thread of its own.
class FileAligner : public IAligner {
public:
    FileAligner() = default;
    ~FileAligner() override;
    FileAligner(const FileAligner&) = delete;
    FileAligner& operator=(const FileAligner&) = delete;

    void start(const std::string& file1, const std::string& file2, Progress progress,
               Done done) override;
    void cancel() override;

private:
    void finish();

    std::thread m_worker;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
};
