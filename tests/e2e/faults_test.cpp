// The real binary against a hostile world: a full or read-only output file system,
// a missing output folder, an input that vanishes between the checks and the
// decode, and a process killed at random moments. Every failure must be clean:
// "Conversion stopped", exit code 1, no temporary file left behind, and an older
// file of the same name byte for byte intact.
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/fanotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <thread>

#include "support/process.h"
#include "support/support.h"

using namespace testing_support;

namespace {

bool IsTemporaryName(const std::string& name) {
  return name.size() == 19 && name.rfind(".velmora-", 0) == 0 && name.compare(15, 4, ".tmp") == 0;
}

// A complete JPEG that is not what any conversion here produces.
std::string OlderJpeg(const std::string& scratch) {
  TestBitmap b = MakeGradient(16, 16);
  EXPECT_TRUE(FreeImage_Save(FIF_JPEG, b.get(), scratch.c_str(), 0));
  return ReadFile(scratch);
}

// Mounting needs root. The test process then moves to a mount namespace of its
// own, so that no mount outlives it even if it dies; each mount is also undone
// when its holder goes out of scope.
std::string WhyMountsAreUnavailable() {
  if (geteuid() != 0) return "mounting a tmpfs needs root";
  static const std::string why = []() -> std::string {
    if (unshare(CLONE_NEWNS) != 0) return std::string("no private mount namespace: ") + std::strerror(errno);
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
      return std::string("mounts cannot be made private: ") + std::strerror(errno);
    return {};
  }();
  return why;
}

class Tmpfs {
 public:
  Tmpfs(const std::string& where, const std::string& options) : where_(where) {
    if (mount("tmpfs", where.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0)
      mounted_ = true;
    else
      error_ = std::strerror(errno);
  }
  ~Tmpfs() {
    if (mounted_ && umount2(where_.c_str(), 0) != 0) umount2(where_.c_str(), MNT_DETACH);
  }
  Tmpfs(const Tmpfs&) = delete;
  Tmpfs& operator=(const Tmpfs&) = delete;
  bool mounted() const { return mounted_; }
  const std::string& error() const { return error_; }
  bool RemountReadOnly() {
    return mount(nullptr, where_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
  }

 private:
  std::string where_;
  bool mounted_ = false;
  std::string error_;
};

#define MOUNT_TMPFS_OR_SKIP(name, where, options)                                   \
  if (const std::string why = WhyMountsAreUnavailable(); !why.empty()) GTEST_SKIP() << why; \
  Tmpfs name(where, options);                                                      \
  if (!name.mounted()) GTEST_SKIP() << "cannot mount a tmpfs: " << name.error()

// Fills the file system of `folder` with the file `filler` until exactly `pages`
// pages are free.
void FillLeaving(const std::string& folder, const std::string& filler, uint64_t pages) {
  const int fd = open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  const std::string block(4096, 'f');
  off_t written = 0;
  for (ssize_t n; (n = write(fd, block.data(), block.size())) > 0;) written += n;
  ASSERT_EQ(errno, ENOSPC);
  ASSERT_EQ(ftruncate(fd, written - static_cast<off_t>(pages * 4096)), 0);
  close(fd);
  struct statvfs st{};
  ASSERT_EQ(statvfs(folder.c_str(), &st), 0);
  ASSERT_EQ(st.f_bavail * st.f_frsize, pages * 4096);
}

class Faults : public ::testing::Test {
 protected:
  TempDir dir, runtime;
  std::string in = WriteTga(dir / "photo.tga", 512, 384);
  std::string out = dir / "out";
  std::string older = OlderJpeg(dir / "older.jpg");
  void SetUp() override { fs::create_directory(out); }
  RunResult Run(std::vector<std::string> args) { return RunVelmora(args, runtime.path()); }

  // The failed run said so, gave the cause on standard error, and left the
  // folder as it found it.
  void ExpectCleanFailure(const RunResult& r, const std::string& cause, const std::set<std::string>& namesBefore) {
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    ASSERT_FALSE(r.lines().empty());
    EXPECT_EQ(r.lines().back(), "Conversion stopped") << r.out;
    EXPECT_EQ(r.err.rfind("velmora: " + in + ": ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(cause), std::string::npos) << r.err;
    EXPECT_EQ(FileNames(out), namesBefore);
    EXPECT_TRUE(ReadFile(out + "/photo.jpg") == older) << "the older file changed";
  }
};

TEST_F(Faults, FullFileSystemKeepsTheOlderFile) {
  // The size of the JPEG this input gives, to run out of room just before its end.
  const std::string reference = dir / "reference";
  fs::create_directory(reference);
  ASSERT_EQ(Run({"-q", "-i", in, "-o", reference}).exitCode, 0);
  const uint64_t size = fs::file_size(reference + "/photo.jpg");
  ASSERT_GT(size, 8 * 4096u);

  // Room for nothing, for one block, and for all but the last partial block.
  for (const uint64_t pages : {uint64_t{0}, uint64_t{1}, (size - 1) / 4096}) {
    SCOPED_TRACE("free pages: " + std::to_string(pages) + " of a " + std::to_string(size) + "-byte JPEG");
    MOUNT_TMPFS_OR_SKIP(tmpfs, out, "size=4m");
    WriteFile(out + "/photo.jpg", older);
    FillLeaving(out, out + "/filler", pages);
    ExpectCleanFailure(Run({"-i", in, "-o", out}), "No space left on device", {"photo.jpg", "filler"});
  }
}

// The same without root: a file size limit stops the writes as a full disk would.
TEST_F(Faults, FileSizeLimitKeepsTheOlderFile) {
  const std::string reference = dir / "reference";
  fs::create_directory(reference);
  ASSERT_EQ(Run({"-q", "-i", in, "-o", reference}).exitCode, 0);
  const uint64_t size = fs::file_size(reference + "/photo.jpg");
  WriteFile(out + "/photo.jpg", older);
  for (const rlim_t limit : {rlim_t{4096}, static_cast<rlim_t>((size - 1) / 4096 * 4096)}) {
    SCOPED_TRACE("limit " + std::to_string(limit) + " bytes for a " + std::to_string(size) + "-byte JPEG");
    Process p({VELMORA_BINARY, "-i", in, "-o", out},
              {"XDG_RUNTIME_DIR=" + runtime.path(), "XDG_CONFIG_HOME=" + runtime.path() + "/config"}, [limit] {
                signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails instead of ending the process
                const rlimit fileSize{limit, limit};
                setrlimit(RLIMIT_FSIZE, &fileSize);
              });
    ASSERT_TRUE(p.Wait(60));
    ExpectCleanFailure(p.result(), "File too large", {"photo.jpg"});
  }
}

TEST_F(Faults, ReadOnlyOutputFolderKeepsTheOlderFile) {
  MOUNT_TMPFS_OR_SKIP(tmpfs, out, "size=1m");
  WriteFile(out + "/photo.jpg", older);
  ASSERT_TRUE(tmpfs.RemountReadOnly()) << std::strerror(errno);
  ExpectCleanFailure(Run({"-i", in, "-o", out}), "Read-only file system", {"photo.jpg"});
}

TEST_F(Faults, OutputNameInAFolderThatIsNotThere) {
  WriteFile(out + "/photo.jpg", older);
  WriteFile(out + "/file", "a file, not a folder");
  const std::pair<const char*, const char*> cases[] = {
      {"sub/%filename%.%ext%", "No such file or directory"},
      {"sub/deeper/%filename%.%ext%", "No such file or directory"},
      {"file/%filename%.%ext%", "Not a directory"},
  };
  for (const auto& [mask, cause] : cases) {
    SCOPED_TRACE(mask);
    ExpectCleanFailure(Run({"-i", in, "-o", out, std::string("--filename-mask=") + mask}), cause,
                       {"photo.jpg", "file"});
  }
}

// Holds every open of one file until the test has acted, then allows or denies it.
// The program's checks only look at the file (stat); its first open is the decode,
// so `act` runs exactly between the two.
class OpenGate {
 public:
  OpenGate(const std::string& path, bool allow, std::function<void()> act) : allow_(allow), act_(std::move(act)) {
    fd_ = fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY | O_LARGEFILE);
    if (fd_ < 0 || fanotify_mark(fd_, FAN_MARK_ADD, FAN_OPEN_PERM, AT_FDCWD, path.c_str()) != 0) {
      error_ = std::strerror(errno);
      return;
    }
    if (pipe2(stop_, O_CLOEXEC) != 0) {
      error_ = std::strerror(errno);
      return;
    }
    thread_ = std::thread([this] { Serve(); });
  }
  ~OpenGate() {
    if (thread_.joinable()) {
      const char c = 0;
      (void)!write(stop_[1], &c, 1);
      thread_.join();
    }
    for (int fd : {fd_, stop_[0], stop_[1]})
      if (fd >= 0) close(fd);  // closing allows anything still held
  }
  OpenGate(const OpenGate&) = delete;
  OpenGate& operator=(const OpenGate&) = delete;
  const std::string& error() const { return error_; }
  int opens() const { return opens_; }

 private:
  void Serve() {
    alignas(fanotify_event_metadata) char buffer[4096];
    for (;;) {
      pollfd fds[2] = {{fd_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
      if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
      if (fds[1].revents) return;
      if (!(fds[0].revents & POLLIN)) continue;
      const ssize_t n = read(fd_, buffer, sizeof buffer);
      if (n <= 0) continue;
      auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer);
      for (ssize_t left = n; FAN_EVENT_OK(event, left); event = FAN_EVENT_NEXT(event, left)) {
        if (event->mask & FAN_OPEN_PERM) {
          if (opens_++ == 0) act_();
          const fanotify_response answer{event->fd, static_cast<uint32_t>(allow_ ? FAN_ALLOW : FAN_DENY)};
          (void)!write(fd_, &answer, sizeof answer);
        }
        if (event->fd >= 0) close(event->fd);
      }
    }
  }

  bool allow_;
  std::function<void()> act_;
  int fd_ = -1;
  int stop_[2] = {-1, -1};
  std::string error_;
  std::atomic<int> opens_{0};
  std::thread thread_;
};

TEST_F(Faults, InputThatVanishesBeforeTheDecode) {
  if (geteuid() != 0) GTEST_SKIP() << "holding an open with fanotify needs root";
  struct Case {
    const char* name;
    bool allow;
    off_t keptBytes;  // the file is cut to this length while its open is held; -1: left alone
  };
  const Case cases[] = {
      {"unreadable", false, -1},
      {"emptied", true, 0},
      {"cut after the header", true, 18},
  };
  WriteFile(out + "/photo.jpg", older);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string input = WriteTga(dir / "vanishing.tga", 512, 384);
    OpenGate gate(input, c.allow, [&] {
      if (c.keptBytes >= 0) {
        EXPECT_EQ(truncate(input.c_str(), c.keptBytes), 0);
      }
    });
    if (!gate.error().empty()) GTEST_SKIP() << "fanotify permission events unavailable: " << gate.error();
    WriteFile(out + "/vanishing.jpg", older);
    const RunResult r = Run({"-i", input, "-o", out});
    EXPECT_GE(gate.opens(), 1);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_EQ(r.err.rfind("velmora: " + input + ": ", 0), 0u) << r.err;
    ASSERT_FALSE(r.lines().empty());
    EXPECT_EQ(r.lines().back(), "Conversion stopped") << r.out;
    EXPECT_EQ(FileNames(out), (std::set<std::string>{"photo.jpg", "vanishing.jpg"}));
    EXPECT_TRUE(ReadFile(out + "/vanishing.jpg") == older) << "the older file changed";
  }
}

TEST_F(Faults, InputThatIsNotAFileNeverBlocks) {
  // Opening a FIFO for reading would wait for a writer forever; /dev/zero never ends.
  ASSERT_EQ(mkfifo((dir / "fifo.tga").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", dir / "zero.tga");
  for (const char* name : {"fifo.tga", "zero.tga"}) {
    SCOPED_TRACE(name);
    Process p({VELMORA_BINARY, "-i", dir / name, "-o", out},
              {"XDG_RUNTIME_DIR=" + runtime.path(), "XDG_CONFIG_HOME=" + runtime.path() + "/config"});
    ASSERT_TRUE(p.Wait(30)) << "still running after 30 s";
    const RunResult r = p.result();
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    ASSERT_FALSE(r.lines().empty());
    EXPECT_EQ(r.lines().back(), "Error: Invalid input file") << r.out;
    EXPECT_TRUE(fs::is_empty(out));
  }
}

// Killed at any moment of a large conversion, the program leaves under the target
// name either the older file or the complete new one, never a part of it; at most
// a temporary file is left over, and the next run is not misled by it.
TEST_F(Faults, KilledAtRandomMomentsNeverLeavesAPartialFile) {
  const std::string big = WriteTga(dir / "big.tga", 6000, 4000);
  const std::string reference = dir / "reference";
  fs::create_directory(reference);
  const std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + runtime.path(),
                                        "XDG_CONFIG_HOME=" + runtime.path() + "/config"};
  auto start = [&](const std::string& folder) {
    return std::make_unique<Process>(std::vector<std::string>{VELMORA_BINARY, "-q", "-i", big, "-o", folder}, env);
  };

  const auto t0 = std::chrono::steady_clock::now();
  {
    auto p = start(reference);
    ASSERT_TRUE(p->Wait(300));
    ASSERT_EQ(p->exitCode(), 0) << p->output() << p->errors();
  }
  const double duration = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const std::string complete = ReadFile(reference + "/big.jpg");
  ASSERT_GT(complete.size(), 1000000u);

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed) + ", full run " + std::to_string(duration) + " s");
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> moment(0.0, duration * 1.15);
  const std::string target = out + "/big.jpg";
  int keptOlder = 0, wroteNew = 0, leftTemporary = 0;
  for (int attempt = 0; attempt < 20; ++attempt) {
    WriteFile(target, older);
    auto p = start(out);
    std::this_thread::sleep_for(std::chrono::duration<double>(moment(random)));
    p->Kill(SIGKILL);
    ASSERT_TRUE(p->Wait(60));
    const std::string now = ReadFile(target);
    if (p->exitCode() == 0)
      EXPECT_TRUE(now == complete) << "attempt " << attempt << ": the run finished, " << now.size() << " bytes";
    else
      EXPECT_TRUE(now == older || now == complete)
          << "attempt " << attempt << ": " << now.size() << " bytes under the target name";
    (now == older ? keptOlder : wroteNew)++;
    int temporaries = 0;
    for (const std::string& name : FileNames(out)) {
      if (name == "big.jpg") continue;
      EXPECT_TRUE(IsTemporaryName(name)) << name;
      ++temporaries;
    }
    leftTemporary = temporaries;
  }
  std::printf("[ kills    ] older file kept %d, new file complete %d, temporary files left %d\n", keptOlder,
              wroteNew, leftTemporary);

  WriteFile(target, older);
  auto p = start(out);
  ASSERT_TRUE(p->Wait(300));
  EXPECT_EQ(p->exitCode(), 0) << p->output() << p->errors();
  EXPECT_TRUE(ReadFile(target) == complete) << "the last run did not write the right file";
  for (const std::string& name : FileNames(out)) EXPECT_TRUE(name == "big.jpg" || IsTemporaryName(name)) << name;
}

}  // namespace
