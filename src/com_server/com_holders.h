#pragma once

#include <windows.h>

#include <oleauto.h>

#include <utility>

namespace pirell::com {

// A VARIANT that is cleared when it goes. Not copyable: copying a VARIANT needs VariantCopy,
// which can fail.
class VariantHolder {
 public:
  VariantHolder() { VariantInit(&v_); }
  VariantHolder(const VariantHolder&) = delete;
  VariantHolder& operator=(const VariantHolder&) = delete;
  VariantHolder(VariantHolder&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  ~VariantHolder() { VariantClear(&v_); }

  VARIANT* get() { return &v_; }
  const VARIANT* get() const { return &v_; }
  VARIANT& operator*() { return v_; }
  const VARIANT& operator*() const { return v_; }
  VARIANT* operator->() { return &v_; }
  const VARIANT* operator->() const { return &v_; }

  void Clear() { VariantClear(&v_); }
  // Hands the value over to the caller, who must clear it.
  VARIANT Detach() {
    VARIANT out = v_;
    VariantInit(&v_);
    return out;
  }

 private:
  VARIANT v_;
};

// A SAFEARRAY that is destroyed when it goes, with its elements.
class SafeArrayHolder {
 public:
  SafeArrayHolder() = default;
  explicit SafeArrayHolder(SAFEARRAY* array) : array_(array) {}
  SafeArrayHolder(const SafeArrayHolder&) = delete;
  SafeArrayHolder& operator=(const SafeArrayHolder&) = delete;
  ~SafeArrayHolder() {
    if (array_) SafeArrayDestroy(array_);
  }

  SAFEARRAY* get() const { return array_; }
  SAFEARRAY* Detach() { return std::exchange(array_, nullptr); }

 private:
  SAFEARRAY* array_ = nullptr;
};

// Keeps a SAFEARRAY's data locked while it is read or filled.
class SafeArrayData {
 public:
  explicit SafeArrayData(SAFEARRAY* array) : array_(array) {
    if (FAILED(SafeArrayAccessData(array_, &data_))) {
      array_ = nullptr;
      data_ = nullptr;
    }
  }
  SafeArrayData(const SafeArrayData&) = delete;
  SafeArrayData& operator=(const SafeArrayData&) = delete;
  ~SafeArrayData() {
    if (array_) SafeArrayUnaccessData(array_);
  }

  explicit operator bool() const { return data_ != nullptr; }
  void* get() const { return data_; }

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
};

// A BSTR that is freed when it goes.
class BstrHolder {
 public:
  BstrHolder() = default;
  explicit BstrHolder(BSTR text) : text_(text) {}
  BstrHolder(const BstrHolder&) = delete;
  BstrHolder& operator=(const BstrHolder&) = delete;
  ~BstrHolder() { SysFreeString(text_); }

  BSTR get() const { return text_; }
  BSTR* Put() {
    SysFreeString(text_);
    text_ = nullptr;
    return &text_;
  }
  BSTR Detach() { return std::exchange(text_, nullptr); }

 private:
  BSTR text_ = nullptr;
};

}  // namespace pirell::com
