#pragma once
// The texts the update workflows show, exactly as the user sees them.
// All texts are UTF-8.

namespace text {

// Download status line.
constexpr const char* kCommunicating = "Communicating...";
constexpr const char* kCommunication = "Communication...";
constexpr const char* kEraseLong = "Erase flash....   please wait 30 seconds";
constexpr const char* kEraseShort = "Erase flash....   please wait a few seconds";
constexpr const char* kUpdateDone = "Update done!";
constexpr const char* kWrongFileStatus = "Wrong file.";
constexpr const char* kWrongDevice = "Wrong device.";
constexpr const char* kEraseFailure = "Erase failure, please exit.";
constexpr const char* kCommFailure = "Communication failure, please exit.";
constexpr const char* kCheckFailure = "Check failure, please exit.";
constexpr const char* kDeviceMismatch = "\xE8\xAE\xBE\xE5\xA4\x87\xE4\xB8\x8D\xE5\x8C\xB9\xE9\x85\x8D";  // 设备不匹配

// Caption of the download button after a good run (otherwise "Cancel").
constexpr const char* kButtonOk = "ok";
constexpr const char* kButtonCancel = "Cancel";

// Product page messages (message boxes).
constexpr const char* kEquipmentMismatch =
    "The equipment type does not match. Please check the equipment, \n"
    "or power it down and then reconnect.";
constexpr const char* kFileFormatIncorrect = "File format incorrect!";
constexpr const char* kFileFormatError = "File format error!";
constexpr const char* kWrongFileMessage = "Wrong file!";

// Debug traces of the download start-up.
constexpr const char* kTraceInitOk = "ProcessInitDevice OK\n";
constexpr const char* kTraceInitNg = "ProcessInitDevice NG\n";

}  // namespace text
