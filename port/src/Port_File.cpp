// Port::File and Port::Stream over std::FILE*. Reading is buffered here so
// that lines of any length come back whole and the end of the file can be
// seen before asking for another line.

#include "port/Port_File.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "Port_PathText.h"
#include "Port_Windows.h"

namespace fs = std::filesystem;

namespace Port {

namespace {

// Bytes asked of the system per read.
const std::size_t kChunk = 64 * 1024;

// Streams opened and not yet closed. Constant-initialised, so usable by
// static objects of any source file at any time.
std::atomic<long> openStreams(0);

fs::path PathOf(const StringBase<char>& name) { return Detail::PathOf(name.str()); }

// fopen for a name read the way the std::filesystem calls here read it.
std::FILE* OpenFile(const StringBase<char>& name, const char* mode) {
#ifdef _WIN32
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return ::_wfopen(PathOf(name).c_str(), wideMode.c_str());
#else
  return std::fopen(name.c_str(), mode);
#endif
}

// A byte count as readline returns it; a line too long for a long (where a
// long has 32 bits) must still not read as the end of the file.
long ConsumedCount(std::size_t bytes) {
  return bytes > static_cast<std::size_t>(LONG_MAX) ? LONG_MAX : static_cast<long>(bytes);
}

// The fopen mode for an access mask; null for a mask that means nothing.
const char* ModeOf(int access, bool textMode) {
  const bool read = (access & File::ACCESS_READ) != 0;
  const bool write = (access & File::ACCESS_WRITE) != 0;
  const bool append = (access & File::ACCESS_APPEND) != 0;
  if ((access & ~(File::ACCESS_READ | File::ACCESS_WRITE | File::ACCESS_APPEND)) != 0) {
    return nullptr;
  }
  if (append) return read ? (textMode ? "a+" : "a+b") : (textMode ? "a" : "ab");
  if (read && write) return textMode ? "r+" : "r+b";
  if (write) return textMode ? "w" : "wb";
  if (read) return textMode ? "r" : "rb";
  return nullptr;
}

}  // namespace

Stream::Stream(std::FILE* file, const StringBase<char>& name)
    : file_(file), name_(name), position_(0), eof_(false), failed_(false) {}

Stream::~Stream() = default;

// Appends the next chunk of the file to the buffer, first dropping what has
// been consumed. False when nothing more could be read.
bool Stream::fill() {
  if (eof_ || failed_) return false;
  buffer_.erase(0, position_);
  position_ = 0;
  const std::size_t kept = buffer_.size();
  buffer_.resize(kept + kChunk);
  const std::size_t got = std::fread(&buffer_[kept], 1, kChunk, file_);
  buffer_.resize(kept + got);
  if (got < kChunk) {
    if (std::ferror(file_) != 0) {
      failed_ = true;
    } else {
      eof_ = true;
    }
  }
  return got > 0;
}

long Stream::readline(StringBase<char>& line) {
  line.Empty();
  std::size_t searched = position_;
  for (;;) {
    const std::size_t feed = buffer_.find('\n', searched);
    if (feed != std::string::npos) {
      const std::size_t consumed = feed + 1 - position_;
      line.Assign(buffer_.data() + position_, feed - position_);
      position_ = feed + 1;
      return ConsumedCount(consumed);
    }
    const std::size_t pending = buffer_.size() - position_;
    if (!fill()) break;
    searched = pending;  // fill() moved the unconsumed bytes to the front
  }
  if (failed_ || position_ == buffer_.size()) {
    position_ = buffer_.size();
    return 0;
  }
  // The last line of a file that does not end with a line feed.
  const std::size_t consumed = buffer_.size() - position_;
  line.Assign(buffer_.data() + position_, consumed);
  position_ = buffer_.size();
  return ConsumedCount(consumed);
}

std::size_t Stream::read(char* buffer, std::size_t size) {
  if (size == 0 || buffer == nullptr) return 0;
  // What readline or geteof buffered comes first.
  const std::size_t buffered = std::min(size, buffer_.size() - position_);
  if (buffered > 0) {
    std::memcpy(buffer, buffer_.data() + position_, buffered);
    position_ += buffered;
    if (position_ == buffer_.size()) {
      buffer_.clear();
      position_ = 0;
    }
  }
  std::size_t got = buffered;
  // The rest straight from the file, without a copy through the buffer.
  if (got < size && !eof_ && !failed_) {
    const std::size_t wanted = size - got;
    const std::size_t direct = std::fread(buffer + got, 1, wanted, file_);
    got += direct;
    if (direct < wanted) {
      if (std::ferror(file_) != 0) {
        failed_ = true;
      } else {
        eof_ = true;
      }
    }
  }
  return got;
}

bool Stream::geteof() {
  if (position_ < buffer_.size()) return false;
  return !fill();
}

bool Stream::write(const char* data, std::size_t length) {
  if (length == 0) return true;
  if (data == nullptr) return false;
  if (std::fwrite(data, 1, length, file_) != length) {
    failed_ = true;
    return false;
  }
  return true;
}

bool Stream::flush() {
  if (std::fflush(file_) != 0) {
    failed_ = true;
    return false;
  }
  return true;
}

bool File::exist(const StringBase<char>& name) {
  std::error_code error;
  return !name.IsEmpty() && fs::exists(PathOf(name), error);
}

bool File::isfile(const StringBase<char>& name) {
  std::error_code error;
  return !name.IsEmpty() && fs::is_regular_file(PathOf(name), error);
}

bool File::isdir(const StringBase<char>& name) {
  std::error_code error;
  return !name.IsEmpty() && fs::is_directory(PathOf(name), error);
}

bool File::canread(const StringBase<char>& name) {
  if (!isfile(name)) return false;
  // Trying is the only answer that holds for every platform's access rules.
  std::FILE* file = OpenFile(name, "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

Stream* File::open(const StringBase<char>& name, int access, bool textMode) {
  const char* mode = ModeOf(access, textMode);
  // Some systems open a directory for reading and only fail on read.
  if (mode == nullptr || name.IsEmpty() || isdir(name)) return nullptr;
  std::FILE* file = OpenFile(name, mode);
  if (file == nullptr) return nullptr;
  ++openStreams;
  return new Stream(file, name);
}

bool File::close(Stream* stream) {
  if (stream == nullptr) return false;
  const bool closed = std::fclose(stream->file_) == 0;
  const bool ok = closed && !stream->failed_;
  delete stream;
  --openStreams;
  return ok;
}

bool File::chdir(const StringBase<char>& directory) {
  if (directory.IsEmpty()) return false;
  std::error_code error;
  fs::current_path(PathOf(directory), error);
  return !error;
}

StringBase<char> File::getcwd() {
  // An empty name would pass for a directory: the guard that saved it could
  // then not say where it failed to return.
  const fs::path cwd = fs::current_path();
  std::string text = Detail::TextOf(cwd);
  const std::size_t rootLength = Detail::TextOf(cwd.root_path()).size();
  while (text.size() > rootLength && FileName::IsSeparator(text.back())) {
    text.pop_back();
  }
  return text;
}

bool File::rename(const StringBase<char>& from, const StringBase<char>& to) {
  if (from.IsEmpty() || to.IsEmpty()) return false;
#ifdef _WIN32
  return MoveFileExW(PathOf(from).c_str(), PathOf(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

long File::openStreamCount() { return openStreams.load(); }

}  // namespace Port
