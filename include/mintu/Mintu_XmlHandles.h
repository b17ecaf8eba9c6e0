#ifndef MINTU_XMLHANDLES_H
#define MINTU_XMLHANDLES_H
// XmlHandles: the ordered sequence of shared handles behind the `items` of
// the XML lists. One pointer wide, so that an empty list costs no more than
// a null pointer inside every element; contiguous, so that walking a list
// does not chase a node per member. Copies copy the handles, not the objects.

#include <cstddef>
#include <new>
#include <utility>

#include "mintu/Mintu_Types.h"

#include <boost/shared_ptr.hpp>

namespace Mintu {

template <class T>
class XmlHandles {
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
  XmlHandles(XmlHandles&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
  ~XmlHandles() { release(); }
  XmlHandles& operator=(const XmlHandles& other) {
    if (this != &other) {
      XmlHandles copy(other);
      swap(copy);
    }
    return *this;
  }
  XmlHandles& operator=(XmlHandles&& other) noexcept {
    XmlHandles taken(std::move(other));
    swap(taken);
    return *this;
  }
  void swap(XmlHandles& other) noexcept { std::swap(block_, other.block_); }

  iterator begin() noexcept { return data(); }
  iterator end() noexcept { return data() + size(); }
  const_iterator begin() const noexcept { return data(); }
  const_iterator end() const noexcept { return data() + size(); }
  const_iterator cbegin() const noexcept { return begin(); }
  const_iterator cend() const noexcept { return end(); }

  size_type size() const noexcept { return block_ == nullptr ? 0 : block_->size; }
  bool empty() const noexcept { return size() == 0; }
  size_type capacity() const noexcept { return block_ == nullptr ? 0 : block_->capacity; }

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
      new (data() + block_->size) value_type(std::move(held));
    } else {
      new (data() + block_->size) value_type(handle);
    }
    ++block_->size;
  }
  void push_back(value_type&& handle) {
    if (size() == capacity()) {
      value_type held(std::move(handle));
      regrow(grown());
      new (data() + block_->size) value_type(std::move(held));
    } else {
      new (data() + block_->size) value_type(std::move(handle));
    }
    ++block_->size;
  }
  void pop_back() noexcept {
    --block_->size;
    data()[block_->size].~value_type();
  }
  /// Releases every handle; the list becomes empty.
  void clear() noexcept { XmlHandles().swap(*this); }

 private:
  struct Header {
    size_type size;
    size_type capacity;
  };

  value_type* data() const noexcept {
    return block_ == nullptr ? nullptr : reinterpret_cast<value_type*>(block_ + 1);
  }
  size_type grown() const noexcept { return capacity() < 2 ? 2 : 2 * capacity(); }

  void regrow(size_type count) {
    Header* block =
        static_cast<Header*>(::operator new(sizeof(Header) + count * sizeof(value_type)));
    block->size = size();
    block->capacity = count;
    value_type* to = reinterpret_cast<value_type*>(block + 1);
    value_type* from = data();
    for (size_type i = 0; i < block->size; ++i) {
      new (to + i) value_type(std::move(from[i]));
      from[i].~value_type();
    }
    ::operator delete(block_);
    block_ = block;
  }

  void release() noexcept {
    if (block_ == nullptr) {
      return;
    }
    // Detached first: a handle's last release may reach back into this list.
    Header* block = block_;
    block_ = nullptr;
    value_type* items = reinterpret_cast<value_type*>(block + 1);
    for (size_type i = 0; i < block->size; ++i) {
      items[i].~value_type();
    }
    ::operator delete(block);
  }

  Header* block_;
};

}  // namespace Mintu

#endif  // MINTU_XMLHANDLES_H
