#pragma once

#include <windows.h>

#include <unknwn.h>

#include <cstddef>
#include <utility>

namespace pirell::platform {

// Owns one COM reference. Copying adds a reference; destruction releases it.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Shares `p`: takes a reference of its own.
  explicit ComPtr(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Takes over a reference the caller already owns (a pointer a factory or QueryInterface made).
  static ComPtr Attach(T* p) {
    ComPtr ptr;
    ptr.p_ = p;
    return ptr;
  }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // Releases the held reference and returns the slot for an out-parameter to fill.
  T** Put() {
    Reset();
    return &p_;
  }
  // Hands the reference to the caller.
  T* Detach() { return std::exchange(p_, nullptr); }
  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }

  // Asks the object for another of its interfaces; null when it has none.
  template <class U>
  ComPtr<U> Query(REFIID iid) const {
    ComPtr<U> result;
    if (p_) p_->QueryInterface(iid, reinterpret_cast<void**>(result.Put()));
    return result;
  }

 private:
  T* p_ = nullptr;
};

}  // namespace pirell::platform
