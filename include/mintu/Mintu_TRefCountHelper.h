#ifndef MINTU_TREFCOUNTHELPER_H
#define MINTU_TREFCOUNTHELPER_H
// CommonI::TRefCountHelper: the reference counter embedded in a framework
// object (its owner). It starts at 1 and destroys the owner when Release
// takes the count to 0. Counts change atomically, so references may be taken
// and dropped from several threads.

#include "mintu/Mintu_IRefCount.h"
#include "port/Port_Atomic.h"

namespace CommonI {

template <class T, int N>
class TRefCountHelper : public IRefCount {
 public:
  /// A count of 1 for `owner`, which may be null (then nothing is ever destroyed).
  explicit TRefCountHelper(T* owner) : count_(1), owner_(owner) {}
  TRefCountHelper(const TRefCountHelper&) = delete;
  TRefCountHelper& operator=(const TRefCountHelper&) = delete;
  ~TRefCountHelper() override = default;

  /// This counter for IRefCount; otherwise the owner's answer (null without owner).
  CitI::IInterface* QueryInterface(const Port::XUID& id) override {
    if (id == IRefCount::GetIID()) return this;
    if (owner_ == nullptr) return nullptr;
    return owner_->QueryInterface(id);
  }

  int AddRef() override {
    Port::SafeIncr(count_);
    return CitI::RESULT_SUCCESS;
  }

  int Release() override {
    // Only the thread that takes the count to 0 reads the owner and deletes
    // it; this counter dies with it, so nothing is touched afterwards.
    if (Port::SafeDecr(count_) == 0 && owner_ != nullptr) delete owner_;
    return CitI::RESULT_SUCCESS;
  }

  int GetRefCount(int* count) override {
    if (count == nullptr) return CitI::RESULT_FAILURE;
    *count = Port::SafeRead(count_);
    return CitI::RESULT_SUCCESS;
  }

 private:
  int count_;
  T* owner_;
};

}  // namespace CommonI

#endif  // MINTU_TREFCOUNTHELPER_H
