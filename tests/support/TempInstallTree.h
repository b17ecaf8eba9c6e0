#ifndef MINTU_TESTS_TEMPINSTALLTREE_H
#define MINTU_TESTS_TEMPINSTALLTREE_H
// A temporary directory for one test, removed afterwards, that also puts back
// whatever the test changed of the process: environment variables, the
// working directory, the install-root list and the installation values.

#include <map>
#include <string>
#include <vector>

namespace MintuTest {

class TempInstallTree {
 public:
  TempInstallTree();
  ~TempInstallTree();
  TempInstallTree(const TempInstallTree&) = delete;
  TempInstallTree& operator=(const TempInstallTree&) = delete;

  const std::string& base() const { return base_; }  ///< absolute, no trailing separator
  /// `relative` under base(), in the platform's spelling.
  std::string Path(const std::string& relative) const;
  /// Creates the directory `relative` (and its parents); returns its path.
  std::string MakeDir(const std::string& relative) const;
  /// Writes `content` to `relative` (parents created); returns its path.
  std::string WriteFile(const std::string& relative, const std::string& content) const;
  /// A whole file; `text`: read as a program's output is, CR LF as LF on Windows.
  static std::string ReadFile(const std::string& path, bool text = false);
  /// Sets the install-root list to these directories under base().
  void SetRoots(const std::vector<std::string>& relativeRoots) const;
  /// Sets (or with null unsets) an environment variable until the end.
  void SetEnv(const std::string& name, const char* value);

 private:
  std::string base_, savedCwd_;
  std::vector<std::string> savedRoots_;
  std::map<std::string, std::pair<bool, std::string> > savedEnv_;
};

}  // namespace MintuTest

#endif  // MINTU_TESTS_TEMPINSTALLTREE_H
