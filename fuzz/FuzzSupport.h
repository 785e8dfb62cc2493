#pragma once
// Shared by the fuzz targets: a failed property stops the run with a message (and
// lets a driver show the input first), and a scratch file for the readers that
// take a path.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nollex::fuzz {

// Set by a driver that wants to print the input before the abort.
inline void (*failureHook)() = nullptr;

[[noreturn]] inline void fail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "fuzz property failed: %s (%s:%d)\n", what, file, line);
    if (failureHook)
        failureHook();
    std::abort();
}

#define FUZZ_CHECK(cond)                                          \
    do {                                                          \
        if (!(cond))                                              \
            ::nollex::fuzz::fail(#cond, __FILE__, __LINE__);      \
    } while (0)

// The input as parts separated by NUL bytes (a NUL never occurs in a path or a
// command line, so it is free to act as a separator).
inline std::vector<std::string> splitAtNul(std::string_view data)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = data.find('\0', start);
        parts.emplace_back(data.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// A file in a private folder (in memory when /dev/shm exists), removed at exit.
class ScratchFile {
public:
    static ScratchFile& instance()
    {
        static ScratchFile file;
        return file;
    }
    const std::string& path() const { return path_; }

    void write(const uint8_t* data, size_t size)
    {
        // A new file each time, so the readers see a new inode and time stamp.
        ::unlink(path_.c_str());
        const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        FUZZ_CHECK(fd >= 0);
        size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd, data + done, size - done);
            FUZZ_CHECK(n > 0);
            done += size_t(n);
        }
        ::close(fd);
    }

    // What a reader must leave exactly as it was.
    struct Snapshot {
        std::string bytes;
        struct stat st {};
        bool operator==(const Snapshot& o) const
        {
            return bytes == o.bytes && st.st_ino == o.st.st_ino && st.st_size == o.st.st_size &&
                   st.st_mode == o.st.st_mode && st.st_mtim.tv_sec == o.st.st_mtim.tv_sec &&
                   st.st_mtim.tv_nsec == o.st.st_mtim.tv_nsec &&
                   st.st_ctim.tv_sec == o.st.st_ctim.tv_sec &&
                   st.st_ctim.tv_nsec == o.st.st_ctim.tv_nsec;
        }
    };
    Snapshot snapshot() const
    {
        Snapshot s;
        FUZZ_CHECK(::stat(path_.c_str(), &s.st) == 0);
        const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        FUZZ_CHECK(fd >= 0);
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
            s.bytes.append(buffer, size_t(n));
        ::close(fd);
        return s;
    }
    // Every entry of the folder: a reader must not leave files behind either.
    int entriesInFolder() const
    {
        int n = 0;
        if (DIR* d = ::opendir(folder_.c_str())) {
            while (const dirent* e = ::readdir(d))
                n += std::string_view(e->d_name) != "." && std::string_view(e->d_name) != "..";
            ::closedir(d);
        }
        return n;
    }

private:
    ScratchFile()
    {
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : nullptr;
        if (!base)
            base = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
        std::string templ = std::string(base) + "/nollex-fuzz-XXXXXX";
        FUZZ_CHECK(::mkdtemp(templ.data()) != nullptr);
        folder_ = templ;
        path_ = folder_ + "/input.ini";
        std::atexit([] {
            ScratchFile& f = instance();
            ::unlink(f.path_.c_str());
            ::rmdir(f.folder_.c_str());
        });
    }
    std::string folder_;
    std::string path_;
};

}  // namespace nollex::fuzz
