// The mintu command's shared pieces: the command-line parser, its messages,
// and reading and writing files with one wording for their failures.

#include "MintuCli.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "port/Port_File.h"
#include "port/Port_Msg.h"
#include "port/Port_SafeFile.h"

namespace MintuCli {

namespace {

bool showOrigin = false;

const OptionSpec kGlobalOptions[] = {
    {"quiet", 'q', false}, {"verbose", 'v', false}, {"help", 'h', false}};

bool Matches(const OptionSpec& known, const std::string& word, bool isLong) {
  return isLong ? word == known.name
                : known.letter != 0 && word.size() == 1 && word[0] == known.letter;
}

// The command's own options first, then the global ones.
const OptionSpec* FindOption(const std::vector<OptionSpec>& accepted, const std::string& word,
                             bool isLong) {
  for (const OptionSpec& known : accepted) {
    if (Matches(known, word, isLong)) return &known;
  }
  for (const OptionSpec& known : kGlobalOptions) {
    if (Matches(known, word, isLong)) return &known;
  }
  return nullptr;
}

// The file name without its folder, as messages are tagged with it.
const char* BaseName(const char* path) {
  const char* base = path;
  for (const char* p = path; *p != '\0'; ++p) {
    if (*p == '/' || *p == '\\') base = p + 1;
  }
  return base;
}

}  // namespace

Arguments::Arguments(const std::vector<std::string>& words,
                     const std::vector<OptionSpec>& accepted) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--") {
      operands.insert(operands.end(), words.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                      words.end());
      break;
    }
    if (word.size() < 2 || word[0] != '-') {
      operands.push_back(word);
      continue;
    }
    const bool isLong = word[1] == '-';
    // "--name=value", "--name", "-x" or "-xVALUE".
    std::string name = isLong ? word.substr(2) : word.substr(1, 1);
    std::string value;
    bool attached = false;
    if (isLong) {
      const std::size_t equals = name.find('=');
      if (equals != std::string::npos) {
        value = name.substr(equals + 1);
        name.erase(equals);
        attached = true;
      }
    } else if (word.size() > 2) {
      value = word.substr(2);
      attached = true;
    }
    const OptionSpec* known = FindOption(accepted, name, isLong);
    if (known == nullptr)
      throw UsageError("unknown option " +
                       (isLong ? word.substr(0, name.size() + 2) : word.substr(0, 2)));
    const std::string shown = std::string("--") + known->name;
    if (!known->takesValue) {
      if (attached) throw UsageError(shown + " takes no value");
    } else if (!attached) {
      if (i + 1 >= words.size()) throw UsageError(shown + " needs a value");
      value = words[++i];
    }
    if (shown == "--quiet") {
      quiet = true;
    } else if (shown == "--verbose") {
      verbose = true;
    } else if (shown == "--help") {
      help = true;
    } else {
      options.push_back({known->name, value});
    }
  }
}

bool Arguments::Has(const std::string& name) const {
  for (const Option& o : options) {
    if (o.name == name) return true;
  }
  return false;
}

std::string Arguments::Single(const std::string& name, const std::string& fallback) const {
  const Option* found = nullptr;
  for (const Option& o : options) {
    if (o.name != name) continue;
    if (found != nullptr) throw UsageError("--" + name + " is given twice");
    found = &o;
  }
  return found != nullptr ? found->value : fallback;
}

void Report(int type, const char* file, int line, const std::string& text) {
  std::string shown = text;
  if (showOrigin) shown += " [" + std::string(BaseName(file)) + ":" + std::to_string(line) + "]";
  shown += '\n';
  Port_MsgManData::createObject("mintu", BaseName(file), line, "").issue(type, "%s", shown.c_str());
}

void ShowReportOrigin(bool show) { showOrigin = show; }

std::string CannotRead(const std::string& file, int error) {
  return "cannot read " + file + ": " + Port::SafeFile::errorText(error);
}

std::string CannotWrite(const std::string& file, int error) {
  return "cannot write " + file + ": " + Port::SafeFile::errorText(error);
}

void ClaimStandardInput() {
  static bool claimed = false;
  if (claimed) throw UsageError("the standard input (-) may be named only once");
  claimed = true;
}

bool ReadInput(const std::string& file, std::string& content, int& error) {
  content.clear();
  if (file == "-") ClaimStandardInput();
  std::FILE* in = file == "-" ? stdin : std::fopen(file.c_str(), "rb");
  if (in == nullptr) {
    error = errno;
    return false;
  }
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) content.append(buffer, got);
  error = std::ferror(in) ? (errno != 0 ? errno : EIO) : 0;
  if (in != stdin) std::fclose(in);
  return error == 0;
}

std::string ReadInputOrFail(const std::string& file) {
  std::string content;
  int error = 0;
  if (!ReadInput(file, content, error))
    throw Failure(CannotRead(file == "-" ? "standard input" : file, error));
  return content;
}

void WriteOutput(const std::string& file, const std::string& content) {
  if (file.empty() || file == "-") {
    Print(content);
    return;
  }
  // Refused as by stamp: no write permission in the mode, several hard links.
  const int error = Port::SafeFile::write(file, content.data(), content.size());
  if (error != 0) throw Failure(CannotWrite(file, error));
}

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace MintuCli
