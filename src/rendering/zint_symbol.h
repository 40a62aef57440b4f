#pragma once

// A libzint symbol, owned: the one handle of the library, deleted with it whatever way its
// encoding ends.

#include <zint.h>

#include <memory>

namespace pirell {

struct ZintSymbolDeleter {
  void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
using ZintSymbol = std::unique_ptr<zint_symbol, ZintSymbolDeleter>;

// A new symbol with the library's defaults; null when the library is out of memory.
inline ZintSymbol MakeZintSymbol() {
  return ZintSymbol(ZBarcode_Create());
}

}  // namespace pirell
