#include "support/TempInstallTree.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "port/Port_Env.h"
#include "port/Port_File.h"
#include "port/Port_OrvanePath.h"
#include "port/Port_Version.h"

namespace fs = std::filesystem;

namespace MintuTest {

TempInstallTree::TempInstallTree() {
  std::random_device random;
  fs::path dir;
  for (int attempt = 0; attempt < 100; ++attempt) {
    dir = fs::temp_directory_path() / ("mintu-test-" + std::to_string(random()));
    if (fs::create_directory(dir)) break;
  }
  base_ = fs::canonical(dir).string();
  savedCwd_ = Port::File::getcwd().str();
  for (const Port::StringBase<char>& root : Port::OrvanePath::GetInstance().roots()) {
    savedRoots_.push_back(root.str());
  }
}

TempInstallTree::~TempInstallTree() {
  Port::File::chdir(savedCwd_.c_str());
  std::vector<Port::StringBase<char> > roots(savedRoots_.begin(), savedRoots_.end());
  Port::OrvanePath::GetInstance().Set(roots);
  Port::Version::resetValues();
  for (const auto& saved : savedEnv_) {
    if (saved.second.first) {
      Port_Env::SetEnv(saved.first.c_str(), saved.second.second.c_str());
    } else {
      Port_Env::UnsetEnv(saved.first.c_str());
    }
  }
  std::error_code ignored;
  // Make everything removable again, even what a test made unreadable.
  for (auto it = fs::recursive_directory_iterator(base_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(base_, ignored);
}

std::string TempInstallTree::Path(const std::string& relative) const {
  // In the platform's own spelling, as the library gives paths back.
  return (fs::path(base_) / relative).make_preferred().string();
}

std::string TempInstallTree::MakeDir(const std::string& relative) const {
  fs::create_directories(Path(relative));
  return Path(relative);
}

std::string TempInstallTree::WriteFile(const std::string& relative,
                                       const std::string& content) const {
  const fs::path path = Path(relative);
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
  return path.string();
}

std::string TempInstallTree::ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void TempInstallTree::SetRoots(const std::vector<std::string>& relativeRoots) const {
  std::vector<Port::StringBase<char> > roots;
  for (const std::string& root : relativeRoots) roots.push_back(Path(root));
  Port::OrvanePath::GetInstance().Set(roots);
}

void TempInstallTree::SetEnv(const std::string& name, const char* value) {
  if (savedEnv_.find(name) == savedEnv_.end()) {
    const char* old = Port_Env::GetEnv(name.c_str());
    savedEnv_[name] = std::make_pair(old != nullptr, old != nullptr ? std::string(old) : "");
  }
  if (value != nullptr) {
    Port_Env::SetEnv(name.c_str(), value);
  } else {
    Port_Env::UnsetEnv(name.c_str());
  }
}

}  // namespace MintuTest
