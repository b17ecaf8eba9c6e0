#include "port/Port_Init.h"

#include "mintu/Mintu_Utilities.h"

#include "mintu/Mintu_VectorHelper.h"

namespace Mintu {

namespace {

template <class Sequence>
CommonI::RefCountPtr<UtilI::IStringContainer> ToContainer(const Sequence& strings) {
  CommonI::RefCountPtr<UtilI::IStringContainer> container =
      UtilI::VectorHelperT<UtilI::IStringContainer>::Create();
  for (const StringBase& s : strings) container->Add(s);
  return container;
}

template <class Sequence>
Sequence FromContainer(const CommonI::RefCountPtr<const UtilI::IStringContainer>& container) {
  Sequence result;
  if (!container) return result;
  CommonI::RefCountPtr<UtilI::IStringIterator> it;
  if (container->GetIterator(it) != CitI::RESULT_SUCCESS || !it) return result;
  it->Reset();
  // An iterator that can no longer advance ends the walk even if it never
  // reports its end, so a faulty container cannot hold the caller forever.
  while (!it->IsAtEnd()) {
    result.push_back(it->GetCurrent());
    if (it->Next() != CitI::RESULT_SUCCESS) break;
  }
  return result;  // `it` goes, and with it the iterator's hold on the container
}

}  // namespace

CommonI::RefCountPtr<UtilI::IStringContainer> Utilities::ConvertStringListToStringContainer(
    const std::list<StringBase>& list) {
  return ToContainer(list);
}

CommonI::RefCountPtr<UtilI::IStringContainer> Utilities::ConvertStringVectorToStringContainer(
    const std::vector<StringBase>& vector) {
  return ToContainer(vector);
}

const std::list<StringBase> Utilities::ConvertStringContainerToStringList(
    const CommonI::RefCountPtr<const UtilI::IStringContainer>& container) {
  return FromContainer<std::list<StringBase>>(container);
}

const std::vector<StringBase> Utilities::ConvertStringContainerToStringVector(
    const CommonI::RefCountPtr<const UtilI::IStringContainer>& container) {
  return FromContainer<std::vector<StringBase>>(container);
}

}  // namespace Mintu
