// A tree built by adding leaves at paths taken from the input (one "a/b/c=text" per line), then
// navigated, copied, compared and written: a leaf just added is found at its path, and a copy or an
// assigned tree equals its original, is not less than it and writes the same bytes.

#include "FuzzCheck.h"
#include "mintu/Mintu_AppException.h"
#include "mintu/Mintu_XmlElement.h"

using Mintu::StringBase;

namespace {

std::vector<StringBase> Steps(const std::string& path) {
  std::vector<StringBase> steps;
  for (const std::string& step : MintuFuzz::Pieces(path, '/')) steps.push_back(StringBase(step));
  return steps;
}

bool HasLeafWithText(const Mintu::XmlElementList& list, const std::vector<StringBase>& path,
                     const StringBase& text) {
  for (const boost::shared_ptr<Mintu::XmlLeafElement>& leaf : list.GetLeafElements(path)) {
    if (leaf->GetText() == text) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Mintu::XmlNestedElement root("spirit:component");
  for (const std::string& line : MintuFuzz::Pieces(data, size, '\n')) {
    const std::size_t equals = line.find('=');
    const std::vector<StringBase> path = Steps(line.substr(0, equals));
    const StringBase text(equals == std::string::npos ? std::string() : line.substr(equals + 1));
    try {
      if (!root.elements.AddLeafElement(path, text)) continue;
    } catch (const Mintu::AppException&) {
      continue;  // a refused tag, or a leaf where a nested element is needed
    }
    FUZZ_CHECK(root.elements.Has(path));
    FUZZ_CHECK(root.elements.Get(path) != nullptr);
    try {
      FUZZ_CHECK(HasLeafWithText(root.elements, path, text));
    } catch (const Mintu::AppException&) {
      // The first hit on the path is a nested element of the same tag.
    }
  }

  const StringBase written = root.ToXml("");
  const Mintu::XmlNestedElement copy(root);
  FUZZ_CHECK(copy == root && root == copy && !(copy < root) && !(root < copy));
  FUZZ_CHECK(copy.ToXml("") == written);
  Mintu::XmlNestedElement assigned("other");
  assigned = root;
  FUZZ_CHECK(assigned == root && assigned.ToXml("") == written);

  // Sorting a copy leaves the original as it was.
  Mintu::XmlNestedElement sorted(root);
  sorted.elements.sort();
  FUZZ_CHECK(root.ToXml("") == written);
  const Mintu::XmlNestedElement sortedCopy(sorted);
  FUZZ_CHECK(sortedCopy == sorted && sortedCopy.ToXml("") == sorted.ToXml(""));
  return 0;
}
