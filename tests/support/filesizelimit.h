#pragma once

// Files of this process limited to a size for as long as this lives, as a full disk would: a write past
// the limit fails with EFBIG instead of raising SIGXFSZ. Works for root too, unlike permissions; files
// already there stay readable.

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limit{bytes, old.rlim_max};
        made = setrlimit(RLIMIT_FSIZE, &limit) == 0;
        previous = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool made = false;

private:
    rlimit old{};
    void (*previous)(int) = nullptr;
};
