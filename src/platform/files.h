#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pirell::platform {

// Paths are UTF-8 texts in the platform's own syntax.
char PathDelimiter();
bool DirectoryExists(const std::string& path);
bool FileExists(const std::string& path);
// A full path: from the root on Linux; with a drive letter or a network share on Windows.
bool IsAbsolutePath(const std::string& path);
// The path with one trailing path delimiter (an empty path gives a lone delimiter).
std::string IncludeTrailingPathDelimiter(const std::string& path);
// The folder part of a file path, without the trailing delimiter.
std::string ExtractFileDir(const std::string& path);

// Appends `bytes` to the file, creating it when missing. Returns false when it cannot.
bool AppendToFile(const std::string& path, std::string_view bytes);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// A file read only when it holds at most a given number of bytes.
struct BoundedRead {
  std::optional<std::string> bytes;  // the content; nothing when the file could not be read
  bool too_large = false;            // the file holds more than the bound (nothing is kept)
};
// Reads the file unless it holds more than `max_bytes`; a file that grows while it is read is
// caught as well. Never holds more than `max_bytes` + 1 bytes of it.
BoundedRead ReadFileUpTo(const std::string& path, std::size_t max_bytes);

// Replaces the file with `bytes` so that a reader sees either the old or the new content, never
// a part: the bytes go to a temporary file in the same folder, are flushed, and the temporary
// file is renamed over the target. Raises an Error (with the system's message) when any step
// fails; the previous file is then untouched and the temporary file removed. The steps go
// through the installed FileWriter. The temporary file's name is the target's, ".tmp-" and a
// unique part.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Removes the temporary files of ReplaceFileAtomically for `target` that a writer killed before
// it could remove them left in the target's folder. Call it only while no writer of that target
// can be at work (under the target's lock); files that cannot be removed stay.
void RemoveLeftoverTemporaries(const std::string& target);

// A file open for writing; closed on destruction when Close was not called. Error results are
// the platform's error codes (errno or GetLastError values), 0 for success.
class WritableFile {
 public:
  struct WriteResult {
    std::size_t written = 0;  // bytes that went out, also when the call failed part way
    int error = 0;
  };
  virtual ~WritableFile() = default;
  // Writes some of `bytes` (a call may take fewer than offered).
  virtual WriteResult Write(std::string_view bytes) = 0;
  // Pushes what was written to the disk.
  virtual int Flush() = 0;
  virtual int Close() = 0;
};

// The file system steps that replacing a file takes. Exchangeable (ScopedFileWriter) so that tests
// can make any single step fail.
class FileWriter {
 public:
  struct Temporary {
    std::unique_ptr<WritableFile> file;  // null when it could not be created
    std::string path;
    int error = 0;
  };
  virtual ~FileWriter() = default;
  // Creates a new empty file with a unique name in the folder of `target`.
  virtual Temporary CreateTemporary(const std::string& target) = 0;
  // Renames `from` to `to`, replacing `to` in one step.
  virtual int Rename(const std::string& from, const std::string& to) = 0;
  virtual void Remove(const std::string& path) = 0;
};

// The system's file writer.
FileWriter& SystemFileWriter();

// Makes ReplaceFileAtomically use `writer` while it lives (one thread; they nest).
class ScopedFileWriter {
 public:
  explicit ScopedFileWriter(FileWriter& writer);
  ~ScopedFileWriter();
  ScopedFileWriter(const ScopedFileWriter&) = delete;
  ScopedFileWriter& operator=(const ScopedFileWriter&) = delete;

 private:
  FileWriter* previous_;
};

// The system's message text for an error code of the platform (errno or GetLastError value).
std::string SystemErrorMessage(int code);

}  // namespace pirell::platform
