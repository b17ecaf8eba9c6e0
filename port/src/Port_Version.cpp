// Installation values and release-number splitting.

#include "port/Port_Version.h"

#include <map>

namespace Port {

const char* const Version::DEFAULT_RELEASE = "14.2";

namespace {

using Values = std::map<StringBase<char>, StringBase<char> >;

void SetDefaults(Values& values) {
  values.clear();
  values["version"] = Version::DEFAULT_RELEASE;
  values["product"] = "Orvane Mintaro";
  values["build"] = "1402001";
}

// Never destroyed: static objects of other source files may still ask
// while the process unloads.
Values& TheValues() {
  static Values* const values = [] {
    Values* made = new Values;
    SetDefaults(*made);
    return made;
  }();
  return *values;
}

}  // namespace

StringBase<char> Version::getValue(const StringBase<char>& key) {
  const Values& values = TheValues();
  const Values::const_iterator found = values.find(key);
  return found == values.end() ? StringBase<char>() : found->second;
}

void Version::setValue(const StringBase<char>& key, const StringBase<char>& value) {
  TheValues()[key] = value;
}

void Version::resetValues() { SetDefaults(TheValues()); }

bool Version::splitVersion(const StringBase<char>& version, StringBase<char>& major,
                           StringBase<char>& minor, StringBase<char>& rest) {
  const std::string& text = version.str();
  const std::size_t first = text.find('.');
  if (first == std::string::npos) return false;
  const std::size_t second = text.find('.', first + 1);
  major = text.substr(0, first);
  if (second == std::string::npos) {
    minor = text.substr(first + 1);
    rest.Empty();
  } else {
    minor = text.substr(first + 1, second - first - 1);
    rest = text.substr(second + 1);
  }
  return true;
}

}  // namespace Port
