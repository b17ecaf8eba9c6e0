// The install-root list, read from ORVANE on first use.

#include "port/Port_OrvanePath.h"

#include "port/Port_Env.h"

namespace Port {

void PathList::SetFromText(const StringBase<char>& pathList) {
  roots_.clear();
  const std::string& text = pathList.str();
  const char separator = Port_Env::GetPathListSeparator();
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(separator, start);
    if (end == std::string::npos) end = text.size();
    if (end > start) roots_.push_back(StringBase<char>(text.substr(start, end - start)));
    start = end + 1;
  }
}

void PathList::Reload() { SetFromText(StringBase<char>(Port_Env::GetEnv("ORVANE"))); }

PathList& OrvanePath::GetInstance() {
  // Never destroyed: static objects of other source files may still ask for
  // the roots while the process unloads.
  static PathList* const instance = [] {
    PathList* list = new PathList;
    list->Reload();
    return list;
  }();
  return *instance;
}

}  // namespace Port
