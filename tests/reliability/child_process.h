#pragma once

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define VANTELO_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTELO_UNDER_ASAN 1
#endif
#endif

namespace vantelo::test {

// AddressSanitizer reserves terabytes of address space for its shadow memory, so
// an address-space limit cannot be set under it; memory bounds are then not
// enforced, only reported.
#ifdef VANTELO_UNDER_ASAN
inline constexpr bool kAddressSpaceCanBeLimited = false;
#else
inline constexpr bool kAddressSpaceCanBeLimited = true;
#endif

// How a child ended: its exit status, or the signal that ended it (0 if none).
struct ChildEnd {
    int exitStatus = -1;
    int signal = 0;
    long peakKilobytes = 0;  // the child's largest resident size

    bool exitedWith(int status) const { return signal == 0 && exitStatus == status; }
    std::string describe() const
    {
        return signal != 0 ? "killed by signal " + std::to_string(signal)
                           : "exit status " + std::to_string(exitStatus);
    }
};

// Bytes of address space the process has mapped now.
inline long MappedBytes()
{
    long pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "re")) {
        if (std::fscanf(statm, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    return pages * sysconf(_SC_PAGESIZE);
}

// Runs body in a forked child and returns how the child ended; body's return
// value is the exit status. The child may map at most budgetBytes more address
// space than it starts with (where a limit can be set), so an allocation beyond
// that fails inside it. hangSeconds only turns a hang into a failure with a
// message instead of a stuck test run; it is far above any normal running time
// and is not a measurement.
inline ChildEnd RunInChild(const std::function<int()>& body, long budgetBytes, unsigned hangSeconds = 120)
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        alarm(hangSeconds);
        if (kAddressSpaceCanBeLimited && budgetBytes > 0) {
            const rlim_t limit = static_cast<rlim_t>(MappedBytes() + budgetBytes);
            const rlimit bound{limit, limit};
            if (setrlimit(RLIMIT_AS, &bound) != 0)
                _exit(99);
        }
        int status = 98;
        try {
            status = body();
        } catch (...) {
            status = 97;  // std::bad_alloc when the budget ran out
        }
        std::fflush(nullptr);
        _exit(status);
    }
    ChildEnd end;
    if (child < 0)
        return end;
    int status = 0;
    rusage usage {};
    if (wait4(child, &status, 0, &usage) != child)
        return end;
    end.peakKilobytes = usage.ru_maxrss;
    if (WIFEXITED(status))
        end.exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        end.signal = WTERMSIG(status);
    return end;
}

}  // namespace vantelo::test
