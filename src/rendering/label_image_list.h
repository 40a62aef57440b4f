#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "rendering/label_image.h"
#include "rendering/request_pictures.h"

namespace pirell {

namespace platform {
class XmlDocument;
}

// The pictures of a label, in order; owns them. A template carries them in its ImageList
// element:
//   <ImageList Count="1" xmlns:dt="urn:schemas-microsoft-com:datatypes">
//     <Image Name="logo.bmp" Path="C:\labels\" dt:dt="bin.base64">Qk0...</Image>
//   </ImageList>
class TLabelImageList {
 public:
  // The picture at `index`, or none outside the list.
  TLabelImage* GetImage(int index) const;
  // The first picture whose name equals `name` without regard to letter case, or none.
  TLabelImage* GetImage(std::string_view name) const;

  // Appends TLabelImage(name) (a file reference); returns its index.
  int AddImage(const std::string& name);
  // Appends a picture from the bytes of a BMP file; returns its index. Raises an Error for bytes
  // that are not a BMP file (nothing is appended then).
  int AddImageData(const std::string& name, const std::string& path, std::string_view data);

  // Replaces the content of `strings`, when given, with the names in list order.
  void GetStrings(std::vector<std::string>* strings) const;

  // Replaces the content with the pictures of the first ImageList element whose parent is a
  // Label element. Raises an Error for a child that is not an element (blanks between elements
  // excepted), an element without Name or Path, content not declared bin.base64, or bytes that
  // are not a BMP file; the list is then left as it was.
  void LoadFromXML(const platform::XmlDocument& doc);
  // Appends an ImageList element with every picture to the document's root element; does
  // nothing without a document or root.
  void SaveToXML(platform::XmlDocument* doc) const;

  // Raises an Error for an index outside the list.
  TLabelImage& Items(int index) const;
  void SetItems(int index, std::unique_ptr<TLabelImage> image);
  int Count() const { return static_cast<int>(images_.size()); }
  void Clear();

  // The picture an Image field names by `reference`, drawn by its renderer: a picture of this
  // list with that name, or else the file it names (see TRequestPictures::DrawFile). Each picture
  // is drawn once per box size until the list changes.
  const MonoBitmap& DrawPicture(const std::string& reference, TBaseImage& renderer);
  // The pictures drawn and the files read since the list last changed.
  TRequestPictures& Drawn() { return drawn_; }
  const TRequestPictures& Drawn() const { return drawn_; }

 private:
  int Append(std::unique_ptr<TLabelImage> image);
  std::vector<std::unique_ptr<TLabelImage>> images_;
  TRequestPictures drawn_;
};

}  // namespace pirell
