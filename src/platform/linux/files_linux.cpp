#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/errors.h"
#include "platform/files.h"
#include "platform/linux/unique_fd.h"

namespace pirell::platform {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

char PathDelimiter() {
  return '/';
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool IsAbsolutePath(const std::string& path) {
  return !path.empty() && path.front() == '/';
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (!path.empty() && path.back() == '/') return path;
  return path + '/';
}

std::string ExtractFileDir(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
  if (fd.get() < 0) return false;
  return WriteAll(fd.get(), bytes);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  std::string content;
  // Room for the whole file at once: grown by doubling, a large file's text would take up to
  // three times its size while it is read.
  struct stat st {};
  if (::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    content.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  return content;
}

BoundedRead ReadFileUpTo(const std::string& path, std::size_t max_bytes) {
  BoundedRead result;
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return result;
  struct stat st {};
  if (::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) &&
      static_cast<std::uint64_t>(st.st_size) > max_bytes) {
    result.too_large = true;
    return result;
  }
  std::string content;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return result;
    }
    if (n == 0) break;
    if (content.size() + static_cast<std::size_t>(n) > max_bytes) {
      result.too_large = true;
      return result;
    }
    content.append(buffer, static_cast<std::size_t>(n));
  }
  result.bytes = std::move(content);
  return result;
}

void RemoveLeftoverTemporaries(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const std::string prefix =
      (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp-";
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
      ::unlinkat(::dirfd(dir), name.c_str(), 0);
  }
  ::closedir(dir);
}

namespace {

class PosixWritableFile : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) {}
  ~PosixWritableFile() override { Close(); }
  PosixWritableFile(const PosixWritableFile&) = delete;
  PosixWritableFile& operator=(const PosixWritableFile&) = delete;

  WriteResult Write(std::string_view bytes) override {
    for (;;) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n >= 0) return {static_cast<std::size_t>(n), 0};
      if (errno != EINTR) return {0, errno};
    }
  }
  int Flush() override { return ::fsync(fd_) == 0 ? 0 : errno; }
  int Close() override {
    if (fd_ < 0) return 0;
    const int result = ::close(fd_) == 0 ? 0 : errno;
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

class PosixFileWriter : public FileWriter {
 public:
  Temporary CreateTemporary(const std::string& target) override {
    Temporary temporary;
    temporary.path = target + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temporary.path.data());
    if (fd < 0) {
      temporary.error = errno;
      return temporary;
    }
    // mkstemp makes the file private to its owner; the template file is an ordinary one.
    ::fchmod(fd, 0644);
    temporary.file = std::make_unique<PosixWritableFile>(fd);
    return temporary;
  }
  int Rename(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
  }
  void Remove(const std::string& path) override { ::unlink(path.c_str()); }
};

}  // namespace

FileWriter& SystemFileWriter() {
  static PosixFileWriter writer;
  return writer;
}

std::string SystemErrorMessage(int code) {
  // The host reads Russian; the C library speaks the process's locale, English in most hosts.
  static constexpr struct {
    int code;
    const char* text;
  } kTexts[] = {
      {EPERM, "Операция не позволена"},
      {ENOENT, "Нет такого файла или каталога"},
      {EINTR, "Прерван системный вызов"},
      {EIO, "Ошибка ввода-вывода"},
      {ENXIO, "Нет такого устройства или адреса"},
      {EBADF, "Неверный дескриптор файла"},
      {EAGAIN, "Ресурс временно недоступен"},
      {ENOMEM, "Недостаточно памяти"},
      {EACCES, "Отказано в доступе"},
      {EBUSY, "Устройство или ресурс занято"},
      {EEXIST, "Файл существует"},
      {EXDEV, "Недопустимая ссылка между устройствами"},
      {ENODEV, "Нет такого устройства"},
      {ENOTDIR, "Это не каталог"},
      {EISDIR, "Это каталог"},
      {EINVAL, "Недопустимый аргумент"},
      {ENFILE, "Слишком много открытых файлов в системе"},
      {EMFILE, "Слишком много открытых файлов"},
      {ENOTTY, "Неподходящий вызов управления для устройства"},
      {ETXTBSY, "Текстовый файл занят"},
      {EFBIG, "Файл слишком велик"},
      {ENOSPC, "На устройстве не осталось места"},
      {EROFS, "Файловая система доступна только для чтения"},
      {EPIPE, "Обрыв канала"},
      {ENAMETOOLONG, "Слишком длинное имя файла"},
      {ELOOP, "Слишком много уровней символьных ссылок"},
      {EDQUOT, "Превышена дисковая квота"},
      {ETIMEDOUT, "Время ожидания истекло"},
      {ENOTSUP, "Операция не поддерживается"},
      {EPROTO, "Ошибка протокола"},
      {ECONNREFUSED, "В соединении отказано"},
      {ECONNRESET, "Соединение сброшено другой стороной"},
      {ECONNABORTED, "Программа вызвала прерывание соединения"},
      {ENOTCONN, "Конечная точка передачи не подсоединена"},
      {EHOSTUNREACH, "Нет маршрута до узла"},
      {EHOSTDOWN, "Узел не работает"},
      {ENETUNREACH, "Сеть недоступна"},
      {ENETDOWN, "Сеть не работает"},
      {EADDRNOTAVAIL, "Невозможно назначить запрошенный адрес"},
      {ESHUTDOWN, "Передача после закрытия соединения невозможна"},
  };
  for (const auto& entry : kTexts)
    if (entry.code == code) return entry.text;
  return "Системная ошибка " + std::to_string(code);
}

}  // namespace pirell::platform
