// Port_SafeFile: a file is rewritten through a temporary file in its own
// folder that is flushed to the disk and then renamed over it, so readers see
// the old content or the new and nothing in between. Temporary files being
// written are listed where a signal handler (or, on Windows, a console
// handler) can remove them.

#include "port/Port_SafeFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#ifdef __linux__
#include <sys/xattr.h>
#endif
#endif

namespace Port {

namespace {

namespace fs = std::filesystem;

void (*beforeReplaceHook)(const std::string&) = nullptr;

// ------------------------------------------- Temporary files to remove on interruption
// Fixed slots, so the handler reads them without locks or allocation: a slot
// is marked used only once its path is complete.

const int SLOTS = 32;
const std::size_t SLOT_PATH = 4096;
char slotPaths[SLOTS][SLOT_PATH];
std::atomic<bool> slotUsed[SLOTS];
std::mutex registryMutex;
int slotsInUse = 0;

void RemoveRegistered() {
  for (int i = 0; i < SLOTS; ++i) {
    if (slotUsed[i].load()) {
#ifdef _WIN32
      ::DeleteFileA(slotPaths[i]);
#else
      ::unlink(slotPaths[i]);
#endif
    }
  }
}

#ifdef _WIN32

BOOL WINAPI OnConsoleEvent(DWORD) {
  RemoveRegistered();
  return FALSE;  // the next handler (in the end the system's) goes on as usual
}

void InstallHandlers() { ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }
void RestoreHandlers() { ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE); }

#else

const int SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
const int SIGNAL_COUNT = 3;
struct sigaction previousActions[SIGNAL_COUNT];
bool replaced[SIGNAL_COUNT];

// Async-signal-safe: unlink, sigaction and raise only. The signal is raised
// again under the action it had before, which runs once this returns.
extern "C" void OnTerminatingSignal(int signal) {
  const int saved = errno;
  RemoveRegistered();
  for (int i = 0; i < SIGNAL_COUNT; ++i) {
    if (SIGNALS[i] == signal) ::sigaction(signal, &previousActions[i], nullptr);
  }
  ::raise(signal);
  errno = saved;
}

// A signal the process ignores stays ignored.
void InstallHandlers() {
  struct sigaction ours = {};
  ours.sa_handler = OnTerminatingSignal;
  sigemptyset(&ours.sa_mask);
  for (int i = 0; i < SIGNAL_COUNT; ++i) {
    struct sigaction current = {};
    replaced[i] = ::sigaction(SIGNALS[i], nullptr, &current) == 0 &&
                  current.sa_handler != SIG_IGN &&
                  ::sigaction(SIGNALS[i], &ours, &previousActions[i]) == 0;
  }
}

void RestoreHandlers() {
  for (int i = 0; i < SIGNAL_COUNT; ++i) {
    if (replaced[i]) ::sigaction(SIGNALS[i], &previousActions[i], nullptr);
    replaced[i] = false;
  }
}

// Holds the terminating signals back while a temporary file is made and
// registered, or renamed and forgotten, so neither happens half.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : SIGNALS) sigaddset(&set, signal);
    ::pthread_sigmask(SIG_BLOCK, &set, &saved_);
  }
  ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t saved_;
};

#endif

// The slot now holding `path`, or -1 when it is too long or all are taken
// (the file is then not removed on interruption).
int Register(const std::string& path) {
  if (path.size() >= SLOT_PATH) return -1;
  std::lock_guard<std::mutex> lock(registryMutex);
  for (int i = 0; i < SLOTS; ++i) {
    if (slotUsed[i].load()) continue;
    std::memcpy(slotPaths[i], path.c_str(), path.size() + 1);
    if (slotsInUse++ == 0) InstallHandlers();
    slotUsed[i].store(true);
    return i;
  }
  return -1;
}

void Unregister(int slot) {
  if (slot < 0) return;
  std::lock_guard<std::mutex> lock(registryMutex);
  slotUsed[slot].store(false);
  if (--slotsInUse == 0) RestoreHandlers();
}

// ------------------------------------------------------------ Helpers

// What an existing file may not be replaced for: its kind, its hard links
// (the others would keep the old content), a mode without write permission.
int RefusedReplacement(const SafeFile::Target& target) {
  if (!target.exists) return 0;
  if (target.kind != 0) return target.kind;
  if (target.links > 1) return SafeFile::HARD_LINKED;
  return target.writable ? 0 : EACCES;
}

#ifndef _WIN32

// The folder holding `path`, for the temporary file beside it.
std::string FolderOf(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

int KindOf(mode_t mode) {
  if (S_ISREG(mode)) return 0;
  if (S_ISDIR(mode)) return EISDIR;
  if (S_ISFIFO(mode)) return SafeFile::FIFO;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return SafeFile::DEVICE;
  return SafeFile::NOT_REGULAR;
}

void NoteIdentity(const struct stat& status, SafeFile::Target& target) {
  target.kind = KindOf(status.st_mode);
  target.regular = target.kind == 0;
  target.links = static_cast<unsigned long>(status.st_nlink);
  target.device = static_cast<unsigned long long>(status.st_dev);
  target.inode = static_cast<unsigned long long>(status.st_ino);
  target.size = static_cast<unsigned long long>(status.st_size);
  target.modified = static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL +
                    static_cast<long long>(status.st_mtim.tv_nsec);
}

// Writes all of `data` at `offset` (or at the end when negative), retrying
// short writes and interruptions.
int WriteAll(int fd, const char* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t written = offset < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
    if (offset >= 0) offset += written;
  }
  return 0;
}

#ifdef __linux__
// The attributes a file system may refuse to a process without the right
// to set them; the others (user.*, the ACLs) must come along.
bool Optional(const char* name) {
  return std::strncmp(name, "security.", 9) == 0 || std::strncmp(name, "trusted.", 8) == 0;
}

int CopyExtendedAttributes(const std::string& from, int fd) {
  ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
  // A list holds at least one name and its NUL: no size of 1 is returned.
  if (size <= 0) return size == 0 || errno == ENOTSUP ? 0 : errno;  // no-mutate
  std::vector<char> names(static_cast<std::size_t>(size));
  size = ::listxattr(from.c_str(), names.data(), names.size());
  if (size < 0) return errno;
  std::vector<char> value;
  for (const char* name = names.data(); name < names.data() + size; name += std::strlen(name) + 1) {
    ssize_t length = ::getxattr(from.c_str(), name, nullptr, 0);
    if (length >= 0) {
      value.resize(static_cast<std::size_t>(length) + 1);
      length = ::getxattr(from.c_str(), name, value.data(), value.size());
    }
    if (length < 0) return errno;
    if (::fsetxattr(fd, name, value.data(), static_cast<std::size_t>(length), 0) != 0 &&
        !Optional(name)) {
      return errno;
    }
  }
  return 0;
}
#else
int CopyExtendedAttributes(const std::string&, int) { return 0; }
#endif

// Gives the temporary file the owner and group (first: changing them clears
// the set-user-ID bits and capabilities), the extended attributes and ACLs,
// then the mode of the file it replaces.
int CopyAttributes(int fd, const std::string& from) {
  struct stat was;
  struct stat now;
  if (::stat(from.c_str(), &was) != 0 || ::fstat(fd, &now) != 0) return errno;
  if ((was.st_uid != now.st_uid || was.st_gid != now.st_gid) &&
      ::fchown(fd, was.st_uid, was.st_gid) != 0) {
    return errno;
  }
  if (int error = CopyExtendedAttributes(from, fd)) return error;
  return ::fchmod(fd, was.st_mode & 07777) == 0 ? 0 : errno;
}

int NewFileMode(int fd) {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return ::fchmod(fd, 0666 & ~mask) == 0 ? 0 : errno;
}

// Whether the target is still the file examined; a file made meanwhile where
// there was none counts as a change too.
int CheckUnchanged(const SafeFile::Target& target) {
  struct stat status;
  if (::stat(target.path.c_str(), &status) != 0) {
    return errno == ENOENT && !target.exists ? 0 : SafeFile::CHANGED;
  }
  SafeFile::Target now;
  NoteIdentity(status, now);
  const bool same = target.exists && now.device == target.device && now.inode == target.inode &&
                    now.size == target.size && now.modified == target.modified;
  return same ? 0 : SafeFile::CHANGED;
}

#endif

}  // namespace

// ------------------------------------------------------------- POSIX

#ifndef _WIN32

int SafeFile::inspect(const std::string& name, Target& target) {
  target = Target();
  char resolved[PATH_MAX];
  if (::realpath(name.c_str(), resolved) == nullptr) {
    if (errno != ENOENT) return errno;
    target.path = name;  // a new file (or the name of a dangling link)
    return 0;
  }
  target.path = resolved;
  struct stat status;
  if (::stat(resolved, &status) != 0) return errno;
  target.exists = true;
  NoteIdentity(status, target);
  // The superuser passes access(); the mode bits still say what the owner meant.
  target.writable = (status.st_mode & 0222) != 0 && ::access(resolved, W_OK) == 0;
  return 0;
}

SafeFile::Reader::~Reader() {
  if (fd_ >= 0) ::close(fd_);
}

int SafeFile::Reader::open(Target& target) {
  if (target.kind != 0) return target.kind;
  fd_ = ::open(target.path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) return errno;
  struct stat status;
  if (::fstat(fd_, &status) != 0) return errno;
  NoteIdentity(status, target);
  if (target.kind != 0) return target.kind;
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) return errno;
  return 0;
}

std::size_t SafeFile::Reader::read(char* data, std::size_t size, int& error) {
  std::size_t total = 0;
  while (total < size) {
    const ssize_t got = ::read(fd_, data + total, size - total);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    total += static_cast<std::size_t>(got);
  }
  return total;
}

SafeFile::Replacement::~Replacement() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  Unregister(slot_);
}

int SafeFile::Replacement::open() {
  if (int refused = RefusedReplacement(target_)) return refused;
  std::string name =
      FolderOf(target_.path) + "/." + fs::path(target_.path).filename().string() + ".XXXXXX";
  SignalsHeld held;
  fd_ = ::mkstemp(&name[0]);
  if (fd_ < 0) return errno;
  temporary_ = name;
  slot_ = Register(temporary_);
  return 0;
}

int SafeFile::Replacement::write(const char* data, std::size_t size) {
  return WriteAll(fd_, data, size, -1);
}

int SafeFile::Replacement::rewrite(unsigned long long offset, const char* data, std::size_t size) {
  return WriteAll(fd_, data, size, static_cast<off_t>(offset));
}

int SafeFile::Replacement::commit() {
  int error = ::fsync(fd_) == 0 ? 0 : errno;
  if (error == 0) error = target_.exists ? CopyAttributes(fd_, target_.path) : NewFileMode(fd_);
  if (::close(fd_) != 0 && error == 0) error = errno;
  fd_ = -1;
  if (error != 0) return error;
  if (beforeReplaceHook != nullptr) beforeReplaceHook(target_.path);
  {
    SignalsHeld held;
    error = CheckUnchanged(target_);
    if (error == 0 && ::rename(temporary_.c_str(), target_.path.c_str()) != 0) error = errno;
    if (error != 0) return error;  // the destructor removes the temporary file
    temporary_.clear();
    Unregister(slot_);
    slot_ = -1;
  }
  // The rename itself is made durable by flushing the folder.
  const int folder = ::open(FolderOf(target_.path).c_str(), O_RDONLY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return 0;
}

void SafeFile::guardStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int null = ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
    if (null >= 0 && null != fd) {
      ::dup2(null, fd);
      ::close(null);
    }
  }
}

std::string SafeFile::executablePath() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

#else

// ------------------------------------------------------------- Windows
// Files carry no owner or mode bits to copy here. An existing file is
// replaced with ReplaceFileA, which keeps its ACL, attributes and streams;
// a new file takes the ACL its folder passes on. Inode numbers are not
// given by the C library: the size and modification time are compared.

namespace {

void NoteIdentity(const struct _stat64& status, SafeFile::Target& target) {
  const int type = status.st_mode & _S_IFMT;
  target.kind = type == _S_IFREG ? 0 : type == _S_IFDIR ? EISDIR : SafeFile::NOT_REGULAR;
  target.regular = target.kind == 0;
  target.size = static_cast<unsigned long long>(status.st_size);
  target.modified = static_cast<long long>(status.st_mtime) * 1000000000LL;
}

// The C library's error number for a failed Windows call.
int LastError() {
  switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return EACCES;
    default:
      return EIO;
  }
}

// Opens `path` sharing it fully: our own reading must not stop the file
// being replaced, nor another program's use stop us reading it.
HANDLE OpenShared(const std::string& path, DWORD access) {
  return ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

int SafeFile::inspect(const std::string& name, Target& target) {
  target = Target();
  std::error_code error;
  const fs::file_status status = fs::status(name, error);
  if (error && status.type() != fs::file_type::not_found) return error.value();
  if (status.type() == fs::file_type::not_found) {
    target.path = name;
    return 0;
  }
  target.path = fs::canonical(name, error).string();
  if (error) return error.value();
  struct _stat64 info;
  if (::_stat64(target.path.c_str(), &info) != 0) return errno;
  target.exists = true;
  NoteIdentity(info, target);
  // The C library counts one link whatever the file has; the system knows.
  const HANDLE file = OpenShared(target.path, FILE_READ_ATTRIBUTES);
  if (file == INVALID_HANDLE_VALUE) return LastError();
  BY_HANDLE_FILE_INFORMATION information;
  const BOOL known = ::GetFileInformationByHandle(file, &information);
  ::CloseHandle(file);
  if (!known) return LastError();
  target.links = information.nNumberOfLinks;
  target.writable = (status.permissions() & fs::perms::owner_write) != fs::perms::none;
  return 0;
}

SafeFile::Reader::~Reader() {
  if (fd_ >= 0) ::_close(fd_);
}

int SafeFile::Reader::open(Target& target) {
  if (target.kind != 0) return target.kind;
  const HANDLE file = OpenShared(target.path, GENERIC_READ);
  if (file == INVALID_HANDLE_VALUE) return LastError();
  fd_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
  if (fd_ < 0) {
    ::CloseHandle(file);
    return EIO;
  }
  struct _stat64 status;
  if (::_fstat64(fd_, &status) != 0) return errno;
  NoteIdentity(status, target);
  return target.kind;
}

std::size_t SafeFile::Reader::read(char* data, std::size_t size, int& error) {
  std::size_t total = 0;
  while (total < size) {
    const std::size_t chunk = size - total > (1u << 30) ? (1u << 30) : size - total;
    const int got = ::_read(fd_, data + total, static_cast<unsigned>(chunk));
    if (got == 0) break;
    if (got < 0) {
      error = errno;
      break;
    }
    total += static_cast<std::size_t>(got);
  }
  return total;
}

SafeFile::Replacement::~Replacement() {
  if (fd_ >= 0) ::_close(fd_);
  if (!temporary_.empty()) ::_unlink(temporary_.c_str());
  Unregister(slot_);
}

int SafeFile::Replacement::open() {
  if (int refused = RefusedReplacement(target_)) return refused;
  const std::string name = target_.path + ".mintu-new";
  fd_ = ::_open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd_ < 0) return errno;
  temporary_ = name;
  slot_ = Register(temporary_);
  return 0;
}

int SafeFile::Replacement::write(const char* data, std::size_t size) {
  while (size > 0) {
    const std::size_t chunk = size > (1u << 30) ? (1u << 30) : size;
    const int written = ::_write(fd_, data, static_cast<unsigned>(chunk));
    if (written < 0) return errno;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

int SafeFile::Replacement::rewrite(unsigned long long offset, const char* data, std::size_t size) {
  const long long end = ::_lseeki64(fd_, 0, SEEK_END);
  if (end < 0 || ::_lseeki64(fd_, static_cast<long long>(offset), SEEK_SET) < 0) return errno;
  const int error = write(data, size);
  return ::_lseeki64(fd_, end, SEEK_SET) < 0 && error == 0 ? errno : error;
}

int SafeFile::Replacement::commit() {
  int error = ::_commit(fd_) == 0 ? 0 : errno;
  if (::_close(fd_) != 0 && error == 0) error = errno;
  fd_ = -1;
  if (error != 0) return error;
  if (beforeReplaceHook != nullptr) beforeReplaceHook(target_.path);
  if (target_.exists) {
    struct _stat64 status;
    Target now;
    if (::_stat64(target_.path.c_str(), &status) != 0) return CHANGED;
    NoteIdentity(status, now);
    if (now.size != target_.size || now.modified != target_.modified) return CHANGED;
  }
  const BOOL moved =
      target_.exists
          ? ::ReplaceFileA(target_.path.c_str(), temporary_.c_str(), nullptr,
                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
          : ::MoveFileExA(temporary_.c_str(), target_.path.c_str(), MOVEFILE_WRITE_THROUGH);
  if (!moved) return EACCES;
  temporary_.clear();
  Unregister(slot_);
  slot_ = -1;
  return 0;
}

void SafeFile::guardStandardStreams() {}

std::string SafeFile::executablePath() {
  char path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

#endif

// ------------------------------------------------------------- Both

SafeFile::Replacement::Replacement(const Target& target) : target_(target) {}

void SafeFile::Replacement::setBeforeReplaceHook(void (*hook)(const std::string& path)) {
  beforeReplaceHook = hook;
}

int SafeFile::replace(const Target& target, const char* data, std::size_t size) {
  Replacement replacement(target);
  int error = replacement.open();
  if (error == 0) error = replacement.write(data, size);
  return error != 0 ? error : replacement.commit();
}

int SafeFile::write(const std::string& name, const char* data, std::size_t size) {
  Target target;
  int error = inspect(name, target);
  if (error != 0 || !target.exists || target.regular) {
    return error != 0 ? error : replace(target, data, size);
  }
  if (target.kind == EISDIR) return EISDIR;
  std::FILE* out = std::fopen(name.c_str(), "wb");
  if (out == nullptr) return errno;
  std::fwrite(data, 1, size, out);
  error = std::fflush(out) != 0 || std::ferror(out) ? errno : 0;
  if (std::fclose(out) != 0 && error == 0) error = errno;
  return error;
}

std::string SafeFile::errorText(int error) {
  switch (error) {
    case CHANGED:
      return "it changed while it was being rewritten, and was left as it is";
    case HARD_LINKED:
      return "it has several hard links, and replacing it would split them";
    case FIFO:
      return "a FIFO (named pipe), not a regular file";
    case DEVICE:
      return "a device, not a regular file";
    case NOT_REGULAR:
      return "not a regular file";
    default:
      return std::generic_category().message(error);
  }
}

}  // namespace Port
