#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pirell::platform {

// A node of a parsed XML document. Nodes belong to their document and stay valid until the
// document is destroyed or loaded anew (or given a new root); SetText and SetBase64Content drop
// the node's former children. Names are compared exactly (XML names are case-sensitive) and are
// the names as written, prefix included. Text between elements is kept as it stands, blanks
// included, in both builds.
class XmlNode {
 public:
  virtual ~XmlNode() = default;

  virtual bool IsElement() const = 0;
  // The element's tag name; for other nodes their kind ("#comment", "#text", ...).
  virtual std::string Name() const = 0;
  // The attribute's value, or nothing when the element has no such attribute.
  virtual std::optional<std::string> Attribute(std::string_view name) const = 0;
  // The text content of the node and its descendants.
  virtual std::string Text() const = 0;
  // The element's content as bytes when it is declared binary in base64 (the data type
  // attribute dt:dt="bin.base64" of the namespace "urn:schemas-microsoft-com:datatypes");
  // nothing when it carries no such declaration. Characters outside the base64 alphabet are
  // skipped.
  virtual std::optional<std::string> Base64Content() const = 0;

  // Every child node (elements, text, comments...) in document order.
  virtual std::vector<XmlNode*> ChildNodes() const = 0;
  // The child elements named `name`, in document order (the query "./name").
  std::vector<XmlNode*> ChildElements(std::string_view name) const;
  // The first child element named `name`, or none.
  XmlNode* FirstChildElement(std::string_view name) const;

  // Building (documents made with XmlDocument::Create).
  virtual XmlNode* AppendElement(std::string_view name) = 0;
  virtual void SetAttribute(std::string_view name, std::string_view value) = 0;
  virtual void SetText(std::string_view text) = 0;
  // Declares the element binary in base64 and sets its content to the encoding of `bytes`.
  virtual void SetBase64Content(std::string_view bytes) = 0;
};

// An XML document. Parsing is synchronous and reads no external resource (no DTD, no external
// entity, no network). A document with a document type declaration is refused, so no declared
// entity is ever expanded.
class XmlDocument {
 public:
  virtual ~XmlDocument() = default;

  // An empty document of the platform's XML service.
  static std::unique_ptr<XmlDocument> Create();

  // Parses a text held as a Unicode string (UTF-8 here); any encoding named in its declaration
  // is ignored. Returns false when the text is not well-formed; the document then has no root.
  virtual bool LoadFromText(std::string_view utf8) = 0;
  // Parses the bytes of a file; the encoding comes from the declaration (windows-1251 included).
  virtual bool LoadFromBytes(std::string_view bytes) = 0;
  // The parser's message for the last failed load.
  virtual std::string ParseError() const = 0;

  // The root element, or none.
  virtual XmlNode* Root() const = 0;
  // Every element named `name` whose parent element is named `parent`, anywhere in the document,
  // in document order (the query "parent/name" applied to the whole document).
  virtual std::vector<XmlNode*> ElementsWithParent(std::string_view parent,
                                                   std::string_view name) const = 0;

  // Replaces the content with a new root element.
  virtual XmlNode* CreateRoot(std::string_view name) = 0;
  // The document as UTF-8 text with an XML declaration.
  virtual std::string SaveToText() const = 0;
};

}  // namespace pirell::platform
