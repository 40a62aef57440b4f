#include "host_cli/settings_store.h"

#include "driver_object/number_text.h"
#include "platform/files.h"

namespace pirell::cli {
namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char c = text[++i];
      out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Values are written in a locale-independent form so that the file reads back the same
// wherever the host runs.
std::string ValueText(const Variant& value) {
  switch (value.BaseType()) {
    case varBoolean:
      return value.ToBool() ? "True" : "False";
    case varSingle:
    case varDouble:
    case varDate:
      return FormatGeneral(value.RawDouble(), ".", 17);
    case varEmpty:
    case varNull:
      return {};
    default:
      return value.ToString();
  }
}

Variant ValueFromText(int type, const std::string& text) {
  switch (type) {
    case varEmpty:
      return Variant();
    case varBoolean:
      return Variant(text == "True");
    case varSingle:
    case varDouble:
      return Variant(ParseDecimal(text, ".").value_or(0.0));
    case varDate:
      return Variant::Date(ParseDecimal(text, ".").value_or(0.0));
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
      return Variant::Integer(static_cast<std::int32_t>(ParseInteger(text).value_or(0)));
    default:
      return Variant(text);
  }
}

}  // namespace

StoredSettings LoadSettings(const std::string& path) {
  StoredSettings settings;
  const auto content = platform::ReadWholeFile(path);
  if (!content) return settings;
  std::string_view rest(*content);
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) continue;
    const int type =
        static_cast<int>(ParseInteger(line.substr(tab1 + 1, tab2 - tab1 - 1)).value_or(8));
    settings.emplace_back(Unescape(line.substr(0, tab1)),
                          ValueFromText(type, Unescape(line.substr(tab2 + 1))));
  }
  return settings;
}

void SaveSettings(const std::string& path, const StoredSettings& settings) {
  std::string content;
  for (const auto& [id, value] : settings) {
    const Variant& v = value.Deref();
    content += Escape(id) + '\t' + std::to_string(v.IsArray() ? 0 : v.BaseType()) + '\t' +
               (v.IsArray() ? std::string() : Escape(ValueText(v))) + '\n';
  }
  platform::ReplaceFileAtomically(path, content);
}

}  // namespace pirell::cli
