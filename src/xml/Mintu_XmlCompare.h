#ifndef MINTU_XMLCOMPARE_H
#define MINTU_XMLCOMPARE_H
// Equality, order and sorting of the XML model, shared by the element and
// list classes. The walks keep their own stacks, so deep trees do not
// exhaust the call stack, and each distinct subtree is worked out once per
// call.

#include <cstddef>
#include <list>
#include <utility>
#include <vector>

#include "Mintu_XmlDetail.h"

namespace Mintu {
namespace Detail {

bool AttributeListEqual(const XmlAttributeList& a, const XmlAttributeList& b);
bool AttributeListLess(const XmlAttributeList& a, const XmlAttributeList& b);
bool ElementEqual(const XmlElement& x, const XmlElement& y);
bool ElementLess(const XmlElement& x, const XmlElement& y);
bool ElementListEqual(const XmlElementList& a, const XmlElementList& b);
bool ElementListLess(const XmlElementList& a, const XmlElementList& b);
/// Stable sort of the members by ElementLess.
void SortElements(XmlElementList& list);

/// Stable bottom-up merge sort of natural runs. Safe with orders that are not
/// strict: it only ever takes an element from the right run when that one is
/// less than the left one, stays within the sequence and always ends. An
/// already ordered sequence costs n - 1 comparisons.
template <class T, class Less>
void StableMergeSort(std::vector<T>& items, Less less) {
  const std::size_t n = items.size();
  if (n < 2) {
    return;
  }
  std::vector<std::size_t> bounds;
  bounds.push_back(0);
  for (std::size_t i = 1; i < n; ++i) {
    if (less(items[i], items[i - 1])) {
      bounds.push_back(i);
    }
  }
  bounds.push_back(n);
  if (bounds.size() == 2) {
    return;
  }
  std::vector<T> buffer(n);
  std::vector<T>* from = &items;
  std::vector<T>* to = &buffer;
  std::vector<std::size_t> next;
  while (bounds.size() > 2) {
    next.clear();
    next.push_back(0);
    std::size_t k = 0;
    for (; k + 2 < bounds.size(); k += 2) {
      std::size_t left = bounds[k];
      const std::size_t mid = bounds[k + 1];
      std::size_t right = mid;
      const std::size_t hi = bounds[k + 2];
      std::size_t out = left;
      while (left < mid && right < hi) {
        if (less((*from)[right], (*from)[left])) {
          (*to)[out++] = std::move((*from)[right++]);
        } else {
          (*to)[out++] = std::move((*from)[left++]);
        }
      }
      while (left < mid) {
        (*to)[out++] = std::move((*from)[left++]);
      }
      while (right < hi) {
        (*to)[out++] = std::move((*from)[right++]);
      }
      next.push_back(hi);
    }
    if (k + 1 < bounds.size()) {  // an odd run left over
      for (std::size_t i = bounds[k]; i < bounds[k + 1]; ++i) {
        (*to)[i] = std::move((*from)[i]);
      }
      next.push_back(bounds[k + 1]);
    }
    bounds.swap(next);
    std::swap(from, to);
  }
  if (from != &items) {
    items.swap(buffer);
  }
}

/// Stable sort of a list of handles by `less` on the objects behind them.
/// The order is worked out first and the nodes spliced into place after,
/// which cannot fail: a throw while comparing leaves the list as it was.
template <class T, class Less>
void SortHandles(std::list<boost::shared_ptr<T> >& items, Less less) {
  typedef typename std::list<boost::shared_ptr<T> >::iterator Position;
  std::vector<Position> order;
  order.reserve(items.size());
  for (Position it = items.begin(); it != items.end(); ++it) {
    order.push_back(it);
  }
  StableMergeSort(order, [&less](Position x, Position y) { return less(**x, **y); });
  for (Position it : order) {
    items.splice(items.end(), items, it);
  }
}

/// The tags of a list's members and of their subtrees (pointers into the
/// tree), and whether a member of a caller's own class occurs there.
void CollectSubtreeTags(const XmlElementList& list, std::vector<const StringBase*>& tags,
                        bool& foreign);

}  // namespace Detail
}  // namespace Mintu

#endif  // MINTU_XMLCOMPARE_H
