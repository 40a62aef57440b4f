#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pirell::testing {

// Builds the text of a label template: a Label root with one Item per field and its properties.
class LabelTemplateXml {
 public:
  using Properties = std::vector<std::pair<std::string, std::string>>;

  LabelTemplateXml& Item(std::string_view class_name, const Properties& properties) {
    body_ += "  <Item ClassName=\"" + Escape(class_name) + "\">\n";
    for (const auto& [name, value] : properties)
      body_ += "    <Property Name=\"" + Escape(name) + "\" Value=\"" + Escape(value) + "\"/>\n";
    body_ += "  </Item>\n";
    return *this;
  }

  std::string Text() const {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Label Width=\"58\" Height=\"40\">\n" +
           body_ + "</Label>\n";
  }

 private:
  static std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
      switch (c) {
        case '&':
          out += "&amp;";
          break;
        case '<':
          out += "&lt;";
          break;
        case '>':
          out += "&gt;";
          break;
        case '"':
          out += "&quot;";
          break;
        case '\n':
          out += "&#10;";
          break;
        case '\r':
          out += "&#13;";
          break;
        default:
          out += c;
      }
    }
    return out;
  }

  std::string body_;
};

}  // namespace pirell::testing
