#include "support/TempInstallTree.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "port/Port_Env.h"
#include "port/Port_File.h"
#include "port/Port_OrvanePath.h"
#include "port/Port_Version.h"

namespace fs = std::filesystem;

namespace MintuTest {

TempInstallTree::TempInstallTree() : savedCwd_(Port::File::getcwd().str()) {
  std::random_device random;
  fs::path dir;
  do {
    dir = fs::temp_directory_path() / ("mintu-test-" + std::to_string(random()));
  } while (!fs::create_directory(dir));
  base_ = fs::canonical(dir).string();
  for (const auto& root : Port::OrvanePath::GetInstance().roots())
    savedRoots_.push_back(root.str());
}

TempInstallTree::~TempInstallTree() {
  Port::File::chdir(savedCwd_.c_str());
  Port::OrvanePath::GetInstance().Set(
      std::vector<Port::StringBase<char> >(savedRoots_.begin(), savedRoots_.end()));
  Port::Version::resetValues();
  for (const auto& saved : savedEnv_)
    SetEnv(saved.first, saved.second.first ? saved.second.second.c_str() : nullptr);
  std::error_code ignored;
  // Make everything removable again, even what a test made unreadable.
  for (auto it = fs::recursive_directory_iterator(base_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(base_, ignored);
}

std::string TempInstallTree::Path(const std::string& relative) const {
  return (fs::path(base_) / relative).make_preferred().string();
}

std::string TempInstallTree::MakeDir(const std::string& relative) const {
  return fs::create_directories(Path(relative)), Path(relative);
}

std::string TempInstallTree::WriteFile(const std::string& relative,
                                       const std::string& content) const {
  const fs::path path = Path(relative);
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  if (!out.write(content.data(), static_cast<std::streamsize>(content.size()))) {
    throw std::runtime_error("cannot write " + path.string());
  }
  return path.string();
}

std::string TempInstallTree::ReadFile(const std::string& path, bool text) {
  std::ifstream in(path, text ? std::ios::in : std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void TempInstallTree::SetRoots(const std::vector<std::string>& relativeRoots) const {
  std::vector<Port::StringBase<char> > roots;
  for (const std::string& root : relativeRoots) roots.push_back(Path(root));
  Port::OrvanePath::GetInstance().Set(roots);
}

void TempInstallTree::SetEnv(const std::string& name, const char* value) {
  const char* old = Port_Env::GetEnv(name.c_str());
  savedEnv_.emplace(name, std::make_pair(old != nullptr, old != nullptr ? old : ""));
  if (value != nullptr) {
    Port_Env::SetEnv(name.c_str(), value);
  } else {
    Port_Env::UnsetEnv(name.c_str());
  }
}

}  // namespace MintuTest
