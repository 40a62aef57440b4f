#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pirell::platform {

// Paths are UTF-8 texts in the platform's own syntax.
char PathDelimiter();
bool DirectoryExists(const std::string& path);
bool FileExists(const std::string& path);
// The path with one trailing path delimiter (an empty path gives a lone delimiter).
std::string IncludeTrailingPathDelimiter(const std::string& path);
// The folder part of a file path, without the trailing delimiter.
std::string ExtractFileDir(const std::string& path);

// Appends `bytes` to the file, creating it when missing. Returns false when it cannot.
bool AppendToFile(const std::string& path, std::string_view bytes);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file with `bytes` so that a reader sees either the old or the new content, never
// a part: the bytes go to a temporary file in the same folder, are flushed, and the temporary
// file is renamed over the target. Raises an Error (with the system's message) when any step
// fails; the previous file is then untouched.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// The system's message text for an error code of the platform (errno or GetLastError value).
std::string SystemErrorMessage(int code);

}  // namespace pirell::platform
