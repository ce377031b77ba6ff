// A child process the test can wait for with a deadline, or kill at a moment of
// its choosing; its standard output and error are captured.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/support.h"

namespace testing_support {

class Process {
 public:
  // Starts argv[0] with the extra "NAME=value" environment entries and no
  // terminal on standard input; `inChild` runs in the child just before the
  // program is started (to set limits, for example).
  explicit Process(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {},
                   const std::function<void()>& inChild = {})
      : out_(capture_dir_ / "out"), err_(capture_dir_ / "err") {
    std::fflush(nullptr);  // or the child's stdio would write our pending output again
    pid_ = fork();
    if (pid_ == 0) {
      for (const std::string& e : extraEnv) putenv(strdup(e.c_str()));
      std::freopen("/dev/null", "r", stdin);
      std::freopen(out_.c_str(), "w", stdout);
      std::freopen(err_.c_str(), "w", stderr);
      if (inChild) inChild();
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
  }
  ~Process() {
    if (running()) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status_, 0);
    }
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Waits up to `seconds`; false (and the process still running) when it has not ended by then.
  bool Wait(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running()) {
      const pid_t done = waitpid(pid_, &status_, WNOHANG);
      if (done == pid_) {
        ended_ = true;
        break;
      }
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }
  void Kill(int signal) {
    if (running()) kill(pid_, signal);
  }

  bool running() const { return pid_ > 0 && !ended_; }
  pid_t pid() const { return pid_; }
  // Exit code, or -1 when the process did not exit normally.
  int exitCode() const { return ended_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }
  // Signal that ended the process, or 0.
  int signal() const { return ended_ && WIFSIGNALED(status_) ? WTERMSIG(status_) : 0; }
  std::string output() const { return ReadFile(out_); }
  std::string errors() const { return ReadFile(err_); }
  // What the ended process printed, and how it ended, in the form RunVelmora gives.
  RunResult result() const { return RunResult{exitCode(), output(), errors()}; }

 private:
  TempDir capture_dir_;
  std::string out_, err_;
  pid_t pid_ = -1;
  int status_ = 0;
  bool ended_ = false;
};

}  // namespace testing_support
