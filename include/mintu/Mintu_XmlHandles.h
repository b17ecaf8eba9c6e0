#ifndef MINTU_XMLHANDLES_H
#define MINTU_XMLHANDLES_H
// XmlHandles: the ordered sequence of shared handles behind the `items` of
// the XML lists. Contiguous, so that walking a list does not chase a node
// per member, and small. Copies copy the handles, not the objects.

#include <cstddef>
#include <new>
#include <utility>

#include "mintu/Mintu_Types.h"

#include <boost/shared_ptr.hpp>

namespace Mintu {

namespace Detail {
// The first handles of a sequence, held in place; none when N is 0.
template <class V, std::size_t N>
struct XmlInlineHandles {
  V* slots() noexcept { return reinterpret_cast<V*>(bytes); }
  const V* slots() const noexcept { return reinterpret_cast<const V*>(bytes); }
  alignas(V) unsigned char bytes[N * sizeof(V)];
  std::size_t inlineCount = 0;
};
template <class V>
struct XmlInlineHandles<V, 0> {
  V* slots() const noexcept { return nullptr; }
  static constexpr std::size_t inlineCount = 0;
};
}  // namespace Detail

/// Up to N handles are held in place (child lists are mostly short), more on
/// the heap; with N = 0 the sequence is one pointer wide, so that an empty
/// list costs no more than a null pointer.
template <class T, std::size_t N = 0>
class XmlHandles : private Detail::XmlInlineHandles<boost::shared_ptr<T>, N> {
  typedef Detail::XmlInlineHandles<boost::shared_ptr<T>, N> Inline;

 public:
  typedef boost::shared_ptr<T> value_type;
  typedef value_type& reference;
  typedef const value_type& const_reference;
  typedef value_type* iterator;
  typedef const value_type* const_iterator;
  typedef std::size_t size_type;
  typedef std::ptrdiff_t difference_type;

  XmlHandles() noexcept : block_(nullptr) {}
  /// Copies the handles: the objects are shared.
  XmlHandles(const XmlHandles& other) : block_(nullptr) {
    reserve(other.size());
    for (const value_type& handle : other) {
      push_back(handle);
    }
  }
  XmlHandles(XmlHandles&& other) noexcept : block_(nullptr) { take(other); }
  ~XmlHandles() { release(); }
  XmlHandles& operator=(const XmlHandles& other) {
    if (this != &other) {
      XmlHandles copy(other);
      swap(copy);
    }
    return *this;
  }
  XmlHandles& operator=(XmlHandles&& other) noexcept {
    if (this != &other) {
      XmlHandles old(std::move(*this));
      take(other);
    }
    return *this;
  }
  void swap(XmlHandles& other) noexcept {
    if (this == &other) {
      return;
    }
    XmlHandles held(std::move(*this));
    take(other);
    other.take(held);
  }

  iterator begin() noexcept { return data(); }
  iterator end() noexcept { return data() + size(); }
  const_iterator begin() const noexcept { return data(); }
  const_iterator end() const noexcept { return data() + size(); }
  const_iterator cbegin() const noexcept { return begin(); }
  const_iterator cend() const noexcept { return end(); }

  size_type size() const noexcept { return block_ == nullptr ? Inline::inlineCount : block_->size; }
  bool empty() const noexcept { return size() == 0; }
  size_type capacity() const noexcept { return block_ == nullptr ? N : block_->capacity; }

  reference operator[](size_type i) noexcept { return data()[i]; }
  const_reference operator[](size_type i) const noexcept { return data()[i]; }
  reference front() noexcept { return data()[0]; }
  const_reference front() const noexcept { return data()[0]; }
  reference back() noexcept { return data()[size() - 1]; }
  const_reference back() const noexcept { return data()[size() - 1]; }

  /// Room for `count` handles; the handles held stay (moved, not copied).
  void reserve(size_type count) {
    if (count > capacity()) {
      regrow(count);
    }
  }
  void push_back(const value_type& handle) {
    if (size() == capacity()) {
      // The copy is made before a regrow could move `handle` out from under it.
      value_type held(handle);
      regrow(grown());
      append(std::move(held));
    } else {
      append(handle);
    }
  }
  void push_back(value_type&& handle) {
    if (size() == capacity()) {
      value_type held(std::move(handle));
      regrow(grown());
      append(std::move(held));
    } else {
      append(std::move(handle));
    }
  }
  void pop_back() noexcept {
    setSize(size() - 1);
    data()[size()].~value_type();
  }
  /// Releases every handle; the list becomes empty. The handles are taken
  /// out first: a handle's last release may reach back into this list.
  void clear() noexcept { XmlHandles taken(std::move(*this)); }

 private:
  struct Header {
    size_type size;
    size_type capacity;
  };

  value_type* data() const noexcept {
    return block_ == nullptr ? const_cast<value_type*>(Inline::slots())
                             : reinterpret_cast<value_type*>(block_ + 1);
  }
  size_type grown() const noexcept {
    const size_type now = capacity();
    return now < 2 ? 2 : 2 * now;
  }
  void setSize(size_type count) noexcept {
    if (block_ != nullptr) {
      block_->size = count;
    } else if constexpr (N > 0) {
      Inline::inlineCount = count;
    }
  }
  template <class H>
  void append(H&& handle) {
    const size_type at = size();
    new (data() + at) value_type(std::forward<H>(handle));
    setSize(at + 1);
  }

  // Moves every handle into a new heap block of `count` places.
  void regrow(size_type count) {
    Header* block =
        static_cast<Header*>(::operator new(sizeof(Header) + count * sizeof(value_type)));
    const size_type held = size();
    block->size = held;
    block->capacity = count;
    value_type* to = reinterpret_cast<value_type*>(block + 1);
    value_type* from = data();
    for (size_type i = 0; i < held; ++i) {
      new (to + i) value_type(std::move(from[i]));
      from[i].~value_type();
    }
    ::operator delete(block_);
    if constexpr (N > 0) {
      Inline::inlineCount = 0;
    }
    block_ = block;
  }

  // Takes over the handles of `other`, which ends empty; this one is empty.
  void take(XmlHandles& other) noexcept {
    if (other.block_ != nullptr) {
      block_ = other.block_;
      other.block_ = nullptr;
      return;
    }
    if constexpr (N > 0) {
      for (size_type i = 0; i < other.Inline::inlineCount; ++i) {
        new (Inline::slots() + i) value_type(std::move(other.Inline::slots()[i]));
        other.Inline::slots()[i].~value_type();
      }
      Inline::inlineCount = other.Inline::inlineCount;
      other.Inline::inlineCount = 0;
    }
  }

  void release() noexcept {
    value_type* items = data();
    const size_type count = size();
    for (size_type i = 0; i < count; ++i) {
      items[i].~value_type();
    }
    ::operator delete(block_);
    block_ = nullptr;
    if constexpr (N > 0) {
      Inline::inlineCount = 0;
    }
  }

  Header* block_;
};

}  // namespace Mintu

#endif  // MINTU_XMLHANDLES_H
