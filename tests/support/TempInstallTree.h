#ifndef MINTU_TESTS_TEMPINSTALLTREE_H
#define MINTU_TESTS_TEMPINSTALLTREE_H
// A temporary directory for one test, removed afterwards, that also puts back what the test
// changed of the process: environment, working directory, install roots, installation values.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "port/Port_Env.h"
#include "port/Port_File.h"
#include "port/Port_OrvanePath.h"
#include "port/Port_Version.h"

namespace MintuTest {

class TempInstallTree {
 public:
  TempInstallTree()
      : savedCwd_(Port::File::getcwd().str()),
        savedRoots_(Port::OrvanePath::GetInstance().roots()) {
    std::random_device random;
    std::filesystem::path dir;
    do {
      dir = std::filesystem::temp_directory_path() / ("mintu-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(dir));
    base_ = std::filesystem::canonical(dir).string();
  }
  ~TempInstallTree() {
    Port::File::chdir(savedCwd_.c_str());
    Port::OrvanePath::GetInstance().Set(savedRoots_);
    Port::Version::resetValues();
    for (const auto& saved : savedEnv_) {
      SetEnv(saved.first, saved.second.first ? saved.second.second.c_str() : nullptr);
    }
    // Everything made removable again, even what a test made unreadable.
    std::error_code ignored;
    for (std::filesystem::recursive_directory_iterator it(base_, ignored), end; it != end;
         it.increment(ignored)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(base_, ignored);
  }
  TempInstallTree(const TempInstallTree&) = delete;
  TempInstallTree& operator=(const TempInstallTree&) = delete;

  const std::string& base() const { return base_; }      ///< absolute, no trailing separator
  std::string Path(const std::string& relative) const {  // in the platform's spelling
    return (std::filesystem::path(base_) / relative).make_preferred().string();
  }
  // MakeDir and WriteFile create the parents too, and give the path back.
  std::string MakeDir(const std::string& relative) const {
    return std::filesystem::create_directories(Path(relative)), Path(relative);
  }
  std::string WriteFile(const std::string& relative, const std::string& content) const {
    const std::filesystem::path path = Path(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    if (!out.write(content.data(), static_cast<std::streamsize>(content.size()))) {
      throw std::runtime_error("cannot write " + path.string());
    }
    return path.string();
  }
  /// A whole file; `text`: read as a program's output is, CR LF as LF on Windows.
  static std::string ReadFile(const std::string& path, bool text = false) {
    std::ifstream in(path, text ? std::ios::in : std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  /// Sets the install-root list to these directories under base().
  void SetRoots(const std::vector<std::string>& relativeRoots) const {
    std::vector<Port::StringBase<char> > roots;
    for (const std::string& root : relativeRoots) roots.push_back(Path(root));
    Port::OrvanePath::GetInstance().Set(roots);
  }
  /// Sets (or with null unsets) an environment variable until the end.
  void SetEnv(const std::string& name, const char* value) {
    const char* old = Port_Env::GetEnv(name.c_str());
    savedEnv_.emplace(name, std::make_pair(old != nullptr, old != nullptr ? old : ""));
    value != nullptr ? Port_Env::SetEnv(name.c_str(), value) : Port_Env::UnsetEnv(name.c_str());
  }

 private:
  std::string base_, savedCwd_;
  std::vector<Port::StringBase<char> > savedRoots_;
  std::map<std::string, std::pair<bool, std::string> > savedEnv_;
};

}  // namespace MintuTest

#endif  // MINTU_TESTS_TEMPINSTALLTREE_H
