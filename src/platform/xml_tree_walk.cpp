#include "platform/xml_tree_walk.h"

#include <string>

namespace pirell::platform {

std::vector<XmlNode*> FindElementsWithParent(XmlNode* root, std::string_view parent,
                                             std::string_view name) {
  std::vector<XmlNode*> found;
  if (!root) return found;
  // Pre-order walk (document order) with an explicit stack: the nesting depth is the input's.
  struct Pending {
    XmlNode* node;
    bool parent_matches;
  };
  std::vector<Pending> pending{{root, false}};
  while (!pending.empty()) {
    const Pending current = pending.back();
    pending.pop_back();
    const std::string node_name = current.node->Name();
    if (current.parent_matches && node_name == name) found.push_back(current.node);
    const bool matches = node_name == parent;
    const std::vector<XmlNode*> children = current.node->ChildNodes();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      if ((*it)->IsElement()) pending.push_back({*it, matches});
    }
  }
  return found;
}

}  // namespace pirell::platform
