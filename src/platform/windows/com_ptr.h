#pragma once

#include <unknwn.h>

#include <utility>

namespace pirell::platform {

// Owns one COM reference of the platform layer; released on destruction.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr& other) : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // Releases the held reference and returns the slot for an out-parameter to fill.
  T** Put() {
    Reset();
    return &p_;
  }
  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }

  // Another interface of the same object; null when it has none.
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
