#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pirell {

// Largest template file the driver reads or writes: four templates of the largest size even when
// their markup is escaped. A file that an upload would make larger is not written.
inline constexpr std::size_t kMaxTemplateFileBytes = std::size_t{64} * 1024 * 1024;
// Longest wait for another writer of the template file to finish.
inline constexpr std::uint32_t kTemplateFileLockWaitMs = 10000;

// A label template the host uploaded: its number (the key), a description and the template
// text, kept as an opaque string.
class TTemplateItem {
 public:
  TTemplateItem() = default;
  TTemplateItem(std::int32_t number, std::string description, std::string data)
      : FNumber(number), FDescription(std::move(description)), FData(std::move(data)) {}

  std::int32_t Number() const { return FNumber; }
  void SetNumber(std::int32_t number) { FNumber = number; }
  const std::string& Description() const { return FDescription; }
  void SetDescription(std::string description) { FDescription = std::move(description); }
  const std::string& Data() const { return FData; }
  void SetData(std::string data) { FData = std::move(data); }

 private:
  std::int32_t FNumber = 0;
  std::string FDescription;
  std::string FData;
};

// The templates of a device in upload order, kept in the file "templates" of the device folder
// (an XML document in windows-1251). The list owns its items.
//
// Several driver objects, in one process or in several, may share one template file (the file
// beside the module serves every device without a folder of its own). Writers take the lock file
// "templates.lock" beside it for the whole read, change and write, so that none loses another's
// templates; readers need no lock because the file is always replaced in one step.
class TTemplatesList {
 public:
  TTemplatesList() = default;
  TTemplatesList(const TTemplatesList&) = delete;
  TTemplatesList& operator=(const TTemplatesList&) = delete;

  // The first item with this number, or null.
  TTemplateItem* FindItem(std::int32_t number);
  // Replaces the description and data of the item with this number, keeping its place, or
  // appends a new item.
  TTemplateItem& Add(std::int32_t number, std::string description, std::string data);

  int Count() const { return static_cast<int>(FItems.size()); }
  // Zero-based; raises an Error outside the list.
  TTemplateItem& Items(int index);
  const TTemplateItem& Items(int index) const;
  void SetItems(int index, std::unique_ptr<TTemplateItem> item);
  void Clear();

  // The template file of a folder: the folder when it exists, otherwise the driver module's.
  static std::string FileName(const std::string& dir);

  // Replaces the list with the file's content; a missing file gives an empty list. Raises an
  // Error for a file that cannot be read, is not well-formed XML or holds a number that is not
  // an integer, and a LimitError for a file larger than kMaxTemplateFileBytes; the list then
  // holds the entries read before the failure.
  void Load(const std::string& dir);
  // Writes the whole list to the file under its lock, replacing it in one step: a failed write
  // raises an Error, a list larger than kMaxTemplateFileBytes a LimitError, and either leaves the
  // previous file as it was.
  void Save(const std::string& dir);
  // Adds one template to the file of `dir` without losing what other writers stored there: under
  // the file's lock it removes the temporary files a killed writer left, reads the file anew
  // into the list (a list read earlier never overwrites newer entries), adds the template and
  // writes the file. The list then holds the file's content with the new template, which stays
  // in the list when only the write fails. A file that cannot be read fails as Load does and is
  // left as it is; a file that the template would make larger than kMaxTemplateFileBytes is
  // refused with a LimitError and the list keeps the file's content; a lock that cannot be had
  // within the lock wait raises a CodedError with code 1004.
  void Store(const std::string& dir, std::int32_t number, std::string description,
             std::string data);
  // The longest wait for the file's lock (kTemplateFileLockWaitMs unless set).
  void SetLockWait(std::uint32_t ms) { FLockWaitMs = ms; }

  // The file the list was last read from or written to, when it reflects that file: set by a
  // successful Load or Save, cleared by a failed Load.
  const std::optional<std::string>& SourceFile() const { return FSourceFile; }

  // The file's bytes for the list: windows-1251 XML; characters that windows-1251 lacks are
  // written as character references so that they read back unchanged.
  std::string ToFileBytes() const;
  // True when XML can carry the text (no control characters other than tab, CR and LF).
  static bool IsStorableText(const std::string& text);

 private:
  // Load of a chosen file, without the folder rule.
  void LoadFile(const std::string& file_name);
  // Writes the list to the file (refusing one over kMaxTemplateFileBytes); the caller holds the
  // file's lock.
  void WriteFile(const std::string& file_name);

  std::vector<std::unique_ptr<TTemplateItem>> FItems;
  std::optional<std::string> FSourceFile;
  std::uint32_t FLockWaitMs = kTemplateFileLockWaitMs;
};

}  // namespace pirell
