// The operator's settings record. The stored fields carry the names of their settings keys.
#pragma once

#include <cstdint>
#include <string>

namespace ondrel {

struct Parameters {
    std::string FileName = " "; // correction file; " " when none
    std::uint16_t LaserMode = 0; // 0 CO2, 1..4 YAG 1..4
    double LaserOutputPeriod = 100;
    double Laser1PulseWidth = 5;
    double Laser2PulseWidth = 5;
    double FirstPulseKillerLength = 5;
    double StandByPeriod = 0;
    double StandByPulseWidth = 0;
    double DigitalAnalogConverter1 = 0;
    std::uint16_t LampDelay = 0;
    std::uint16_t EightBitPort = 0; // key "8BitPort"
    bool EnableMOF = false;
    bool SimulateEncoderX = false;
    bool SimulateEncoderY = false;
    bool ExtStart = false;
    double Kx = 0;
    double Ky = 0;
    std::int32_t StartDelay = 0;
    bool UseVarPolyDelay = false;
    bool UseDirectZMove = false;
    std::int16_t LaserOnDelay = 100;
    std::int16_t LaserOffDelay = 100;
    std::uint16_t MarkSpeed = 100;
    std::uint16_t JumpSpeed = 1000;
    std::uint16_t MarkDelay = 200;
    std::uint16_t JumpDelay = 500;
    std::uint16_t PolyDelay = 100;
    std::uint16_t EdgeLevel = 65500;
    std::uint16_t WobbelAmpl = 0;
    std::uint16_t WobbelFreq = 0;
    std::int32_t Scans = 1; // 0 = endless
    double LaserOnShift = 0;
    std::uint16_t JumpLengthLimit = 0;
    std::uint16_t MinJumpDelay = 0;

    // Not stored in the settings file.
    std::uint16_t ZCalibration = 0; // Bit/mm, from the correction file
    double ZPosition = 0.0;         // mm
    bool ZPlaneEnabled = false;     // a 3-D board is ready
    std::uint16_t GridPoints = 30;
    std::uint16_t GridCalibration = 550;
    double GridDistance = 3.5;
    double GridDotDiameter = 1.8;
    double GridFocusDiameter = 0.2;
};

} // namespace ondrel
