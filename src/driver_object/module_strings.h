#pragma once

#include <initializer_list>
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
  // Failures the host sees as messages; %1, %2 stand for the arguments of ModuleText.
  OutOfMemory,
  InternalError,
  CallInProgress,
  CannotConvert,
  NotAnArray,
  ArrayBoundsOutOfRange,
  ArrayTooLarge,
  ArrayDimensionOutOfRange,
  ArrayIndexOutOfBounds,
  NullReference,
  ValueTypeUnsupported,
  ValueNestsTooDeeply,
  ArrayUnreadable,
  NoLateBinding,
  HostMethodUnknown,
  HostCallFailed,
  ListIndexOutOfRange,
  FileSystemStalled,
  TemplateFileUnreadable,
  TemplateFileDamaged,
  TemplateFileTooLarge,
  TemplateFileWouldBeTooLarge,
  TemplateFileBusy,
  TemplateFileLockFailed,
  TemplateFileWriteFailed,
  LabelTemplateNotXml,
  PictureAttributeMissing,
  ImageListHoldsNoPicture,
  PictureNotBase64,
  XmlNotWellFormed,
  XmlAt,
  XmlDocumentType,
  XmlNoRoot,
  XmlTooLarge,
  XmlTagMismatch,
  XmlTagNotClosed,
  XmlEmpty,
  XmlTextAfterRoot,
  XmlInvalidCharacter,
  XmlUnknownEntity,
  XmlBadAttribute,
  XmlUnknownEncoding,
  XmlServiceMissing,
  XmlServiceFailed,
  // Details of port failures; the port's name or the system's reason follows each.
  PortBadParallelName,
  PortBadSerialName,
  PortBadNetworkAddress,
  PortBadFilePath,
  PortBadQueueName,
  PortNotADevice,
  PortNotARegularFile,
  PortLink,
  PortDeviceFolder,
  PortNoSuchSerialPort,
  PortNotConnected,
  PortConnectionLost,
  PortQueueNotFound,
  PortQueueNotAccepting,
  PortQueueJobFailed,
  PortQueueJobTitle,
  // Printing.
  LabelsSent,
  CopiesNotWhole,
  CopiesOutOfRange,
  PicturesOverBudget,
  PictureFileSkipped,
  PictureFileCannotOpen,
  PictureFileNotRegular,
  PictureFileTooLarge,
  PictureFileNotBmp,
};

// The text of `id` (UTF-8).
std::string_view LoadModuleString(StringId id);

// The text of `id` with %1, %2, ... replaced by the arguments in order.
std::string ModuleText(StringId id, std::initializer_list<std::string_view> args = {});

}  // namespace pirell
