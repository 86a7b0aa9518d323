// Children on POSIX: posix_spawn with pipes for the child's output and
// errors, read with poll so that a stop is seen while the child is quiet.
#include "core/services/ChildProcess.h"

#include "core/services/Error.h"
#include "core/services/PathMapper.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vellarion {

namespace fs = std::filesystem;

namespace {

// A descriptor closed when it goes.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

struct Pipe {
    Descriptor read;
    Descriptor write;
    bool open(std::string& why) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            why = std::strerror(errno);
            return false;
        }
        read.reset(fds[0]);
        write.reset(fds[1]);
        return true;
    }
};

// This process's environment with the request's variables set.
std::vector<std::string> environmentFor(const ChildRequest& request) {
    std::vector<std::string> variables;
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        const std::string_view entry(*e);
        const std::string_view name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const auto& [setName, value] : request.environment) {
            replaced = replaced || setName == name;
        }
        if (!replaced) {
            variables.emplace_back(entry);
        }
    }
    for (const auto& [name, value] : request.environment) {
        variables.push_back(name + "=" + value);
    }
    return variables;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> list;
    for (std::string& text : texts) {
        list.push_back(text.data());
    }
    list.push_back(nullptr);
    return list;
}

// Waits for the child's end, at most `patience` long; false when it still
// runs then.
bool reap(pid_t pid, int& status, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace

fs::path currentProgram() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        throw Error("Cannot tell where this program lies (" + ec.message() + ")");
    }
    return self;
}

ChildResult runChild(const ChildRequest& request) {
    ChildResult result;
    const std::optional<fs::path> found = programToStart(request.program);
    if (!found) {
        result.notStarted = std::strerror(ENOENT);
        return result;
    }
    const fs::path& program = *found;
    Pipe out;
    Pipe err;
    if ((!request.discardOutput && !out.open(result.notStarted)) || !err.open(result.notStarted)) {
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (request.discardOutput) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    } else {
        posix_spawn_file_actions_adddup2(&actions, out.write.get(), 1);
    }
    posix_spawn_file_actions_adddup2(&actions, err.write.get(), 2);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // Nothing of ours (a job's lock, an archive being written) reaches the child.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
    std::vector<std::string> argv{pathToUtf8(program)};
    argv.insert(argv.end(), request.arguments.begin(), request.arguments.end());
    std::vector<std::string> envp = environmentFor(request);
    std::vector<char*> argPointers = pointers(argv);
    std::vector<char*> envPointers = pointers(envp);
    pid_t pid = -1;
    const int started = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argPointers.data(),
                                      envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) {
        result.notStarted = std::strerror(started);
        return result;
    }
    out.write.reset();
    err.write.reset();

    LineSplitter lines([&](std::string_view line) {
        if (request.errorLine) {
            request.errorLine(line);
        }
    });
    bool stopped = false;
    char buffer[16384];
    while (out.read.get() >= 0 || err.read.get() >= 0) {
        if (!stopped && request.stopRequested && request.stopRequested()) {
            stopped = true;
            ::kill(pid, SIGTERM);
            break;
        }
        pollfd fds[2] = {{out.read.get(), POLLIN, 0}, {err.read.get(), POLLIN, 0}};
        const int ready = ::poll(fds, 2, 100);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        for (int i = 0; i < 2 && ready > 0; ++i) {
            if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                continue;
            }
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            Descriptor& from = i == 0 ? out.read : err.read;
            if (got <= 0) {
                from.reset();
            } else if (i == 0) {
                result.output.append(buffer, static_cast<std::size_t>(got));
            } else {
                lines.add(std::string_view(buffer, static_cast<std::size_t>(got)));
            }
        }
    }
    lines.finish();
    out.read.reset();
    err.read.reset();
    int status = 0;
    // A child that closed its pipes may still run: a stop still ends it.
    while (!stopped && !reap(pid, status, std::chrono::milliseconds(100))) {
        if (request.stopRequested && request.stopRequested()) {
            stopped = true;
            ::kill(pid, SIGTERM);
        }
    }
    if (stopped && !reap(pid, status, std::chrono::seconds(3))) {
        ::kill(pid, SIGKILL);
        reap(pid, status, std::chrono::hours(1));
    }
    if (stopped) {
        result.end = ChildResult::End::Stopped;
    } else if (WIFEXITED(status)) {
        result.end = ChildResult::End::Exited;
        result.exitCode = WEXITSTATUS(status);
    } else {
        result.end = ChildResult::End::Killed;
    }
    return result;
}

} // namespace vellarion
