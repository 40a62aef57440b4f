#include <msxml2.h>
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/module_strings.h"
#include "platform/files.h"
#include "platform/windows/com_ptr.h"
#include "platform/windows/wide.h"
#include "platform/xml_document.h"
#include "platform/xml_tree_walk.h"
#include "rendering/base64.h"

namespace pirell::platform {
namespace {

// {2933BF95-7B36-11D2-B20E-00C04F983E60}; the import library does not carry it.
constexpr IID kIidXmlDomDocument2 = {
    0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

constexpr char kDataTypesNamespace[] = "urn:schemas-microsoft-com:datatypes";
constexpr wchar_t kBinBase64[] = L"bin.base64";

// Owns a BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::string_view utf8) {
    const std::wstring wide = Widen(utf8);
    text_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!text_) throw std::bad_alloc();
  }
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR Get() const { return text_; }
  BSTR* Put() {
    SysFreeString(text_);
    text_ = nullptr;
    return &text_;
  }
  std::string Utf8() const {
    return text_ ? Narrow(std::wstring_view(text_, SysStringLen(text_))) : std::string();
  }

 private:
  BSTR text_ = nullptr;
};

// Owns a VARIANT and whatever it holds.
class OleVariant {
 public:
  OleVariant() { VariantInit(&value_); }
  ~OleVariant() { VariantClear(&value_); }
  OleVariant(const OleVariant&) = delete;
  OleVariant& operator=(const OleVariant&) = delete;

  VARIANT* Put() {
    VariantClear(&value_);
    return &value_;
  }
  const VARIANT& Get() const { return value_; }
  VARIANT& Get() { return value_; }

  // A one-dimensional array of bytes.
  static void SetBytes(OleVariant& target, std::string_view bytes) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (!array) throw std::bad_alloc();
    VARIANT* v = target.Put();
    v->vt = VT_ARRAY | VT_UI1;
    v->parray = array;  // owned by the variant from here on
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data)))
      throw Error(ModuleText(StringId::XmlServiceFailed, {SystemErrorMessage(E_FAIL)}));
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
  }

 private:
  VARIANT value_;
};

// `what` names the step in the source only: the host sees the system's text of the failure.
void Check(HRESULT hr, [[maybe_unused]] const char* what) {
  if (FAILED(hr))
    throw Error(ModuleText(StringId::XmlServiceFailed, {SystemErrorMessage(static_cast<int>(hr))}));
}

// Joins the calling thread to a single-threaded apartment for the object's lifetime, unless the
// thread already belongs to one (the host's thread does).
class ComApartment {
 public:
  ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT hr_;
};

class MsxmlNode final : public XmlNode {
 public:
  explicit MsxmlNode(ComPtr<IXMLDOMNode> node) : node_(std::move(node)) {}

  bool IsElement() const override {
    DOMNodeType type = NODE_INVALID;
    return SUCCEEDED(node_->get_nodeType(&type)) && type == NODE_ELEMENT;
  }

  std::string Name() const override {
    Bstr name;
    if (FAILED(node_->get_nodeName(name.Put()))) return {};
    return name.Utf8();
  }

  std::optional<std::string> Attribute(std::string_view name) const override {
    ComPtr<IXMLDOMElement> element = node_.Query<IXMLDOMElement>(IID_IXMLDOMElement);
    if (!element) return std::nullopt;
    Bstr attribute_name(name);
    OleVariant value;
    if (element->getAttribute(attribute_name.Get(), value.Put()) != S_OK) return std::nullopt;
    if (value.Get().vt != VT_BSTR) return std::nullopt;
    return Narrow(std::wstring_view(value.Get().bstrVal, SysStringLen(value.Get().bstrVal)));
  }

  std::string Text() const override {
    Bstr text;
    if (FAILED(node_->get_text(text.Put()))) return {};
    return text.Utf8();
  }

  std::optional<std::string> Base64Content() const override {
    if (!IsElement()) return std::nullopt;
    OleVariant type;
    if (node_->get_dataType(type.Put()) != S_OK || type.Get().vt != VT_BSTR ||
        std::wstring_view(type.Get().bstrVal, SysStringLen(type.Get().bstrVal)) != kBinBase64) {
      return std::nullopt;
    }
    // Decoded here rather than through nodeTypedValue: the service does not skip characters
    // outside the alphabet but turns them into wrong bytes.
    return Base64Decode(Text());
  }

  std::vector<XmlNode*> ChildNodes() const override {
    std::vector<XmlNode*> result;
    for (const auto& child : Children()) result.push_back(child.get());
    return result;
  }

  XmlNode* AppendElement(std::string_view name) override {
    ComPtr<IXMLDOMDocument> document;
    Check(node_->get_ownerDocument(document.Put()), "Cannot reach the XML document");
    Bstr tag(name);
    ComPtr<IXMLDOMElement> element;
    Check(document->createElement(tag.Get(), element.Put()), "Cannot create an XML element");
    Children();  // listed before the new child joins, so that it is listed once
    ComPtr<IXMLDOMNode> appended;
    Check(node_->appendChild(element.Get(), appended.Put()), "Cannot append an XML element");
    children_.push_back(std::make_unique<MsxmlNode>(appended));
    return children_.back().get();
  }

  void SetAttribute(std::string_view name, std::string_view value) override {
    ComPtr<IXMLDOMElement> element = node_.Query<IXMLDOMElement>(IID_IXMLDOMElement);
    if (!element) Check(E_NOINTERFACE, "Only an XML element has attributes");
    Bstr attribute_name(name);
    OleVariant text;
    text.Put()->vt = VT_BSTR;
    const std::wstring wide = Widen(value);
    text.Get().bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!text.Get().bstrVal) throw std::bad_alloc();
    Check(element->setAttribute(attribute_name.Get(), text.Get()), "Cannot set an XML attribute");
  }

  void SetText(std::string_view text) override {
    children_.clear();
    children_built_ = false;
    Bstr content(text);
    Check(node_->put_text(content.Get()), "Cannot set the text of an XML element");
  }

  void SetBase64Content(std::string_view bytes) override {
    children_.clear();
    children_built_ = false;
    Bstr type(Narrow(kBinBase64));
    if (SUCCEEDED(node_->put_dataType(type.Get()))) {
      OleVariant typed;
      OleVariant::SetBytes(typed, bytes);
      if (SUCCEEDED(node_->put_nodeTypedValue(typed.Get()))) return;
    }
    // A service without data types: write the declaration and the encoding by hand.
    SetAttribute("xmlns:dt", kDataTypesNamespace);
    SetAttribute("dt:dt", Narrow(kBinBase64));
    SetText(Base64Encode(bytes));
  }

 private:
  const std::vector<std::unique_ptr<MsxmlNode>>& Children() const {
    if (!children_built_) {
      ComPtr<IXMLDOMNodeList> list;
      long count = 0;
      if (SUCCEEDED(node_->get_childNodes(list.Put())) && list &&
          SUCCEEDED(list->get_length(&count))) {
        for (long i = 0; i < count; ++i) {
          ComPtr<IXMLDOMNode> child;
          if (list->get_item(i, child.Put()) == S_OK && child) {
            children_.push_back(std::make_unique<MsxmlNode>(child));
          }
        }
      }
      children_built_ = true;
    }
    return children_;
  }

  ComPtr<IXMLDOMNode> node_;
  mutable bool children_built_ = false;
  mutable std::vector<std::unique_ptr<MsxmlNode>> children_;
};

ComPtr<IXMLDOMDocument> CreateDomDocument() {
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(L"Msxml2.DOMDocument", &clsid)))
    throw Error(ModuleText(StringId::XmlServiceMissing));
  ComPtr<IXMLDOMDocument> document;
  Check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                         reinterpret_cast<void**>(document.Put())),
        "Cannot create an XML document");
  Check(document->put_async(VARIANT_FALSE), "Cannot make the XML document synchronous");
  Check(document->put_resolveExternals(VARIANT_FALSE), "Cannot switch off external resources");
  Check(document->put_validateOnParse(VARIANT_FALSE), "Cannot switch off validation");
  // Blanks between elements stay text nodes, as in the other build.
  Check(document->put_preserveWhiteSpace(VARIANT_TRUE), "Cannot keep blanks");
  if (ComPtr<IXMLDOMDocument2> document2 = document.Query<IXMLDOMDocument2>(kIidXmlDomDocument2)) {
    // Older versions of the service lack these properties; a declared document type is then
    // refused after parsing.
    Bstr prohibit_dtd("ProhibitDTD");
    OleVariant yes;
    yes.Put()->vt = VT_BOOL;
    yes.Get().boolVal = VARIANT_TRUE;
    document2->setProperty(prohibit_dtd.Get(), yes.Get());
    Bstr selection_language("SelectionLanguage");
    OleVariant xpath;
    xpath.Put()->vt = VT_BSTR;
    xpath.Get().bstrVal = SysAllocString(L"XPath");
    document2->setProperty(selection_language.Get(), xpath.Get());
  }
  return document;
}

class MsxmlDocument final : public XmlDocument {
 public:
  MsxmlDocument() : document_(CreateDomDocument()) {}

  bool LoadFromText(std::string_view utf8) override {
    Reset();
    Bstr text(utf8);
    VARIANT_BOOL ok = VARIANT_FALSE;
    const HRESULT hr = document_->loadXML(text.Get(), &ok);
    return Loaded(hr, ok);
  }

  bool LoadFromBytes(std::string_view bytes) override {
    Reset();
    OleVariant source;
    OleVariant::SetBytes(source, bytes);
    VARIANT_BOOL ok = VARIANT_FALSE;
    const HRESULT hr = document_->load(source.Get(), &ok);
    return Loaded(hr, ok);
  }

  std::string ParseError() const override { return parse_error_; }

  XmlNode* Root() const override {
    if (!root_ && has_content_) {
      ComPtr<IXMLDOMElement> element;
      if (document_->get_documentElement(element.Put()) == S_OK && element) {
        root_ = std::make_unique<MsxmlNode>(element.Query<IXMLDOMNode>(IID_IXMLDOMNode));
      }
    }
    return root_.get();
  }

  std::vector<XmlNode*> ElementsWithParent(std::string_view parent,
                                           std::string_view name) const override {
    return FindElementsWithParent(Root(), parent, name);
  }

  XmlNode* CreateRoot(std::string_view name) override {
    Reset();
    document_ = CreateDomDocument();
    Bstr tag(name);
    ComPtr<IXMLDOMElement> element;
    Check(document_->createElement(tag.Get(), element.Put()), "Cannot create an XML element");
    Check(document_->putref_documentElement(element.Get()), "Cannot set the root element");
    has_content_ = true;
    return Root();
  }

  std::string SaveToText() const override {
    if (!has_content_) return {};
    Bstr xml;
    if (FAILED(document_->get_xml(xml.Put()))) return {};
    std::string text = xml.Utf8();
    // The service writes no declaration for a built document and no encoding for a loaded one.
    if (text.rfind("<?xml", 0) == 0) {
      const std::size_t end = text.find("?>");
      text.erase(0, end == std::string::npos ? text.size() : end + 2);
      while (!text.empty() && (text.front() == '\r' || text.front() == '\n')) text.erase(0, 1);
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + text;
  }

 private:
  void Reset() {
    root_.reset();
    has_content_ = false;
    parse_error_.clear();
  }

  bool Loaded(HRESULT hr, VARIANT_BOOL ok) {
    if (FAILED(hr) || ok != VARIANT_TRUE) {
      parse_error_ = LastParseError();
      return false;
    }
    ComPtr<IXMLDOMDocumentType> doctype;
    if (document_->get_doctype(doctype.Put()) == S_OK && doctype) {
      parse_error_ = ModuleText(StringId::XmlDocumentType);
      return false;
    }
    ComPtr<IXMLDOMElement> element;
    if (document_->get_documentElement(element.Put()) != S_OK || !element) {
      parse_error_ = ModuleText(StringId::XmlNoRoot);
      return false;
    }
    has_content_ = true;
    return true;
  }

  // The position of the fault; the service's reason is left out, as it comes in the language of
  // the system's user interface.
  std::string LastParseError() const {
    ComPtr<IXMLDOMParseError> error;
    long line = 0, column = 0;
    if (FAILED(document_->get_parseError(error.Put())) || !error ||
        FAILED(error->get_line(&line)) || line <= 0) {
      return ModuleText(StringId::XmlNotWellFormed);
    }
    error->get_linepos(&column);
    return ModuleText(StringId::XmlAt, {ModuleText(StringId::XmlNotWellFormed),
                                        std::to_string(line), std::to_string(column)});
  }

  ComApartment apartment_;  // first in, last out: every COM reference below dies before it
  ComPtr<IXMLDOMDocument> document_;
  bool has_content_ = false;
  mutable std::unique_ptr<MsxmlNode> root_;
  std::string parse_error_;
};

}  // namespace

std::unique_ptr<XmlDocument> XmlDocument::Create() {
  return std::make_unique<MsxmlDocument>();
}

}  // namespace pirell::platform
