#pragma once

#include <string>
#include <string_view>

namespace pirell {

// User-visible texts of the driver object frame that are not result messages. They are kept in
// one table so that a translation touches one place.
enum class StringId {
  EquipmentUnknown,
  EquipmentTemplate,
  EquipmentScanner,
  EquipmentFiscalPrinter,
  EquipmentAcquiringTerminal,
  EquipmentDataCollectionTerminal,
  EquipmentLineDisplay,
  EquipmentCardReader,
  EquipmentScale,
  EquipmentServicePrinter,
  EquipmentAccessController,
  EquipmentLabelPrinter,
  EquipmentBiometricReader,
  EquipmentElectronicLocks,
  EquipmentSMSCommunicator,
  EquipmentEventLogger,
  EquipmentTimePhasedServicesController,
  EquipmentCustomerFeedbackTerminal,
  EquipmentBillValidator,
  EquipmentCoffeeMachine,
  ContactEmail,
  ContactWeb,
  ContactPhones,
  ContactAddress,
  // Printing; "%1" and "%2" stand for the numbers that FormatModuleString puts in.
  LabelsSent,
  CopiesNotWhole,
  CopiesOutOfRange,
  PicturesOverBudget,
  OutOfMemoryInLabel,
  PictureFileSkipped,
  PictureFileCannotOpen,
  PictureFileNotRegular,
  PictureFileTooLarge,
  PictureFileNotBmp,
};

// The text of `id` (UTF-8).
std::string_view LoadModuleString(StringId id);

// The text of `id` with "%1" replaced by `first` and "%2" by `second`.
std::string FormatModuleString(StringId id, std::string_view first, std::string_view second = {});

}  // namespace pirell
