#include "reference_label.h"

#include <cstdint>

namespace pirell::bench {
namespace {

std::string Base64(const std::string& bytes) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (i + 1 == bytes.size()) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += "==";
  } else if (i + 2 == bytes.size()) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A 120 x 100 pixel 24-bit picture: a dark disc on a light background with a grey border.
std::string LogoBmp() {
  const int width = 120, height = 100;
  const int row_size = (width * 3 + 3) / 4 * 4;
  std::string bmp = "BM";
  PutLe(bmp, static_cast<std::uint32_t>(54 + row_size * height), 4);
  PutLe(bmp, 0, 4);
  PutLe(bmp, 54, 4);
  PutLe(bmp, 40, 4);
  PutLe(bmp, width, 4);
  PutLe(bmp, height, 4);
  PutLe(bmp, 1, 2);
  PutLe(bmp, 24, 2);
  for (int i = 0; i < 6; ++i) PutLe(bmp, 0, 4);
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      const int dx = x - width / 2, dy = y - height / 2;
      unsigned char level = dx * dx + dy * dy < 40 * 40 ? 0x20 : 0xE0;
      if (x < 4 || y < 4 || x >= width - 4 || y >= height - 4) level = 0x80;
      row.append(3, static_cast<char>(level));
    }
    row.resize(static_cast<std::size_t>(row_size), '\0');
    bmp += row;
  }
  return bmp;
}

}  // namespace

std::string ReferenceTemplate(bool with_bitmaps) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<Label Width=\"58\" Height=\"40\">\n"
      "<Item ClassName=\"TextSimple\"><Property Name=\"DS\" Value=\"Name\"/>"
      "<Property Name=\"Left\" Value=\"3\"/><Property Name=\"Top\" Value=\"2\"/>"
      "<Property Name=\"Width\" Value=\"40\"/><Property Name=\"Height\" Value=\"4\"/>"
      "<Property Name=\"FontSize\" Value=\"3\"/><Property Name=\"MaxSymbols\" Value=\"24\"/>"
      "</Item>\n"
      "<Item ClassName=\"Shk\"><Property Name=\"DS\" Value=\"Barcode\"/>"
      "<Property Name=\"BarCodeType\" Value=\"CODE128\"/>"
      "<Property Name=\"TextVisible\" Value=\"True\"/>"
      "<Property Name=\"Left\" Value=\"3\"/><Property Name=\"Top\" Value=\"20\"/>"
      "<Property Name=\"Width\" Value=\"30\"/><Property Name=\"Height\" Value=\"14\"/>"
      "</Item>\n"
      "<Item ClassName=\"Line\"><Property Name=\"LineLeft\" Value=\"3\"/>"
      "<Property Name=\"LineTop\" Value=\"18\"/><Property Name=\"LineLength\" Value=\"52\"/>"
      "<Property Name=\"PenWidth\" Value=\"0.3\"/></Item>\n"
      "<Item ClassName=\"Rectangle\"><Property Name=\"Left\" Value=\"1\"/>"
      "<Property Name=\"Top\" Value=\"1\"/><Property Name=\"Width\" Value=\"56\"/>"
      "<Property Name=\"Height\" Value=\"38\"/><Property Name=\"PenWidth\" Value=\"0.3\"/>"
      "</Item>\n";
  if (with_bitmaps) {
    xml +=
        "<Item ClassName=\"TextGraphic\"><Property Name=\"DS\" Value=\"Description\"/>"
        "<Property Name=\"Left\" Value=\"3\"/><Property Name=\"Top\" Value=\"7\"/>"
        "<Property Name=\"Width\" Value=\"40\"/><Property Name=\"Height\" Value=\"10\"/>"
        "<Property Name=\"Font.Size\" Value=\"9\"/></Item>\n"
        "<Item ClassName=\"Image\"><Property Name=\"Value\" Value=\"logo\"/>"
        "<Property Name=\"Left\" Value=\"36\"/><Property Name=\"Top\" Value=\"18\"/>"
        "<Property Name=\"Width\" Value=\"20\"/><Property Name=\"Height\" Value=\"20\"/>"
        "</Item>\n"
        "<ImageList Count=\"1\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
        "<Image Name=\"logo\" Path=\"\" dt:dt=\"bin.base64\">" +
        Base64(LogoBmp()) + "</Image></ImageList>\n";
  }
  xml += "</Label>\n";
  return xml;
}

std::string MarkingCodeTemplate() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<Label Width=\"58\" Height=\"40\">\n"
         "<Item ClassName=\"TextSimple\"><Property Name=\"DS\" Value=\"Name\"/>"
         "<Property Name=\"Left\" Value=\"2\"/><Property Name=\"Top\" Value=\"2\"/>"
         "<Property Name=\"FontSize\" Value=\"2\"/><Property Name=\"MaxSymbols\" Value=\"30\"/>"
         "</Item>\n"
         "<Item ClassName=\"TextSimple\"><Property Name=\"DS\" Value=\"Price\"/>"
         "<Property Name=\"Left\" Value=\"2\"/><Property Name=\"Top\" Value=\"8\"/>"
         "<Property Name=\"FontSize\" Value=\"5\"/><Property Name=\"MaxSymbols\" Value=\"10\"/>"
         "</Item>\n"
         "<Item ClassName=\"Shk\"><Property Name=\"DS\" Value=\"Barcode\"/>"
         "<Property Name=\"BarCodeType\" Value=\"EAN_13\"/>"
         "<Property Name=\"TextVisible\" Value=\"True\"/>"
         "<Property Name=\"Left\" Value=\"2\"/><Property Name=\"Top\" Value=\"22\"/>"
         "<Property Name=\"Width\" Value=\"30\"/><Property Name=\"Height\" Value=\"14\"/>"
         "</Item>\n"
         "<Item ClassName=\"2DShk\"><Property Name=\"DS\" Value=\"Code\"/>"
         "<Property Name=\"BarCodeType\" Value=\"GS1_DATAMATRIX\"/>"
         "<Property Name=\"Left\" Value=\"38\"/><Property Name=\"Top\" Value=\"18\"/>"
         "<Property Name=\"Width\" Value=\"18\"/><Property Name=\"Height\" Value=\"18\"/>"
         "</Item>\n"
         "</Label>\n";
}

std::string MarkingCode(int number) {
  std::string serial = std::to_string(1000000 + number);
  return "0104601234567893"
         "21" +
         serial +
         "abc\x1D"
         "91EE06\x1D"
         "92" +
         std::string("dGVzdCBjcnlwdG8gdGFpbCBvZiB0aGUgbWFya2luZyBjb2Rl").substr(0, 44);
}

}  // namespace pirell::bench
