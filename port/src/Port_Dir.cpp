// UT_DIR: reads a directory's entry names once, through std::filesystem.

#include "port/Port_Dir.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "Port_PathText.h"

namespace fs = std::filesystem;

UT_DIR::UT_DIR(const Port::StringBase<char>& path, int flags) : open_(false) {
  if (path.IsEmpty()) return;
  std::error_code error;
  fs::directory_iterator it(Port::Detail::PathOf(path.str()), error);
  if (error) return;
  open_ = true;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (flags == DIRECTORIES_ONLY) {
      std::error_code kindError;
      if (!it->is_directory(kindError)) continue;
    }
    names_.push_back(Port::Detail::TextOf(it->path().filename()));
  }
  // An entry that vanished or a read failure midway leaves the names read so far.
  std::sort(names_.begin(), names_.end());
}

UT_DIR::~UT_DIR() = default;

void UT_DIR::close() {
  names_.clear();
  open_ = false;
}
