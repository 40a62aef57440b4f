#include "com_server/registration.h"

#include <windows.h>

#include <olectl.h>

#include <utility>

#include "platform/windows/wide.h"

namespace pirell::com {
namespace {

constexpr wchar_t kUserClasses[] = L"Software\\Classes";

// Owns an open registry key.
class RegKey {
 public:
  RegKey() = default;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }

  LSTATUS Create(HKEY parent, const std::wstring& path) {
    return RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
  }
  LSTATUS Open(HKEY parent, const std::wstring& path, REGSAM access) {
    return RegOpenKeyExW(parent, path.c_str(), 0, access, &key_);
  }
  LSTATUS SetString(const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  // The default value of a subkey, or an empty text.
  std::wstring DefaultValue(const wchar_t* subkey) const {
    wchar_t buffer[256] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    if (RegGetValueW(key_, subkey, nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
      return {};
    return buffer;
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

LSTATUS WriteKey(HKEY root, const std::wstring& path,
                 std::initializer_list<std::pair<const wchar_t*, std::wstring>> values) {
  RegKey key;
  LSTATUS status = key.Create(root, path);
  for (const auto& [name, value] : values) {
    if (status != ERROR_SUCCESS) break;
    status = key.SetString(name, value);
  }
  return status;
}

std::wstring BracedClassId(const ComClassInfo& info) {
  return L"{" + platform::Widen(info.class_id) + L"}";
}

LSTATUS WriteClass(HKEY root, const ComClassInfo& info, const std::wstring& module_path) {
  const std::wstring class_id = BracedClassId(info);
  const std::wstring prog_id = platform::Widen(info.prog_id);
  const std::wstring description = platform::Widen(info.description);
  const std::wstring class_key = L"CLSID\\" + class_id;
  LSTATUS status = WriteKey(root, prog_id, {{nullptr, description}});
  if (status == ERROR_SUCCESS) status = WriteKey(root, prog_id + L"\\CLSID", {{nullptr, class_id}});
  if (status == ERROR_SUCCESS) status = WriteKey(root, class_key, {{nullptr, description}});
  if (status == ERROR_SUCCESS)
    status = WriteKey(root, class_key + L"\\InprocServer32",
                      {{nullptr, module_path}, {L"ThreadingModel", L"Apartment"}});
  if (status == ERROR_SUCCESS)
    status = WriteKey(root, class_key + L"\\ProgID", {{nullptr, prog_id}});
  return status;
}

void RemoveClass(HKEY root, const ComClassInfo& info) {
  const std::wstring class_id = BracedClassId(info);
  RegDeleteTreeW(root, (L"CLSID\\" + class_id).c_str());
  const std::wstring prog_id = platform::Widen(info.prog_id);
  RegKey key;
  if (key.Open(root, prog_id, KEY_READ) != ERROR_SUCCESS) return;
  const std::wstring registered = key.DefaultValue(L"CLSID");
  if (registered.empty() ||
      CompareStringOrdinal(registered.c_str(), -1, class_id.c_str(), -1, TRUE) == CSTR_EQUAL) {
    RegDeleteTreeW(root, prog_id.c_str());
  }
}

}  // namespace

HRESULT RegisterClasses(std::span<const ComClassInfo> classes, const std::wstring& module_path) {
  try {
    if (module_path.empty()) return SELFREG_E_CLASS;
    LSTATUS status = ERROR_SUCCESS;
    for (const ComClassInfo& info : classes) {
      status = WriteClass(HKEY_CLASSES_ROOT, info, module_path);
      if (status == ERROR_ACCESS_DENIED) {
        // Without administrator rights the classes go to the user's own part of the registry.
        RegKey user_classes;
        status = user_classes.Create(HKEY_CURRENT_USER, kUserClasses);
        if (status == ERROR_SUCCESS) status = WriteClass(user_classes.get(), info, module_path);
      }
      if (status != ERROR_SUCCESS) return SELFREG_E_CLASS;
    }
    return S_OK;
  } catch (...) {
    return SELFREG_E_CLASS;
  }
}

HRESULT UnregisterClasses(std::span<const ComClassInfo> classes) {
  try {
    RegKey user_classes;
    const bool has_user_classes =
        user_classes.Open(HKEY_CURRENT_USER, kUserClasses, KEY_READ | KEY_WRITE) == ERROR_SUCCESS;
    for (const ComClassInfo& info : classes) {
      RemoveClass(HKEY_CLASSES_ROOT, info);
      if (has_user_classes) RemoveClass(user_classes.get(), info);
    }
    return S_OK;
  } catch (...) {
    return SELFREG_E_CLASS;
  }
}

}  // namespace pirell::com
