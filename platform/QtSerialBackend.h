#pragma once

#include "platform/SerialBackend.h"

// The ports of this machine, reached through QSerialPort.
class DevicePorts : public PortEnvironment {
  public:
    bool exists(int port) const override;
    bool canOpenExclusively(int port) const override;
    bool isRefused(int port) const override;
    std::unique_ptr<SerialBackend> backend(int port) override;
};
