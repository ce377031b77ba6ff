#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

#include "platform/platform.h"

namespace platform {

void WriteLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void WriteErrorLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void SetConsoleTitle(const std::string& title) {
  if (!isatty(STDOUT_FILENO)) return;
  std::printf("\033]0;%s\007", title.c_str());
  std::fflush(stdout);
}

void WaitForKey() {
  if (!isatty(STDIN_FILENO)) return;
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
  termios raw = saved;
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  char c;
  while (read(STDIN_FILENO, &c, 1) < 0 && errno == EINTR) {
  }
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

namespace {
std::string LockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime && IsFolder(runtime)) return runtime;
  const char* tmp = std::getenv("TMPDIR");
  if (tmp && *tmp && IsFolder(tmp)) return tmp;
  return "/tmp";
}
}  // namespace

InstanceLock::InstanceLock(const std::string& name) {
  const std::string path = LockFolder() + "/" + name + ".lock";
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return;
  }
  fd_ = fd;
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) close(fd_);  // closing releases the lock
}

std::string ProgramPath() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  return std::string(buf, static_cast<size_t>(n));
}

std::string ProgramFolder() {
  std::string path = ProgramPath();
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string UserConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (xdg && *xdg) {
    folder = xdg;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home ? home : "") + "/.config";
  }
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool CreateFolder(const std::string& path) { return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST; }

bool IsFolder(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t FileSize(const std::string& path) {
  struct stat st{};
  if (path.empty() || stat(path.c_str(), &st) != 0) return kSizeMissing;
  if (S_ISDIR(st.st_mode)) return kSizeFolder;
  return static_cast<int64_t>(st.st_size);
}

namespace {
bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The folder part of a path, for the temporary file and the final sync.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}
}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
  if (path.empty() || IsFolder(path)) return false;
  std::string temp;
  int fd = -1;
  // O_EXCL with a name of our own, instead of mkstemp, so that the umask sets the
  // permissions as for any file the user creates.
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp = path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(RandomInt(0, 999999));
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  struct stat old{};
  if (stat(path.c_str(), &old) == 0) fchmod(fd, old.st_mode & 07777);
  const bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable; a failure here no longer endangers the old file.
  const int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  return true;
}

namespace {
// Local-calendar seconds of a UTC instant: the local wall-clock fields read as if UTC.
int64_t UtcToLocalSeconds(time_t utc) {
  tm local{};
  localtime_r(&utc, &local);
  return static_cast<int64_t>(timegm(&local));
}

time_t LocalSecondsToUtc(int64_t localSeconds) {
  const time_t asUtc = static_cast<time_t>(localSeconds);
  tm fields{};
  gmtime_r(&asUtc, &fields);
  fields.tm_isdst = -1;  // let the zone rules decide
  return mktime(&fields);
}
}  // namespace

bool FileModifiedLocal(const std::string& path, int64_t& localSeconds) {
  struct stat st{};
  if (stat(path.c_str(), &st) != 0) return false;
  localSeconds = UtcToLocalSeconds(st.st_mtim.tv_sec);
  return true;
}

bool SetFileModifiedLocal(const std::string& path, int64_t localSeconds) {
  timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;  // access time stays
  times[1].tv_sec = LocalSecondsToUtc(localSeconds);
  times[1].tv_nsec = 0;
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

int64_t NowLocal() { return UtcToLocalSeconds(time(nullptr)); }

LocalTime NowLocalParts() {
  const time_t now = time(nullptr);
  tm t{};
  localtime_r(&now, &t);
  return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

int RandomInt(int low, int high) {
  thread_local std::mt19937 engine{std::random_device{}()};
  return std::uniform_int_distribution<int>(low, high)(engine);
}

namespace {
std::atomic<int> gDesktopWidth{0}, gDesktopHeight{0};
}

DesktopSize PrimaryDesktopSize() { return {gDesktopWidth.load(), gDesktopHeight.load()}; }

void SetPrimaryDesktopSize(DesktopSize size) {
  gDesktopWidth = size.width;
  gDesktopHeight = size.height;
}

}  // namespace platform
