#include "rendering/label_document.h"

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/module_strings.h"
#include "driver_object/number_text.h"
#include "platform/xml_document.h"

namespace pirell {
namespace {

// A whole number attribute of the root; 0 when absent or not a 32-bit whole number.
std::int32_t SizeAttribute(const platform::XmlNode& root, const char* name) {
  const std::optional<std::string> text = root.Attribute(name);
  if (!text) return 0;
  const std::optional<std::int64_t> value = ParseInteger(*text);
  if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
      *value > std::numeric_limits<std::int32_t>::max()) {
    return 0;
  }
  return static_cast<std::int32_t>(*value);
}

}  // namespace

TField* TFieldList::Add() {
  fields_.push_back(std::make_unique<TField>(this));
  return fields_.back().get();
}

TField* TFieldList::Items(int i) {
  if (i < 0 || i >= Count()) {
    throw Error(ModuleText(StringId::ListIndexOutOfRange, {std::to_string(i)}), "EListError");
  }
  return fields_[static_cast<std::size_t>(i)].get();
}

TLabelObj::TLabelObj() : fields_(this) {}

TLabelObj::~TLabelObj() = default;

void TLabelObj::LoadFromString(const std::string& xml_utf8) {
  fields_.Clear();
  width_ = 0;
  height_ = 0;
  if (xml_utf8.size() > kMaxTemplateBytes) {
    throw LimitError("Шаблон этикетки больше " + std::to_string(kMaxTemplateBytes / (1024 * 1024)) +
                     " МБ");
  }

  std::unique_ptr<platform::XmlDocument> doc = platform::XmlDocument::Create();
  doc->LoadFromText(xml_utf8);
  const platform::XmlNode* root = doc->Root();
  if (!root) {
    throw Error(ModuleText(StringId::LabelTemplateNotXml, {doc->ParseError()}));
  }
  width_ = SizeAttribute(*root, "Width");
  height_ = SizeAttribute(*root, "Height");

  const std::vector<platform::XmlNode*> items = doc->ElementsWithParent("Label", "Item");
  if (items.size() > kMaxTemplateFields) {
    throw LimitError("Шаблон этикетки содержит больше " + std::to_string(kMaxTemplateFields) +
                     " полей");
  }
  for (platform::XmlNode* item : items) {
    TField* field = fields_.Add();
    field->SetFieldType(FieldTypeFromClassName(item->Attribute("ClassName").value_or("")));
    for (platform::XmlNode* property : item->ChildElements("Property")) {
      std::string name = property->Attribute("Name").value_or("");
      if (name == "ValueFileName") name = "Value";
      field->SetProperty(name, property->Attribute("Value").value_or(""));
    }
  }

  try {
    images_.LoadFromXML(*doc);
  } catch (...) {
    // No half-loaded label: without its pictures the fields are not printed either.
    fields_.Clear();
    images_.Clear();
    throw;
  }
}

}  // namespace pirell
