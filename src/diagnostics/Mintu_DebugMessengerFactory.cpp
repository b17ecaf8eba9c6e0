#include "port/Port_Init.h"

#include "mintu/Mintu_DebugMessengerFactory.h"

#include <mutex>
#include <unordered_map>

#include "port/Port_Env.h"

namespace Mintu {

namespace {

typedef std::unordered_map<StringBase, DebugMessenger*> Registry;

const char* const ROOT_NAME = "root";
const char* const DEBUG_ENV = "ORV_MN_API_DEBUG";

// Both live on the heap and are never destroyed, so a logger handed out here
// stays valid for the life of the process, even in other files' static
// destructors. Reaching them through functions keeps them usable from other
// files' static initialisers too, whatever the order of initialisation.
DebugMessenger* Root() {
  static DebugMessenger* const root = new DebugMessenger();
  return root;
}

Registry& Loggers() {
  static Registry* const registry = new Registry();
  return *registry;
}

// The tool's native threads and its Java threads all log, so the registry,
// and the root's switch by SetLevelFromEnv, are used under this lock. Never
// destroyed, like what it guards.
std::mutex& RegistryLock() {
  static std::mutex* const lock = new std::mutex;
  return *lock;
}

// Made while the library loads: the root first, then the registry and its lock.
struct MakeAtLoad {
  MakeAtLoad() {
    Root();
    Loggers();
    RegistryLock();
  }
};
const MakeAtLoad makeAtLoad;

}  // namespace

DebugMessenger* DebugMessengerFactory::GetLogger() { return Root(); }

DebugMessenger* DebugMessengerFactory::GetLogger(const StringBase& name) {
  if (name.Compare(ROOT_NAME, Port::COMPARE_NOCASE) == 0) return Root();
  std::lock_guard<std::mutex> guard(RegistryLock());
  Registry& registry = Loggers();
  Registry::iterator found = registry.find(name);
  if (found == registry.end()) {
    found = registry.emplace(name, new DebugMessenger(Root(), name)).first;
  }
  return found->second;
}

void DebugMessengerFactory::SetLevelFromEnv() {
  // Any value counts, the empty one too: only an unset variable does not.
  if (Port_Env::GetEnv(DEBUG_ENV) == nullptr) return;
  DebugMessenger* root = Root();
  {
    std::lock_guard<std::mutex> guard(RegistryLock());
    if (root->IsVerbose()) return;
    root->SetLevel(DebugMessenger::DEBUG_VERBOSE);
  }
  // Issued outside the lock: a manager that handles the line may ask for a
  // logger itself.
  root->Normal("Verbose debug mode activated through ORV_MN_API_DEBUG\n");
}

std::vector<StringBase>* DebugMessengerFactory::GetActiveLoggers() {
  std::vector<StringBase>* names = new std::vector<StringBase>();
  std::lock_guard<std::mutex> guard(RegistryLock());
  const Registry& registry = Loggers();
  names->reserve(registry.size());
  for (const Registry::value_type& entry : registry) names->push_back(entry.first);
  return names;
}

}  // namespace Mintu
