#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/module_strings.h"
#include "platform/xml_document.h"
#include "platform/xml_tree_walk.h"
#include "rendering/base64.h"

namespace pirell::platform {
namespace {

constexpr char kDataTypesNamespace[] = "urn:schemas-microsoft-com:datatypes";
constexpr char kBinBase64[] = "bin.base64";

struct XmlFreeString {
  void operator()(xmlChar* text) const { xmlFree(text); }
};
using XmlString = std::unique_ptr<xmlChar, XmlFreeString>;

struct XmlFreeDoc {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using DocPtr = std::unique_ptr<xmlDoc, XmlFreeDoc>;

struct XmlFreeParserCtxt {
  void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};
using ParserCtxtPtr = std::unique_ptr<xmlParserCtxt, XmlFreeParserCtxt>;

const xmlChar* X(const std::string& text) {
  return reinterpret_cast<const xmlChar*>(text.c_str());
}

std::string FromXml(const xmlChar* text) {
  return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

std::string TakeXml(xmlChar* text) {
  XmlString owned(text);
  return FromXml(owned.get());
}

std::string QualifiedName(const xmlChar* name, const xmlNs* ns) {
  std::string result;
  if (ns && ns->prefix) result = FromXml(ns->prefix) + ':';
  return result + FromXml(name);
}

class LibxmlNode final : public XmlNode {
 public:
  explicit LibxmlNode(xmlNode* node) : node_(node) {}

  bool IsElement() const override { return node_->type == XML_ELEMENT_NODE; }

  std::string Name() const override {
    switch (node_->type) {
      case XML_ELEMENT_NODE:
        return QualifiedName(node_->name, node_->ns);
      case XML_TEXT_NODE:
        return "#text";
      case XML_CDATA_SECTION_NODE:
        return "#cdata-section";
      case XML_COMMENT_NODE:
        return "#comment";
      default:
        return FromXml(node_->name);
    }
  }

  std::optional<std::string> Attribute(std::string_view name) const override {
    if (!IsElement()) return std::nullopt;
    for (xmlAttr* attr = node_->properties; attr; attr = attr->next) {
      if (QualifiedName(attr->name, attr->ns) == name) {
        return TakeXml(xmlNodeListGetString(node_->doc, attr->children, 1));
      }
    }
    // Namespace declarations are attributes to the reader of the document.
    for (xmlNs* ns = node_->nsDef; ns; ns = ns->next) {
      const std::string declared = ns->prefix ? "xmlns:" + FromXml(ns->prefix) : "xmlns";
      if (declared == name) return FromXml(ns->href);
    }
    return std::nullopt;
  }

  std::string Text() const override { return TakeXml(xmlNodeGetContent(node_)); }

  std::optional<std::string> Base64Content() const override {
    if (!IsElement()) return std::nullopt;
    XmlString type(xmlGetNsProp(node_, reinterpret_cast<const xmlChar*>("dt"),
                                reinterpret_cast<const xmlChar*>(kDataTypesNamespace)));
    if (!type || std::strcmp(reinterpret_cast<const char*>(type.get()), kBinBase64) != 0) {
      return std::nullopt;
    }
    return Base64Decode(Text());
  }

  std::vector<XmlNode*> ChildNodes() const override {
    std::vector<XmlNode*> result;
    for (const auto& child : Children()) result.push_back(child.get());
    return result;
  }

  XmlNode* AppendElement(std::string_view name) override {
    Children();  // listed before the new child joins, so that it is listed once
    xmlNode* element = xmlNewDocNode(node_->doc, nullptr, X(std::string(name)), nullptr);
    if (!element) throw std::bad_alloc();
    xmlAddChild(node_, element);
    children_.push_back(std::make_unique<LibxmlNode>(element));
    return children_.back().get();
  }

  void SetAttribute(std::string_view name, std::string_view value) override {
    const std::string name_text(name), value_text(value);
    constexpr std::string_view kPrefixDeclaration = "xmlns:";
    if (name.substr(0, kPrefixDeclaration.size()) == kPrefixDeclaration) {
      const std::string prefix(name.substr(kPrefixDeclaration.size()));
      if (!xmlNewNs(node_, X(value_text), X(prefix))) throw std::bad_alloc();
      return;
    }
    // xmlSetProp stores the value literally; serialising escapes it.
    xmlSetProp(node_, X(name_text), X(value_text));
  }

  void SetText(std::string_view text) override {
    children_.clear();
    children_built_ = false;
    xmlNodeSetContent(node_, nullptr);  // frees the former children
    if (text.empty()) return;
    xmlNode* text_node = xmlNewDocTextLen(node_->doc, reinterpret_cast<const xmlChar*>(text.data()),
                                          static_cast<int>(text.size()));
    if (!text_node) throw std::bad_alloc();
    xmlAddChild(node_, text_node);
  }

  void SetBase64Content(std::string_view bytes) override {
    xmlNs* ns =
        xmlSearchNsByHref(node_->doc, node_, reinterpret_cast<const xmlChar*>(kDataTypesNamespace));
    if (!ns) {
      ns = xmlNewNs(node_, reinterpret_cast<const xmlChar*>(kDataTypesNamespace),
                    reinterpret_cast<const xmlChar*>("dt"));
      if (!ns) throw std::bad_alloc();
    }
    xmlSetNsProp(node_, ns, reinterpret_cast<const xmlChar*>("dt"),
                 reinterpret_cast<const xmlChar*>(kBinBase64));
    SetText(Base64Encode(bytes));
  }

  // Wrappers of the children, made on first use and kept, so that one node has one wrapper.
  const std::vector<std::unique_ptr<LibxmlNode>>& Children() const {
    if (!children_built_) {
      for (xmlNode* child = node_->children; child; child = child->next) {
        children_.push_back(std::make_unique<LibxmlNode>(child));
      }
      children_built_ = true;
    }
    return children_;
  }

 private:
  xmlNode* node_;
  mutable bool children_built_ = false;
  mutable std::vector<std::unique_ptr<LibxmlNode>> children_;
};

// Refuses a document type declaration: it could declare entities or name an external DTD.
void RefuseDocumentType(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
  auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
  if (ctxt->_private) *static_cast<bool*>(ctxt->_private) = true;
  ctxt->wellFormed = 0;  // refused even where the flag above is not seen
  xmlStopParser(ctxt);
}

// The parser's reason in words of the module: libxml2's own messages are English.
std::string ReasonText(int code) {
  switch (code) {
    case XML_ERR_TAG_NAME_MISMATCH:
      return ModuleText(StringId::XmlTagMismatch);
    case XML_ERR_TAG_NOT_FINISHED:
    case XML_ERR_LTSLASH_REQUIRED:
      return ModuleText(StringId::XmlTagNotClosed);
    case XML_ERR_DOCUMENT_EMPTY:
      return ModuleText(StringId::XmlEmpty);
    case XML_ERR_DOCUMENT_END:
      return ModuleText(StringId::XmlTextAfterRoot);
    case XML_ERR_INVALID_CHAR:
    case XML_ERR_INVALID_CHARREF:
    case XML_ERR_INVALID_DEC_CHARREF:
    case XML_ERR_INVALID_HEX_CHARREF:
      return ModuleText(StringId::XmlInvalidCharacter);
    case XML_ERR_UNDECLARED_ENTITY:
    case XML_WAR_UNDECLARED_ENTITY:
    case XML_ERR_ENTITYREF_SEMICOL_MISSING:
      return ModuleText(StringId::XmlUnknownEntity);
    case XML_ERR_LT_IN_ATTRIBUTE:
    case XML_ERR_ATTRIBUTE_NOT_STARTED:
    case XML_ERR_ATTRIBUTE_NOT_FINISHED:
    case XML_ERR_ATTRIBUTE_WITHOUT_VALUE:
    case XML_ERR_ATTRIBUTE_REDEFINED:
      return ModuleText(StringId::XmlBadAttribute);
    case XML_ERR_UNKNOWN_ENCODING:
    case XML_ERR_UNSUPPORTED_ENCODING:
      return ModuleText(StringId::XmlUnknownEncoding);
    default:
      return ModuleText(StringId::XmlNotWellFormed);
  }
}

std::string LastErrorText(xmlParserCtxt* ctxt) {
  const xmlError* error = xmlCtxtGetLastError(ctxt);
  if (!error) return ModuleText(StringId::XmlNotWellFormed);
  const std::string reason = ReasonText(error->code);
  if (error->line <= 0) return reason;
  return ModuleText(StringId::XmlAt,
                    {reason, std::to_string(error->line), std::to_string(error->int2)});
}

class LibxmlDocument final : public XmlDocument {
 public:
  bool LoadFromText(std::string_view utf8) override {
    return Parse(utf8, "UTF-8", XML_PARSE_IGNORE_ENC);
  }

  bool LoadFromBytes(std::string_view bytes) override { return Parse(bytes, nullptr, 0); }

  std::string ParseError() const override { return parse_error_; }

  XmlNode* Root() const override {
    if (!root_) {
      xmlNode* root = doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr;
      if (root) root_ = std::make_unique<LibxmlNode>(root);
    }
    return root_.get();
  }

  std::vector<XmlNode*> ElementsWithParent(std::string_view parent,
                                           std::string_view name) const override {
    return FindElementsWithParent(Root(), parent, name);
  }

  XmlNode* CreateRoot(std::string_view name) override {
    Reset();
    doc_.reset(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0")));
    if (!doc_) throw std::bad_alloc();
    xmlNode* root = xmlNewDocNode(doc_.get(), nullptr, X(std::string(name)), nullptr);
    if (!root) throw std::bad_alloc();
    xmlDocSetRootElement(doc_.get(), root);
    return Root();
  }

  std::string SaveToText() const override {
    if (!doc_) return {};
    xmlChar* buffer = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc_.get(), &buffer, &size, "UTF-8", 1);
    XmlString owned(buffer);
    if (!owned || size <= 0) return {};
    return std::string(reinterpret_cast<const char*>(owned.get()), static_cast<std::size_t>(size));
  }

 private:
  void Reset() {
    root_.reset();
    doc_.reset();
    parse_error_.clear();
  }

  bool Parse(std::string_view text, const char* encoding, int extra_options) {
    Reset();
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
      parse_error_ = ModuleText(StringId::XmlTooLarge);
      return false;
    }
    ParserCtxtPtr ctxt(xmlNewParserCtxt());
    if (!ctxt) throw std::bad_alloc();
    bool document_type_seen = false;
    ctxt->_private = &document_type_seen;
    ctxt->sax->internalSubset = RefuseDocumentType;
    // XML_PARSE_HUGE lifts the 10 MB limit on one text node, which an embedded picture may pass
    // (the Windows build has no such limit). The entity limits it also lifts do not matter: a
    // document type is refused, so no entity can be declared.
    const int options =
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE | extra_options;
    DocPtr doc(xmlCtxtReadMemory(ctxt.get(), text.data(), static_cast<int>(text.size()), nullptr,
                                 encoding, options));
    if (document_type_seen) {
      parse_error_ = ModuleText(StringId::XmlDocumentType);
      return false;
    }
    if (!doc || !ctxt->wellFormed) {
      parse_error_ = LastErrorText(ctxt.get());
      return false;
    }
    if (!xmlDocGetRootElement(doc.get())) {
      parse_error_ = ModuleText(StringId::XmlNoRoot);
      return false;
    }
    doc_ = std::move(doc);
    return true;
  }

  DocPtr doc_;
  mutable std::unique_ptr<LibxmlNode> root_;
  std::string parse_error_;
};

}  // namespace

std::unique_ptr<XmlDocument> XmlDocument::Create() {
  return std::make_unique<LibxmlDocument>();
}

}  // namespace pirell::platform
