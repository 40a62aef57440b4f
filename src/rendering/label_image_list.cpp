#include "rendering/label_image_list.h"

#include <optional>

#include "common/errors.h"
#include "common/module_strings.h"
#include "platform/locale.h"
#include "platform/xml_document.h"

namespace pirell {
namespace {

constexpr char kDataTypesNamespace[] = "urn:schemas-microsoft-com:datatypes";

bool IsBlank(std::string_view text) {
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  }
  return true;
}

std::string RequiredAttribute(const platform::XmlNode& image, const char* name) {
  std::optional<std::string> value = image.Attribute(name);
  if (!value) {
    throw Error(ModuleText(StringId::PictureAttributeMissing, {image.Name(), name}));
  }
  return *value;
}

}  // namespace

TLabelImage* TLabelImageList::GetImage(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return images_[static_cast<std::size_t>(index)].get();
}

TLabelImage* TLabelImageList::GetImage(std::string_view name) const {
  for (const auto& image : images_) {
    if (platform::SameText(image->Name(), name)) return image.get();
  }
  return nullptr;
}

int TLabelImageList::AddImage(const std::string& name) {
  return Append(std::make_unique<TLabelImage>(name));
}

int TLabelImageList::AddImageData(const std::string& name, const std::string& path,
                                  std::string_view data) {
  return Append(std::make_unique<TLabelImage>(name, data, path));
}

int TLabelImageList::Append(std::unique_ptr<TLabelImage> image) {
  images_.push_back(std::move(image));
  return Count() - 1;
}

void TLabelImageList::GetStrings(std::vector<std::string>* strings) const {
  if (!strings) return;
  strings->clear();
  for (const auto& image : images_) strings->push_back(image->Name());
}

void TLabelImageList::LoadFromXML(const platform::XmlDocument& doc) {
  TLabelImageList loaded;
  const std::vector<platform::XmlNode*> lists = doc.ElementsWithParent("Label", "ImageList");
  if (!lists.empty()) {
    for (platform::XmlNode* child : lists.front()->ChildNodes()) {
      if (!child->IsElement()) {
        // Blanks that lay the template out are not content.
        if (child->Name() == "#text" && IsBlank(child->Text())) continue;
        throw Error(ModuleText(StringId::ImageListHoldsNoPicture, {child->Name()}));
      }
      std::string name = RequiredAttribute(*child, "Name");
      std::string path = RequiredAttribute(*child, "Path");
      std::optional<std::string> bytes = child->Base64Content();
      if (!bytes) throw Error(ModuleText(StringId::PictureNotBase64, {name}));
      loaded.AddImageData(name, path, *bytes);
    }
  }
  images_ = std::move(loaded.images_);
  drawn_.Clear();
}

void TLabelImageList::Clear() {
  images_.clear();
  drawn_.Clear();
}

const MonoBitmap& TLabelImageList::DrawPicture(const std::string& reference, TBaseImage& renderer) {
  if (const TLabelImage* named = GetImage(std::string_view(reference))) {
    return drawn_.Draw(named->Bitmap(), renderer);
  }
  return drawn_.DrawFile(reference, renderer);
}

void TLabelImageList::SaveToXML(platform::XmlDocument* doc) const {
  if (!doc || !doc->Root()) return;
  platform::XmlNode* list = doc->Root()->AppendElement("ImageList");
  list->SetAttribute("Count", std::to_string(Count()));
  list->SetAttribute("xmlns:dt", kDataTypesNamespace);
  for (const auto& image : images_) {
    platform::XmlNode* element = list->AppendElement("Image");
    element->SetAttribute("Name", image->Name());
    element->SetAttribute("Path", image->Path());
    element->SetBase64Content(image->Bytes());
  }
}

TLabelImage& TLabelImageList::Items(int index) const {
  if (index < 0 || index >= Count()) {
    throw Error(ModuleText(StringId::ListIndexOutOfRange, {std::to_string(index)}), "EListError");
  }
  return *images_[static_cast<std::size_t>(index)];
}

void TLabelImageList::SetItems(int index, std::unique_ptr<TLabelImage> image) {
  Items(index);  // checks the index
  if (!image) throw Error(ModuleText(StringId::PictureListEntryMissing));
  images_[static_cast<std::size_t>(index)] = std::move(image);
  drawn_.Clear();
}

}  // namespace pirell
