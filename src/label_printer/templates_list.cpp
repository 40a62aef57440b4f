#include "label_printer/templates_list.h"

#include <charconv>

#include "common/errors.h"
#include "common/module_strings.h"
#include "platform/codepage.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/module_info.h"
#include "platform/xml_document.h"

namespace pirell {
namespace {

constexpr char kFileName[] = "templates";
constexpr char kLockSuffix[] = ".lock";
constexpr std::size_t kMegabyte = 1024 * 1024;

bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Character data of an element, as UTF-8 in which every character is either ASCII or has a
// windows-1251 byte. A carriage return is written as a reference because parsers turn a literal
// one into a line feed.
void AppendEscaped(std::string& out, const std::string& text) {
  for (char32_t c : platform::Utf8ToUtf32(text)) {
    switch (c) {
      case '&':
        out += "&amp;";
        continue;
      case '<':
        out += "&lt;";
        continue;
      case '>':
        out += "&gt;";
        continue;
      case '\r':
        out += "&#13;";
        continue;
      default:
        break;
    }
    if (!IsXmlChar(c)) throw Error("Текст шаблона содержит символ, недопустимый в XML");
    if (platform::IsCp1251Representable(c))
      platform::AppendUtf8(out, c);
    else
      out += "&#" + std::to_string(static_cast<std::uint32_t>(c)) + ";";
  }
}

void AppendElement(std::string& out, const char* name, const std::string& text) {
  out += '<';
  out += name;
  out += '>';
  AppendEscaped(out, text);
  out += "</";
  out += name;
  out += '>';
}

// The template number as the file holds it: a decimal integer, spaces around it allowed.
std::int32_t ParseNumber(const std::string& text, const std::string& file_name) {
  std::size_t begin = text.find_first_not_of(" \t\r\n");
  std::size_t end = text.find_last_not_of(" \t\r\n");
  std::int32_t number = 0;
  if (begin != std::string::npos) {
    const char* first = text.data() + begin;
    const char* last = text.data() + end + 1;
    if (*first == '+' && last - first > 1 && first[1] != '-') ++first;
    const auto [ptr, error] = std::from_chars(first, last, number);
    if (error == std::errc() && ptr == last) return number;
  }
  throw Error("'" + text + "' не является номером шаблона (файл " + file_name + ")");
}

// "10" for whole seconds, "0,2" otherwise.
std::string SecondsText(std::uint32_t ms) {
  std::string text = std::to_string(ms / 1000);
  if (ms % 1000 != 0) text += "," + std::to_string(ms % 1000 / 100);
  return text;
}

// Takes the lock of the template file `file_name`, or raises the reason it cannot be had.
std::unique_ptr<platform::FileLock> LockTemplateFile(const std::string& file_name,
                                                     std::uint32_t wait_ms) {
  platform::FileLockResult result = platform::LockFile(file_name + kLockSuffix, wait_ms);
  if (result.lock) return std::move(result.lock);
  const std::string reason =
      result.timed_out ? ModuleText(StringId::TemplateFileBusy, {file_name, SecondsText(wait_ms)})
                       : ModuleText(StringId::TemplateFileLockFailed,
                                    {file_name, platform::SystemErrorMessage(result.error)});
  throw CodedError(rc::BadParameters, reason, "ETemplateFileLocked");
}

std::string ElementText(const platform::XmlNode& item, const char* name) {
  const platform::XmlNode* element = item.FirstChildElement(name);
  return element ? element->Text() : std::string();
}

}  // namespace

TTemplateItem* TTemplatesList::FindItem(std::int32_t number) {
  for (const auto& item : FItems) {
    if (item->Number() == number) return item.get();
  }
  return nullptr;
}

TTemplateItem& TTemplatesList::Add(std::int32_t number, std::string description, std::string data) {
  if (TTemplateItem* item = FindItem(number)) {
    item->SetDescription(std::move(description));
    item->SetData(std::move(data));
    return *item;
  }
  FItems.push_back(
      std::make_unique<TTemplateItem>(number, std::move(description), std::move(data)));
  return *FItems.back();
}

TTemplateItem& TTemplatesList::Items(int index) {
  if (index < 0 || index >= Count())
    throw Error(ModuleText(StringId::ListIndexOutOfRange, {std::to_string(index)}));
  return *FItems[static_cast<std::size_t>(index)];
}

const TTemplateItem& TTemplatesList::Items(int index) const {
  if (index < 0 || index >= Count())
    throw Error(ModuleText(StringId::ListIndexOutOfRange, {std::to_string(index)}));
  return *FItems[static_cast<std::size_t>(index)];
}

void TTemplatesList::SetItems(int index, std::unique_ptr<TTemplateItem> item) {
  if (index < 0 || index >= Count() || item == nullptr)
    throw Error(ModuleText(StringId::ListIndexOutOfRange, {std::to_string(index)}));
  FItems[static_cast<std::size_t>(index)] = std::move(item);
}

void TTemplatesList::Clear() {
  FItems.clear();
}

std::string TTemplatesList::FileName(const std::string& dir) {
  const std::string folder =
      platform::DirectoryExists(dir) ? dir : platform::ExtractFileDir(platform::ModuleFileName());
  return platform::IncludeTrailingPathDelimiter(folder) + kFileName;
}

void TTemplatesList::Load(const std::string& dir) {
  LoadFile(FileName(dir));
}

void TTemplatesList::LoadFile(const std::string& file_name) {
  Clear();
  FSourceFile.reset();
  if (!platform::FileExists(file_name)) {
    FSourceFile = file_name;
    return;
  }
  const platform::BoundedRead read = platform::ReadFileUpTo(file_name, kMaxTemplateFileBytes);
  if (read.too_large) {
    throw LimitError(ModuleText(StringId::TemplateFileTooLarge,
                                {file_name, std::to_string(kMaxTemplateFileBytes / kMegabyte)}));
  }
  if (!read.bytes) throw Error(ModuleText(StringId::TemplateFileUnreadable, {file_name}));
  std::unique_ptr<platform::XmlDocument> document = platform::XmlDocument::Create();
  if (!document->LoadFromBytes(*read.bytes) || document->Root() == nullptr)
    throw Error(ModuleText(StringId::TemplateFileDamaged, {file_name, document->ParseError()}));
  for (const platform::XmlNode* item : document->Root()->ChildNodes()) {
    if (!item->IsElement()) continue;
    const platform::XmlNode* number = item->FirstChildElement("number");
    Add(number ? ParseNumber(number->Text(), file_name) : 0, ElementText(*item, "description"),
        ElementText(*item, "data"));
  }
  FSourceFile = file_name;
}

void TTemplatesList::Save(const std::string& dir) {
  const std::string file_name = FileName(dir);
  const std::unique_ptr<platform::FileLock> lock = LockTemplateFile(file_name, FLockWaitMs);
  platform::RemoveLeftoverTemporaries(file_name);
  WriteFile(file_name);
}

void TTemplatesList::Store(const std::string& dir, std::int32_t number, std::string description,
                           std::string data) {
  const std::string file_name = FileName(dir);
  const std::unique_ptr<platform::FileLock> lock = LockTemplateFile(file_name, FLockWaitMs);
  platform::RemoveLeftoverTemporaries(file_name);
  LoadFile(file_name);
  // What the template replaces, to put back when the file would grow too large.
  std::unique_ptr<TTemplateItem> replaced;
  if (const TTemplateItem* item = FindItem(number))
    replaced = std::make_unique<TTemplateItem>(*item);
  Add(number, std::move(description), std::move(data));
  try {
    WriteFile(file_name);
  } catch (const LimitError&) {
    if (replaced)
      Add(number, replaced->Description(), replaced->Data());
    else
      FItems.pop_back();
    throw;
  }
}

void TTemplatesList::WriteFile(const std::string& file_name) {
  const std::string bytes = ToFileBytes();
  if (bytes.size() > kMaxTemplateFileBytes) {
    throw LimitError(ModuleText(StringId::TemplateFileWouldBeTooLarge,
                                {file_name, std::to_string(kMaxTemplateFileBytes / kMegabyte)}));
  }
  try {
    platform::ReplaceFileAtomically(file_name, bytes);
  } catch (const Error& error) {
    throw Error(ModuleText(StringId::TemplateFileWriteFailed, {file_name, error.what()}));
  }
  FSourceFile = file_name;
}

std::string TTemplatesList::ToFileBytes() const {
  std::string text = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<templates>";
  for (const auto& item : FItems) {
    text += "<item>";
    AppendElement(text, "number", std::to_string(item->Number()));
    AppendElement(text, "description", item->Description());
    AppendElement(text, "data", item->Data());
    text += "</item>";
  }
  text += "</templates>\r\n";
  // Every character left is one windows-1251 has.
  return platform::Utf8ToCp1251(text);
}

bool TTemplatesList::IsStorableText(const std::string& text) {
  for (char32_t c : platform::Utf8ToUtf32(text)) {
    if (!IsXmlChar(c)) return false;
  }
  return true;
}

}  // namespace pirell
