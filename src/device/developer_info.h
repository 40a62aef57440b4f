#pragma once

namespace pirell {

// The developer and the contacts every device of this module reports to the host
// ("GetDeviceInfo") and shows on its settings window.
struct DeveloperInfo {
  static constexpr char kName[] = "Kestro-Dalvin";
  static constexpr char kEmail[] = "support@kestro-dalvin.ru";
  static constexpr char kWeb[] = "https://kestro-dalvin.ru/pirell";
  static constexpr char kPhones[] = "+7 (812) 405-17-40";
  static constexpr char kAddress[] = "190000, Санкт-Петербург, ул. Декабристов, д. 20, офис 4";
};

}  // namespace pirell
