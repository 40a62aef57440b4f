#include <exception>
#include <new>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "common/errors.h"
#include "common/module_strings.h"
#include "driver_object/base_object.h"
#include "driver_object/call_trace.h"
#include "driver_object/host_values.h"

namespace pirell {
namespace {

// A failure caught at the object's entry, described as the host sees it. `detail` goes only to
// the debug log: the standard library's own texts are English.
struct CaughtFailure {
  std::string type_name;
  std::string message;
  std::string detail;
};

// Describes the exception in flight; call only inside a catch block.
CaughtFailure DescribeCurrentException() {
  try {
    throw;
  } catch (const Error& e) {
    return {e.TypeName(), e.what(), {}};
  } catch (const std::bad_alloc&) {
    return {"EOutOfMemory", ModuleText(StringId::OutOfMemory), {}};
  } catch (const std::length_error& e) {
    // A size beyond what a container can hold: a request too big for the memory there is.
    return {"EOutOfMemory", ModuleText(StringId::OutOfMemory), e.what()};
  } catch (const std::exception& e) {
    return {"Exception", ModuleText(StringId::InternalError), e.what()};
  } catch (...) {
    return {"Exception", ResultCodeText(rc::Unknown, ""), {}};
  }
}

// The code and description a public call answers for the exception in flight; call only inside a
// catch block.
std::pair<ResultCode, std::string> PublicFailure() {
  try {
    throw;
  } catch (const CodedError& e) {
    return {e.Code(), ResultCodeText(e.Code(), "") + ": " + e.what()};
  } catch (const std::bad_alloc&) {
    return {rc::BadParameters, ModuleText(StringId::OutOfMemory)};
  } catch (const std::length_error&) {
    return {rc::BadParameters, ModuleText(StringId::OutOfMemory)};
  } catch (...) {
    return {rc::Unknown, DescribeCurrentException().message};
  }
}

// The time-out of a public call must be an integer or a Boolean; anything else refuses the call.
bool IsAcceptedTimeOutType(std::uint16_t type) {
  switch (type) {
    case varSmallint:
    case varInteger:
    case varBoolean:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64:
      return true;
    default:
      return false;
  }
}

// The element itself, not a copy: InData may be a host's whole labels table.
const Variant& ElementOrEmpty(const VariantArray& args, std::size_t index) {
  static const Variant empty;
  const std::vector<Variant>& items = args.Items();
  return index < items.size() ? items[index] : empty;
}

// Stands for an argument that was too deep to copy: arrays one level deeper than allowed, so that
// the call is refused as for the argument itself.
Variant TooDeepPlaceholder() {
  Variant value;
  for (int level = 0; level <= kMaxArrayNesting; ++level) {
    VariantArray array = VariantArray::Vector(1);
    array.Items()[0] = std::move(value);
    value = Variant(std::move(array));
  }
  return value;
}

// Marks the object as running a host call for the lifetime of this guard.
class RunningCall {
 public:
  RunningCall(const std::string*& running, const std::string& name) : running_(running) {
    running_ = &name;
  }
  ~RunningCall() { running_ = nullptr; }
  RunningCall(const RunningCall&) = delete;
  RunningCall& operator=(const RunningCall&) = delete;

 private:
  const std::string*& running_;
};

}  // namespace

void PackError(ResultCode code, std::string text, const Variant& ext_data, Variant& out_data) {
  if (text.empty()) text = ResultCodeText(code, "");
  VariantArray error = VariantArray::Vector(ext_data.IsEmpty() ? 2 : 3);
  error.Items()[0] = Variant::Integer(code);
  error.Items()[1] = Variant::OleStr(std::move(text));
  if (!ext_data.IsEmpty()) error.Items()[2] = ext_data;
  out_data = Variant(std::move(error));
}

HResult TBaseObject::Invoke(DispId id, std::uint16_t flags, ArgumentBlock& args, Variant* result,
                            ExceptionInfo* exception) {
  if (id < 0 || id >= 100000 || static_cast<std::size_t>(id) >= FMethodList.size() ||
      (flags & kDispatchMethod) == 0)
    return hr::Fail;
  // A handler may serve a message in which the host drops its last reference to this object.
  const std::shared_ptr<TBaseObject> keep_alive = weak_from_this().lock();

  // Fills the exception record and logs the failure. Runs inside catch blocks, so a failure
  // here (out of memory) only loses the details, never the status.
  const auto report = [&](const CaughtFailure& failure) noexcept {
    try {
      if (exception) {
        exception->scode = rc::Unknown;
        exception->description = failure.message;
        exception->source = failure.type_name;
      }
      std::string logged = failure.type_name + ": " + failure.message;
      if (!failure.detail.empty()) logged += " (" + failure.detail + ")";
      WriteDebugLog("EXCEPTION", logged);
    } catch (...) {
    }
    return hr::DispException;
  };

  try {
    const std::size_t count = args.Count();
    VariantArray params = VariantArray::Vector(count);
    // An argument too deep to copy is refused by the call, and stays in the caller's hands as it
    // was: the placeholder that stood for it is not written back.
    std::vector<bool> kept(count, false);
    for (std::size_t i = 0; i < count; ++i) {
      try {
        params.Items()[i] = args.Read(i);
      } catch (const LimitError&) {
        params.Items()[i] = TooDeepPlaceholder();
        kept[i] = true;
      }
    }

    Variant call_result;
    const HResult status = CallMethod(static_cast<int>(id), call_result, params);
    if (status != hr::Ok) return status;

    // Every element goes back, even after one that cannot: the others carry the call's results.
    bool write_back_failed = false;
    std::string failed_type;
    std::vector<Variant>& items = params.Items();
    for (std::size_t i = 0; i < count && i < items.size(); ++i) {
      if (kept[i] && NestsDeeperThan(items[i], kMaxArrayNesting)) continue;
      try {
        args.WriteBack(i, std::move(items[i]));
      } catch (...) {
        if (!write_back_failed) failed_type = DescribeCurrentException().type_name;
        write_back_failed = true;
      }
    }
    // A value the caller's typed reference cannot hold: the host learns that its parameters
    // were wrong rather than seeing the call succeed with stale arguments.
    if (write_back_failed) return report({failed_type, ResultCodeText(rc::BadParameters, ""), {}});

    if (result) *result = std::move(call_result);
    return hr::Ok;
  } catch (...) {
    try {
      return report(DescribeCurrentException());
    } catch (...) {
      return hr::DispException;
    }
  }
}

HResult TBaseObject::CallMethod(int index, Variant& result, VariantArray& args) {
  if (index < 0 || static_cast<std::size_t>(index) >= FMethodList.size()) return hr::Fail;
  const TMethodStruct& method = FMethodList[static_cast<std::size_t>(index)];
  // Whether to trace is decided once per call: a handler that switches the log on leaves no
  // lines of its own call, one that switches it off leaves only the call line.
  const bool trace = FDebugLogEnabled;
  // Decided before anything walks the arguments recursively (the trace, the handler).
  bool too_deep = false;
  for (const Variant& param : args.Items())
    too_deep = too_deep || NestsDeeperThan(param, kMaxArrayNesting);
  // Another call of this object is running (this one came from a message it served).
  const std::string* const running = FRunningMethod;

  if (!method.IsPublic) {
    if (trace) WriteDebugLog("> " + method.Name, "Params: " + ArrayToText(args));
    Variant value;
    try {
      if (running) throw BusyError(ModuleText(StringId::CallInProgress, {*running}));
      if (too_deep) throw TooDeeplyNestedArrays();
      const RunningCall guard(FRunningMethod, method.Name);
      value = method.PrivateMethod(args);
    } catch (...) {
      if (trace) WriteDebugLog("EXCEPTION", DescribeCurrentException().message);
      throw;
    }
    result = std::move(value);
    if (trace) {
      WriteDebugLog("< " + method.Name,
                    "Result=" + ValueToText(result) + "; Params: " + ArrayToText(args));
    }
    return hr::Ok;
  }

  const Variant& in_data = ElementOrEmpty(args, 0);
  Variant out_data;  // the value the caller passed is discarded
  const Variant& time_out = ElementOrEmpty(args, 2);
  // The extra error data belongs to the running call, if there is one.
  if (!running) FExtData = Variant();
  if (trace) WriteDebugLog("> " + method.Name, "InData: " + ArrayToText(in_data));

  HResult status = hr::Ok;
  if (!IsAcceptedTimeOutType(time_out.Deref().Type())) {
    status = hr::InvalidArg;
  } else {
    ResultCode code = rc::Ok;
    std::string description;
    try {
      if (running) throw BusyError(ModuleText(StringId::CallInProgress, {*running}));
      if (too_deep) throw TooDeeplyNestedArrays();
      const RunningCall guard(FRunningMethod, method.Name);
      code = method.PublicMethod(in_data, out_data, time_out.ToInt(), description);
    } catch (...) {
      std::tie(code, description) = PublicFailure();
    }
    if (code != rc::Ok) {
      if (description.empty()) description = GetDriverResultDescription(code);
      PackError(code, description, running ? Variant() : FExtData, out_data);
    }
    if (args.Size() >= 2) args.Items()[1] = out_data;
    result = Variant::Boolean(code == rc::Ok);
  }

  if (trace) {
    WriteDebugLog("< " + method.Name,
                  "Result=" + ValueToText(result) + "; OutData: " + ArrayToText(out_data));
  }
  return status;
}

}  // namespace pirell
