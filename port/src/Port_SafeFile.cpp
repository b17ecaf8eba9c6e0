// Port_SafeFile: a file is rewritten through a temporary file in its own
// folder that is flushed to the disk and then renamed over it, so readers see
// the old content or the new and nothing in between.

#include "port/Port_SafeFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#endif

namespace Port {

namespace {

namespace fs = std::filesystem;

#ifndef _WIN32

// The folder holding `path`, for the temporary file beside it.
std::string FolderOf(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

// Writes all of `data`, retrying short writes and interruptions.
int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

// Gives the temporary file the owner, group and mode of the file it replaces
// (owner first: changing it clears the set-user-ID bits).
int CopyAttributes(int fd, const std::string& from) {
  struct stat was;
  struct stat now;
  if (::stat(from.c_str(), &was) != 0 || ::fstat(fd, &now) != 0) return errno;
  if ((was.st_uid != now.st_uid || was.st_gid != now.st_gid) &&
      ::fchown(fd, was.st_uid, was.st_gid) != 0) {
    return errno;
  }
  return ::fchmod(fd, was.st_mode & 07777) == 0 ? 0 : errno;
}

int NewFileMode(int fd) {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return ::fchmod(fd, 0666 & ~mask) == 0 ? 0 : errno;
}

// Writes the temporary file completely; 0 or the error number.
int FillTemporary(int fd, const SafeFile::Target& target, const char* data, std::size_t size) {
  if (int error = WriteAll(fd, data, size)) return error;
  if (::fsync(fd) != 0) return errno;
  return target.exists ? CopyAttributes(fd, target.path) : NewFileMode(fd);
}

#endif

}  // namespace

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
  target.regular = S_ISREG(status.st_mode);
  target.links = static_cast<unsigned long>(status.st_nlink);
  // The superuser passes access(); the mode bits still say what the owner meant.
  target.writable = (status.st_mode & 0222) != 0 && ::access(resolved, W_OK) == 0;
  return 0;
}

int SafeFile::replace(const Target& target, const char* data, std::size_t size) {
  std::string temporary =
      FolderOf(target.path) + "/." + fs::path(target.path).filename().string() + ".XXXXXX";
  const int fd = ::mkstemp(&temporary[0]);
  if (fd < 0) return errno;
  int error = FillTemporary(fd, target, data, size);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), target.path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return error;
  }
  // The rename itself is made durable by flushing the folder.
  const int folder = ::open(FolderOf(target.path).c_str(), O_RDONLY);
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
  target.exists = true;
  target.regular = status.type() == fs::file_type::regular;
  target.links = static_cast<unsigned long>(fs::hard_link_count(target.path, error));
  target.writable = (status.permissions() & fs::perms::owner_write) != fs::perms::none;
  return 0;
}

int SafeFile::replace(const Target& target, const char* data, std::size_t size) {
  const std::string temporary = target.path + ".mintu-new";
  const int fd =
      ::_open(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return errno;
  int error = 0;
  while (error == 0 && size > 0) {
    const int chunk = size > 1u << 30 ? 1 << 30 : static_cast<int>(size);
    const int written = ::_write(fd, data, static_cast<unsigned>(chunk));
    if (written < 0) {
      error = errno;
    } else {
      data += written;
      size -= static_cast<std::size_t>(written);
    }
  }
  if (error == 0 && ::_commit(fd) != 0) error = errno;
  if (::_close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && !::MoveFileExA(temporary.c_str(), target.path.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = EACCES;
  }
  if (error != 0) ::_unlink(temporary.c_str());
  return error;
}

void SafeFile::guardStandardStreams() {}

std::string SafeFile::executablePath() {
  char path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

#endif

std::string SafeFile::errorText(int error) { return std::generic_category().message(error); }

}  // namespace Port
