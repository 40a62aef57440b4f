#include "driver_object/shared_text.h"

#include <cstring>
#include <new>

namespace pirell {

// The bytes follow the header in the same allocation.
SharedText* SharedText::Make(std::string_view bytes) {
  void* memory = ::operator new(sizeof(SharedText) + bytes.size());
  if (!bytes.empty())
    std::memcpy(static_cast<char*>(memory) + sizeof(SharedText), bytes.data(), bytes.size());
  return new (memory) SharedText(bytes.size());
}

SharedText* SharedText::Share() noexcept {
  holders_.fetch_add(1, std::memory_order_relaxed);
  return this;
}

void SharedText::Release() noexcept {
  // The last holder must see every other holder's use of the text done before it frees it.
  if (holders_.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  this->~SharedText();
  ::operator delete(static_cast<void*>(this));
}

std::string_view SharedText::View() const noexcept {
  return {reinterpret_cast<const char*>(this) + sizeof(SharedText), size_};
}

}  // namespace pirell
