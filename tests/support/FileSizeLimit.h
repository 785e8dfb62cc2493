#pragma once
// Limits the size of any file this process writes, the way a full disk would stop
// it: a write past the limit fails (SIGXFSZ is ignored) instead of ending the test.

#include <csignal>
#include <sys/resource.h>

namespace nollex::test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lim = old_;
        lim.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &lim) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return active_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool active_ = false;
};

}  // namespace nollex::test
