#include "port/Port_Init.h"
// IPUpdateInfo: reads the installed cores update level from the update log.

#include "mintu/Mintu_IPUpdateInfo.h"

#include "diagnostics/Mintu_Issue.h"
#include "port/Port_File.h"
#include "port/Port_FileName.h"
#include "port/Port_OrvanePath.h"

namespace {

const Mintu::Detail::IssueSource kSource = {"Mintu_IPUpdateInfo", "$Revision: 1.4 $"};

const char* const UPDATE_LOG_NAME = "IPupdate.log";
const char* const CORES_LEVEL_PREFIX = "Cores Update # ";
const char CORES_LEVEL_TAG[] = "cores_level=";

}  // namespace

namespace Mintu {

// Emitted here, so that the DLL exports them: a caller that binds one to a
// reference imports it from the DLL on Windows.
constexpr unsigned int IPUpdateInfo::LOG_FOUND;
constexpr unsigned int IPUpdateInfo::LOG_MISSING;
constexpr unsigned int IPUpdateInfo::LOG_UNOPENED;
constexpr unsigned int IPUpdateInfo::LEVEL_READ;
constexpr unsigned int IPUpdateInfo::LEVEL_MISSING;

unsigned int IPUpdateInfo::GetIPUpdateLogLocation(StringBase& location) {
  const Port::PathList& roots = Port::OrvanePath::GetInstance();
  for (Port::PathListIterator it = roots.begin(); it != roots.end(); ++it) {
    location = *it;
    location.Append(Port::FileName::GetPathSeparator());
    location.Append(UPDATE_LOG_NAME);
    if (Port::File::canread(location)) return LOG_FOUND;
  }
  return LOG_MISSING;
}

unsigned int IPUpdateInfo::ReadCoreLevelFromLine(StringBase& line, StringBase& level) {
  const StringBase::size_type tag = line.GetIndexOfString(CORES_LEVEL_TAG, Port::COMPARE_EXACT);
  if (tag == StringBase::NOT_FOUND) return LEVEL_MISSING;
  const StringBase::size_type start = tag + sizeof CORES_LEVEL_TAG - 1;
  // The rest of the line, blanks and all; nothing when the tag ends it.
  level = start < line.GetLength() ? line.Extract(Port_Range(start, line.GetLength() - 1))
                                   : StringBase();
  return LEVEL_READ;
}

unsigned int IPUpdateInfo::GetCoresLevel(StringBase& level) {
  StringBase path;
  const unsigned int located = GetIPUpdateLogLocation(path);
  if (located != LOG_FOUND) return located;

  Port::Stream* stream = Port::File::open(path, Port::File::ACCESS_READ, true);
  if (stream == nullptr) {
    MINTU_ISSUE(kSource).issueError("Couldn't open %s for reading.\n", path.c_str());
    return LOG_UNOPENED;
  }
  unsigned int code = LEVEL_MISSING;
  StringBase found;
  StringBase line;
  while (!stream->geteof()) {
    stream->readline(line);
    // Logs written on Windows end their lines with CR LF.
    line.Trim("\r", Port::TRIM_RIGHT);
    code = ReadCoreLevelFromLine(line, found);
    if (code == LEVEL_READ) break;
  }
  Port::File::close(stream);

  if (code == LEVEL_READ) {
    level = CORES_LEVEL_PREFIX;
    level.Append(found);
  }
  return code;
}

}  // namespace Mintu
