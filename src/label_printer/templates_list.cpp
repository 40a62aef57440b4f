#include "label_printer/templates_list.h"

#include <charconv>

#include "driver_object/errors.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/module_info.h"
#include "platform/xml_document.h"

namespace pirell {
namespace {

constexpr char kFileName[] = "templates";

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
  if (index < 0 || index >= Count()) throw Error("Template index out of range");
  return *FItems[static_cast<std::size_t>(index)];
}

const TTemplateItem& TTemplatesList::Items(int index) const {
  if (index < 0 || index >= Count()) throw Error("Template index out of range");
  return *FItems[static_cast<std::size_t>(index)];
}

void TTemplatesList::SetItems(int index, std::unique_ptr<TTemplateItem> item) {
  if (index < 0 || index >= Count() || item == nullptr) throw Error("Template index out of range");
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
  Clear();
  FSourceFile.reset();
  const std::string file_name = FileName(dir);
  if (!platform::FileExists(file_name)) {
    FSourceFile = file_name;
    return;
  }
  const std::optional<std::string> bytes = platform::ReadWholeFile(file_name);
  if (!bytes) throw Error("Не удалось прочитать файл шаблонов " + file_name);
  std::unique_ptr<platform::XmlDocument> document = platform::XmlDocument::Create();
  if (!document->LoadFromBytes(*bytes) || document->Root() == nullptr)
    throw Error("Файл шаблонов " + file_name + " повреждён: " + document->ParseError());
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
  const std::string bytes = ToFileBytes();
  try {
    platform::ReplaceFileAtomically(file_name, bytes);
  } catch (const Error& error) {
    throw Error("Не удалось записать файл шаблонов " + file_name + ": " + error.what());
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
