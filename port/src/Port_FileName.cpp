// Port::FileName: head/tail bookkeeping is plain text work; making paths
// absolute goes through std::filesystem (error_code overloads, never throws).

#include "port/Port_FileName.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "Port_PathText.h"

#include "Port_Windows.h"

namespace fs = std::filesystem;

namespace Port {

namespace {

using Text = StringBase<char>;

// Index just past the last separator of `path`, 0 when it holds none.
std::size_t TailStart(const std::string& path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (FileName::IsSeparator(path[i - 1])) return i;
  }
  return 0;
}

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && FileName::IsSeparator(path.back());
}

// `path` without its trailing separators, unless nothing (or, on Windows, only
// a drive) would remain: a root keeps one separator.
std::string StripTrailingSeparators(const std::string& path) {
  std::size_t end = path.size();
  while (end > 0 && FileName::IsSeparator(path[end - 1])) --end;
  if (end == path.size()) return path;
  if (end == 0) return path.substr(0, 1);
#ifdef _WIN32
  if (path[end - 1] == ':') return path.substr(0, end + 1);
#endif
  return path.substr(0, end);
}

std::string WithTrailingSeparator(const std::string& path) {
  if (path.empty() || EndsWithSeparator(path)) return path;
  return path + FileName::GetPathSeparator();
}

#ifdef _WIN32
// The system's own resolution: against the working directory of the path's
// drive, and keeping a UNC name's leading "\\" (std::filesystem's lexical
// steps here fold "\\server\share" into a name on the current drive).
// Doubled separators after the prefix are collapsed. Empty on failure.
fs::path FullPath(const fs::path& path) {
  if (path.empty()) return fs::path();
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return fs::path();
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
  if (length == 0 || length >= size) return fs::path();
  full.resize(length);
  std::wstring collapsed;
  for (std::size_t i = 0; i < full.size(); ++i) {
    if (i >= 2 && full[i] == L'\\' && collapsed.back() == L'\\') continue;
    collapsed += full[i];
  }
  return fs::path(collapsed);
}
#endif

// `path` made absolute against the working directory, with "." and ".."
// steps and doubled separators removed; empty if the system cannot tell.
std::string Absolute(const std::string& path, bool resolveLinks) {
  std::error_code error;
#ifdef _WIN32
  fs::path result = FullPath(Detail::PathOf(path));
  if (result.empty()) return std::string();
#else
  fs::path result = fs::absolute(Detail::PathOf(path), error);
  if (error) return std::string();
  result = result.lexically_normal();
#endif
  if (resolveLinks) {
    const fs::path resolved = fs::weakly_canonical(result, error);
    if (!error) result = resolved;
  }
  std::string text = Detail::TextOf(result);
  if (EndsWithSeparator(path)) text = WithTrailingSeparator(text);
  return text;
}

}  // namespace

FileName::FileName(const StringBase<char>& path) {
  const std::size_t split = TailStart(path.str());
  head_ = Text(path.GetBuffer(), split);
  tail_ = Text(path.GetBuffer() + split, path.GetLength() - split);
}

FileName::FileName(const char* path) : FileName(Text(path)) {}

void FileName::SetHead(const StringBase<char>& head) { head_ = head; }

void FileName::SetTail(const StringBase<char>& tail) { tail_ = tail; }

void FileName::PushPathEnd(const StringBase<char>& relative) { head_ = Join(head_, relative); }

StringBase<char> FileName::GetHead(bool withSeparator, bool absolute) const {
  std::string head = head_.str();
  if (absolute) {
    head = head.empty() ? Absolute(".", false) : Absolute(head, false);
  }
  if (head.empty()) return Text();
  return withSeparator ? WithTrailingSeparator(head) : StripTrailingSeparators(head);
}

StringBase<char> FileName::GetFullPath() const { return Join(head_, tail_); }

StringBase<char> FileName::GetAbsolutePath(bool resolveLinks) const {
  const Text full = GetFullPath();
  if (full.IsEmpty()) return Text();
  return Absolute(full.str(), resolveLinks);
}

StringBase<char> FileName::MakeNative() const {
  std::string path = GetFullPath().str();
#ifdef _WIN32
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
#endif
  return path;
}

char FileName::GetPathSeparator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

bool FileName::IsSeparator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

StringBase<char> FileName::Join(const StringBase<char>& a, const StringBase<char>& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  const std::string& left = a.str();
  const std::string& right = b.str();
  std::size_t leftEnd = left.size();
  while (leftEnd > 0 && IsSeparator(left[leftEnd - 1])) --leftEnd;
  std::size_t rightStart = 0;
  while (rightStart < right.size() && IsSeparator(right[rightStart])) ++rightStart;
  // Keep a separator that already stands (the head's first); add one only
  // where neither side has any.
  std::string joined = left.substr(0, leftEnd);
  if (leftEnd < left.size()) {
    joined += left[leftEnd];
  } else if (rightStart > 0) {
    joined += right[0];
  } else {
    joined += GetPathSeparator();
  }
  joined.append(right, rightStart, std::string::npos);
  return joined;
}

}  // namespace Port
