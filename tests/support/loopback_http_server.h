#pragma once
// A loopback HTTP server for the tests: a Python script (with its arguments) started as a child
// process, which prints the port it listens on as its first line. Stopped (SIGTERM) on
// destruction.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace dorvan::test {

class LoopbackHttpServer {
  public:
    explicit LoopbackHttpServer(const char* script, const std::vector<std::string>& args = {}) {
        std::vector<char*> argv{const_cast<char*>("python3"), const_cast<char*>(script)};
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        int fds[2];
        if (::pipe(fds) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::close(fds[0]);
            ::close(fds[1]);
            ::execvp("python3", argv.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string line;
        char c = 0;
        while (::read(fds[0], &c, 1) == 1 && c != '\n') {
            line += c;
        }
        ::close(fds[0]);
        port_ = line.empty() ? 0 : std::stoi(line);
    }
    ~LoopbackHttpServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    bool Running() const { return port_ > 0; }
    int Port() const { return port_; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }

  private:
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace dorvan::test
