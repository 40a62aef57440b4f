#include "platform/xml_document.h"

namespace pirell::platform {

std::vector<XmlNode*> XmlNode::ChildElements(std::string_view name) const {
  std::vector<XmlNode*> result;
  for (XmlNode* child : ChildNodes()) {
    if (child->IsElement() && child->Name() == name) result.push_back(child);
  }
  return result;
}

XmlNode* XmlNode::FirstChildElement(std::string_view name) const {
  for (XmlNode* child : ChildNodes()) {
    if (child->IsElement() && child->Name() == name) return child;
  }
  return nullptr;
}

}  // namespace pirell::platform
