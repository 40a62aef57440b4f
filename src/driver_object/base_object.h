#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver_object/late_bound.h"
#include "driver_object/result_codes.h"
#include "driver_object/settings_table.h"
#include "driver_object/variant.h"

namespace pirell {

// A private host method: gets the whole argument array (it may replace any element; replaced
// elements travel back to the caller) and returns the call's result.
using TPrivateMethod = std::function<Variant(VariantArray& params)>;

// A public host method: InData, which it only reads (the host gets it back as it was read), OutData
// by reference, the time-out, and an output description that starts empty. Returns a result code
// (0 = success).
using TPublicMethod = std::function<ResultCode(const Variant& in_data, Variant& out_data,
                                               std::int32_t time_out, std::string& description)>;

// One row of the method table. Its zero-based position is its DISPID.
struct TMethodStruct {
  std::string Name;
  bool IsPublic = false;
  TPrivateMethod PrivateMethod;
  TPublicMethod PublicMethod;
};

// The driver object: the method table the host calls by name, the settings table and the call
// trace. Every host call enters the driver's logic here.
//
// Objects are made with CreateObject<T>(), which runs the virtual Initialize chain after
// construction and the virtual BeforeDestruction chain before destruction (C++ constructors and
// destructors cannot call into derived classes).
//
// The host makes one call at a time, but a call that waits serving window messages (a print job
// waiting for the printer) lets a message handler of the host call in again. Such a call is
// refused with code 1009 while the first one runs, so that it cannot change or free what the
// running call works with; and the object outlives its running call even when the host drops its
// last reference meanwhile.
class TBaseObject : public LateBoundObject, public std::enable_shared_from_this<TBaseObject> {
 public:
  TBaseObject();
  ~TBaseObject() override;
  TBaseObject(const TBaseObject&) = delete;
  TBaseObject& operator=(const TBaseObject&) = delete;

  // Late binding.
  HResult GetIDsOfNames(std::string_view name, DispId& id) override;
  HResult Invoke(DispId id, std::uint16_t flags, ArgumentBlock& args, Variant* result,
                 ExceptionInfo* exception) override;
  // Runs row `index` on `args`; E_INVALIDARG for a public call whose time-out is neither an
  // integer nor a Boolean. A private handler's failure propagates. While another call of this
  // object runs, a public call answers 1009 and a private one raises a BusyError.
  HResult CallMethod(int index, Variant& result, VariantArray& args);
  // The name of the host method running now, or null.
  const std::string* RunningMethod() const { return FRunningMethod; }
  virtual std::string GetDriverResultDescription(ResultCode code);

  const std::vector<TMethodStruct>& Methods() const { return FMethodList; }
  const std::string& InstanceID() const { return FInstanceID; }

  // Settings table.
  void AddSetting(const std::string& id, TDataType value_type, const Variant& value, bool read_only,
                  const std::string& name, const std::string& description);
  Variant GetSettingValue(std::string_view id, bool default_value = false) const;
  bool GetSettingValueBool(std::string_view id) const;
  std::int32_t GetSettingValueInt(std::string_view id) const;
  std::int64_t GetSettingValueCurr(std::string_view id) const;
  double GetSettingValueDbl(std::string_view id) const;
  std::string GetSettingValueStr(std::string_view id) const;
  double GetSettingValueDate(std::string_view id) const;
  bool GetSettingReadOnly(std::string_view id) const;
  void SetSettingValue(std::string_view id, const Variant& value);
  void SetAllSettingsDefault();
  // The row at `index`, or null outside the table.
  TSettingStruct* GetSettingItem(int index);
  const TSettingStruct* GetSettingItem(int index) const;
  int SettingsCount() const { return static_cast<int>(FSettingList.size()); }
  // The first row whose ID equals `id` ignoring case, or null.
  TSettingStruct* FindSetting(std::string_view id);
  const TSettingStruct* FindSetting(std::string_view id) const;

  // Debug log.
  bool DebugLogEnabled() const { return FDebugLogEnabled; }
  // Switching the log on calls BeginDebugLog; setting the current value does nothing.
  void SetDebugLogEnabled(bool enabled);
  void SetDebugLogDir(const std::string& dir) { FDebugLogDir = dir; }
  const std::string& DebugLogDir() const { return FDebugLogDir; }
  // Writes one line while the log is on; a log that cannot be written is ignored.
  void WriteDebugLog(const std::string& caption, const std::string& value,
                     bool caption_only = false) noexcept;
  // Today's log file: in the log folder when it exists, otherwise beside the driver's module.
  std::string DebugLogFileName() const;

  // Runs the initialisation chain; called once by CreateObject.
  virtual void Initialize() {}
  // Runs the tear-down chain; called once by CreateObject's deleter.
  virtual void BeforeDestruction() {}

 protected:
  // Registration, called only while the object initialises. No check for duplicate names.
  void AddPrivateMethod(std::string name, TPrivateMethod handler);
  void AddPublicMethod(std::string name, TPublicMethod handler);

  // Header of the debug log; the device class writes its own.
  virtual void BeginDebugLog() {}

  // Extra error data of the public call in progress (appended to the error array when set).
  Variant FExtData;

 private:
  std::string FInstanceID;
  std::vector<TMethodStruct> FMethodList;
  std::vector<TSettingStruct> FSettingList;
  bool FDebugLogEnabled = false;
  std::string FDebugLogDir;
  const std::string* FRunningMethod = nullptr;
};

// Replaces `out_data` with the error array (code, text[, ext_data]).
void PackError(ResultCode code, std::string text, const Variant& ext_data, Variant& out_data);

// Makes an object of a class of the driver object family, runs its Initialize chain, and has its
// BeforeDestruction chain run when the last reference goes.
template <class T, class... Args>
std::shared_ptr<T> CreateObject(Args&&... args) {
  auto object = std::make_unique<T>(std::forward<Args>(args)...);
  object->Initialize();
  return std::shared_ptr<T>(object.release(), [](T* p) {
    std::unique_ptr<T> owned(p);
    try {
      owned->BeforeDestruction();
    } catch (...) {
      // Destruction runs inside the host's release call: nothing may escape it.
    }
  });
}

}  // namespace pirell
