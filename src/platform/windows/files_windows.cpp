#include <windows.h>

#include "common/errors.h"
#include "platform/files.h"
#include "platform/windows/wide.h"

namespace pirell::platform {
namespace {

// Owns a file handle.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    if (!valid()) return true;
    const bool ok = CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

bool WriteAll(HANDLE h, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
    if (!WriteFile(h, bytes.data(), chunk, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

char PathDelimiter() {
  return '\\';
}

bool DirectoryExists(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsAbsolutePath(const std::string& path) {
  const auto delimiter = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 2 && delimiter(path[0]) && delimiter(path[1])) return true;
  const bool drive = path.size() >= 3 &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive && path[1] == ':' && delimiter(path[2]);
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (!path.empty() && (path.back() == '\\' || path.back() == '/')) return path;
  return path + '\\';
}

std::string ExtractFileDir(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/:");
  if (slash == std::string::npos) return {};
  if (path[slash] == ':') return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
  Handle h(CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.valid()) return false;
  return WriteAll(h.get(), bytes);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  Handle h(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.valid()) return std::nullopt;
  std::string content;
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(h.get(), buffer, sizeof buffer, &n, nullptr)) return std::nullopt;
    if (n == 0) break;
    content.append(buffer, n);
  }
  return content;
}

BoundedRead ReadFileUpTo(const std::string& path, std::size_t max_bytes) {
  BoundedRead result;
  Handle h(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.valid()) return result;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(h.get(), &size) && static_cast<std::uint64_t>(size.QuadPart) > max_bytes) {
    result.too_large = true;
    return result;
  }
  std::string content;
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(h.get(), buffer, sizeof buffer, &n, nullptr)) return result;
    if (n == 0) break;
    if (content.size() + n > max_bytes) {
      result.too_large = true;
      return result;
    }
    content.append(buffer, n);
  }
  result.bytes = std::move(content);
  return result;
}

void RemoveLeftoverTemporaries(const std::string& target) {
  const std::wstring wide_target = Widen(target);
  const std::size_t slash = wide_target.find_last_of(L"\\/:");
  const std::wstring folder =
      slash == std::wstring::npos ? std::wstring() : wide_target.substr(0, slash + 1);
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((wide_target + L".tmp-*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      DeleteFileW((folder + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

namespace {

int LastErrorCode() {
  return static_cast<int>(GetLastError());
}

class Win32WritableFile : public WritableFile {
 public:
  explicit Win32WritableFile(HANDLE h) : handle_(h) {}

  WriteResult Write(std::string_view bytes) override {
    DWORD written = 0;
    const DWORD chunk = bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
    if (!WriteFile(handle_.get(), bytes.data(), chunk, &written, nullptr))
      return {written, LastErrorCode()};
    return {written, 0};
  }
  int Flush() override { return FlushFileBuffers(handle_.get()) ? 0 : LastErrorCode(); }
  int Close() override { return handle_.Close() ? 0 : LastErrorCode(); }

 private:
  Handle handle_;
};

class Win32FileWriter : public FileWriter {
 public:
  Temporary CreateTemporary(const std::string& target) override {
    Temporary temporary;
    // CREATE_NEW: a name another writer picked in the same tick is never shared.
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::wstring name = Widen(target) + L".tmp-" + std::to_wstring(GetCurrentProcessId()) +
                                L"-" + std::to_wstring(GetTickCount()) + L"-" +
                                std::to_wstring(++counter_);
      HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        temporary.file = std::make_unique<Win32WritableFile>(h);
        temporary.path = Narrow(name);
        temporary.error = 0;
        return temporary;
      }
      temporary.error = LastErrorCode();
      if (temporary.error != ERROR_FILE_EXISTS) break;
    }
    return temporary;
  }
  int Rename(const std::string& from, const std::string& to) override {
    return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : LastErrorCode();
  }
  void Remove(const std::string& path) override { DeleteFileW(Widen(path).c_str()); }

 private:
  unsigned counter_ = 0;
};

}  // namespace

FileWriter& SystemFileWriter() {
  static Win32FileWriter writer;
  return writer;
}

namespace {

// The system's text of `code` in `language`, or the empty text when it has none in it.
std::string SystemText(int code, DWORD language) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), language, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  std::string text;
  if (n && buffer) text = Narrow(std::wstring_view(buffer, n));
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  return text;
}

}  // namespace

std::string SystemErrorMessage(int code) {
  // The host reads Russian: the Russian text where the system has it, else the user's language.
  std::string text = SystemText(code, MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT));
  if (text.empty()) text = SystemText(code, 0);
  if (text.empty()) text = "Системная ошибка " + std::to_string(code);
  return text;
}

}  // namespace pirell::platform
