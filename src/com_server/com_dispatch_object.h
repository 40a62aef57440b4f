#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>

#include "com_server/com_ptr.h"
#include "driver_object/late_bound.h"

namespace pirell::com {

// A COM object of the host (the equipment manager, a script's object) seen as a portable
// late-bound object. Keeps a reference to the object for as long as it lives.
class ComDispatchObject final : public LateBoundObject {
 public:
  explicit ComDispatchObject(IDispatch* object);
  // Holds `dispatch`, or `unknown` when the object has no late binding (dispatch is null).
  ComDispatchObject(ComPtr<IUnknown> unknown, ComPtr<IDispatch> dispatch);
  // An object handed over as IUnknown; it can be called when it also answers IDispatch.
  static std::shared_ptr<ComDispatchObject> FromUnknown(IUnknown* object);

  // Resolves `name` with IDispatch::GetIDsOfNames, or, when that fails and the object answers
  // IDispatchEx, with GetDispID ignoring case: script objects under some runtimes resolve their
  // members only that way.
  HResult GetIDsOfNames(std::string_view name, DispId& id) override;
  // Passes every argument as a reference to a variant, so the object may change any of them,
  // and writes them all back through `args` after a successful call.
  HResult Invoke(DispId id, std::uint16_t flags, ArgumentBlock& args, Variant* result,
                 ExceptionInfo* exception) override;

  IDispatch* Dispatch() const { return dispatch_.Get(); }
  IUnknown* Unknown() const { return dispatch_ ? dispatch_.Get() : unknown_.Get(); }

 private:
  ComPtr<IDispatch> dispatch_;
  ComPtr<IUnknown> unknown_;  // held only for an object without IDispatch
};

}  // namespace pirell::com
