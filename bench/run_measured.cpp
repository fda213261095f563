// Runs a command and reports its wall time and peak memory (maximum resident set), so a
// benchmark measures the real program as a user starts it.
//
//   qm_run_measured COMMAND [ARGS...]    (the command's standard output goes to /dev/null)

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fputs("usage: qm_run_measured COMMAND [ARGS...]\n", stderr);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) < 0) {
        std::perror("qm_run_measured");
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("wall_seconds=%.3f max_rss_mb=%.1f exit=%d\n", seconds,
                static_cast<double>(usage.ru_maxrss) / 1024.0,
                WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
