#pragma once

#include <string_view>
#include <vector>

#include "platform/xml_document.h"

namespace pirell::platform {

// Every element named `name` whose parent element is named `parent`, in the tree below `root`
// (the root itself has no parent element), in document order. Both XML backends answer
// XmlDocument::ElementsWithParent with it, so they select exactly the same nodes.
std::vector<XmlNode*> FindElementsWithParent(XmlNode* root, std::string_view parent,
                                             std::string_view name);

}  // namespace pirell::platform
