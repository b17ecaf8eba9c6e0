#ifndef MINTU_REFCOUNTPTR_H
#define MINTU_REFCOUNTPTR_H
// CommonI::RefCountPtr<T>: a smart pointer to a framework interface T (const
// or not). Every count goes through the object's IRefCount, reached with
// QueryInterface; an object that offers none is held without counting.

#include <cstddef>
#include <type_traits>
#include <utility>

#include "mintu/Mintu_IRefCount.h"

namespace CommonI {

template <class T>
class RefCountPtr {
 public:
  typedef T element_type;

  RefCountPtr() noexcept : ptr_(nullptr) {}
  RefCountPtr(std::nullptr_t) noexcept : ptr_(nullptr) {}  // NOLINT(google-explicit-constructor)
  /// Shares an object already owned elsewhere (such as `this`): takes one more reference.
  explicit RefCountPtr(T* object) : ptr_(object) { AddRefOf(ptr_); }
  RefCountPtr(const RefCountPtr& other) : ptr_(other.ptr_) { AddRefOf(ptr_); }
  RefCountPtr(RefCountPtr&& other) noexcept : ptr_(other.ptr_) { other.ptr_ = nullptr; }
  template <class U, class = typename std::enable_if<std::is_convertible<U*, T*>::value>::type>
  RefCountPtr(const RefCountPtr<U>& other)  // NOLINT(google-explicit-constructor)
      : ptr_(other.get()) {
    AddRefOf(ptr_);
  }
  template <class U, class = typename std::enable_if<std::is_convertible<U*, T*>::value>::type>
  RefCountPtr(RefCountPtr<U>&& other) noexcept  // NOLINT(google-explicit-constructor)
      : ptr_(other.Detach()) {}
  ~RefCountPtr() { reset(); }

  RefCountPtr& operator=(const RefCountPtr& other) {
    RefCountPtr(other).swap(*this);
    return *this;
  }
  RefCountPtr& operator=(RefCountPtr&& other) noexcept {
    RefCountPtr(std::move(other)).swap(*this);
    return *this;
  }

  /// A pointer that takes over the initial reference of a newly created object (no AddRef).
  static RefCountPtr Adopt(T* created) {
    RefCountPtr result;
    result.ptr_ = created;
    return result;
  }
  /// Gives up the reference without releasing it; the pointer becomes null.
  T* Detach() noexcept {
    T* object = ptr_;
    ptr_ = nullptr;
    return object;
  }
  /// Releases the reference held, if any; the pointer becomes null.
  void reset() {
    T* object = ptr_;
    ptr_ = nullptr;
    ReleaseOf(object);
  }
  void swap(RefCountPtr& other) noexcept { std::swap(ptr_, other.ptr_); }

  T* get() const noexcept { return ptr_; }
  T* operator->() const noexcept { return ptr_; }
  T& operator*() const noexcept { return *ptr_; }
  explicit operator bool() const noexcept { return ptr_ != nullptr; }

  friend bool operator==(const RefCountPtr& a, const RefCountPtr& b) { return a.ptr_ == b.ptr_; }
  friend bool operator!=(const RefCountPtr& a, const RefCountPtr& b) { return a.ptr_ != b.ptr_; }

 private:
  // Counting is not a change of the object, so a const interface is counted too.
  static IRefCount* CounterOf(T* object) {
    if (object == nullptr) return nullptr;
    typedef typename std::remove_const<T>::type Mutable;
    return static_cast<IRefCount*>(
        const_cast<Mutable*>(object)->QueryInterface(IRefCount::GetIID()));
  }
  static void AddRefOf(T* object) {
    if (IRefCount* counter = CounterOf(object)) counter->AddRef();
  }
  static void ReleaseOf(T* object) {
    if (IRefCount* counter = CounterOf(object)) counter->Release();
  }

  T* ptr_;
};

}  // namespace CommonI

#endif  // MINTU_REFCOUNTPTR_H
