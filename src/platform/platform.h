// The thin layer between the program and the operating system. Everything here
// has a POSIX implementation in posix/; nothing above this layer includes a
// system header for these services.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// ---- Console -------------------------------------------------------------
// Writes one line (the platform's line end is appended) to standard output.
void WriteLine(const std::string& line);
// Writes one line to standard error.
void WriteErrorLine(const std::string& line);
// Sets the terminal title when standard output is a terminal.
void SetConsoleTitle(const std::string& title);
// Waits for one key press; returns at once when standard input is not a terminal.
void WaitForKey();

// ---- Single-instance lock -------------------------------------------------
class InstanceLock {
 public:
  // Takes the lock named after `name`; held() tells whether it was had.
  explicit InstanceLock(const std::string& name);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// ---- Files and folders ----------------------------------------------------
// Folder of the running executable, ending in "/".
std::string ProgramFolder();
// Full path of the running executable.
std::string ProgramPath();
// Per-user configuration folder ($XDG_CONFIG_HOME or ~/.config), ending in "/".
std::string UserConfigFolder();
bool CreateFolder(const std::string& path);
bool IsFolder(const std::string& path);

inline constexpr int64_t kSizeMissing = -1;
inline constexpr int64_t kSizeFolder = -2;
// Size in bytes of a regular file; kSizeMissing or kSizeFolder otherwise.
int64_t FileSize(const std::string& path);

// Replaces the file at `path` with `bytes`: writes a new file beside it, flushes
// it to disk and renames it over the old one. On any failure the old file is
// left as it was and no temporary file remains. A new file gets the usual
// permissions; a replaced one keeps its own.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

// Modification time as a local-calendar date value (seconds since 1970-01-01
// 00:00:00 of the local calendar); false when it cannot be read.
bool FileModifiedLocal(const std::string& path, int64_t& localSeconds);
bool SetFileModifiedLocal(const std::string& path, int64_t localSeconds);

// ---- Clock and random numbers ---------------------------------------------
// The current local date-time as a date value.
int64_t NowLocal();
struct LocalTime {
  int year, month, day, hour, minute, second;
};
LocalTime NowLocalParts();
// Uniform integer in [low, high].
int RandomInt(int low, int high);

// Size of the primary desktop; {0, 0} when no display is known to this layer.
struct DesktopSize {
  int width = 0, height = 0;
};
DesktopSize PrimaryDesktopSize();
// The graphical face registers the real size once it knows it.
void SetPrimaryDesktopSize(DesktopSize size);

}  // namespace platform
