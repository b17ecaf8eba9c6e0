#ifndef MINTU_UTILITIESCONTAINERS_H
#define MINTU_UTILITIESCONTAINERS_H
// Conversions between string containers and lists and vectors of strings.
// The reading side uses only IStringContainer's operations, so it works with
// any implementation of it.

#include <list>
#include <vector>

#include "mintu/Mintu_IStringContainer.h"
#include "mintu/Mintu_RefCountPtr.h"
#include "mintu/Mintu_Types.h"

namespace Mintu {

class MINTU_API ContainerConversions {
 public:
  /// A new container with the strings of `list` in order (never null).
  static CommonI::RefCountPtr<UtilI::IStringContainer> ConvertStringListToStringContainer(
      const std::list<StringBase>& list);
  /// A new container with the strings of `vector` in order (never null).
  static CommonI::RefCountPtr<UtilI::IStringContainer> ConvertStringVectorToStringContainer(
      const std::vector<StringBase>& vector);
  /// The strings of `container` in iteration order; empty when it is null or gives no iterator.
  static const std::list<StringBase> ConvertStringContainerToStringList(
      const CommonI::RefCountPtr<const UtilI::IStringContainer>& container);
  /// The strings of `container` in iteration order; empty when it is null or gives no iterator.
  static const std::vector<StringBase> ConvertStringContainerToStringVector(
      const CommonI::RefCountPtr<const UtilI::IStringContainer>& container);
};

}  // namespace Mintu

#endif  // MINTU_UTILITIESCONTAINERS_H
