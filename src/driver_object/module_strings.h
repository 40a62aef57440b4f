#pragma once

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
};

// The text of `id` (UTF-8).
std::string_view LoadModuleString(StringId id);

}  // namespace pirell
