#include "setting_words.h"

#include "checked_number.h"

namespace ondrel {
namespace {

constexpr std::int32_t kLongDelayPiece = 65000;

} // namespace

SettingWords::SettingWords(const Parameters& p)
    : edgeLevel(RoundedUInt16(p.EdgeLevel * 0.1)), minJumpDelay(RoundedUInt16(p.MinJumpDelay * 0.1)),
      standbyPeriod(RoundedUInt16(p.StandByPeriod * 4)), standbyPulse(RoundedUInt16(p.StandByPulseWidth * 8)),
      firstPulseKiller(p.LaserMode != 0 ? RoundedUInt16(p.FirstPulseKillerLength * 8) : 0),
      outputPeriod(RoundedUInt16(p.LaserOutputPeriod * 4)), pulse1(RoundedUInt16(p.Laser1PulseWidth * 8)),
      pulse2(RoundedUInt16(p.Laser2PulseWidth * 8)), jumpDelay(RoundedUInt16(p.JumpDelay / 10.0)),
      markDelay(RoundedUInt16(p.MarkDelay / 10.0)), polyDelay(RoundedUInt16(p.PolyDelay / 10.0)),
      analog(RoundedUInt16(10.23 * p.DigitalAnalogConverter1)), lampDelay(std::int32_t{p.LampDelay} * 100) {}

std::int32_t LampDelayPieces(std::int32_t tenMicroseconds) {
    return tenMicroseconds > 0 ? (tenMicroseconds + kLongDelayPiece - 1) / kLongDelayPiece : 0;
}

std::int32_t SendLampDelay(QuarnelLibrary& library, std::int32_t tenMicroseconds) {
    std::int32_t pieces = 0;
    for (std::int32_t t = tenMicroseconds; t > 0; ++pieces) {
        const std::int32_t piece = t > kLongDelayPiece ? kLongDelayPiece : t;
        library.long_delay(static_cast<std::uint16_t>(piece));
        t -= piece;
    }
    return pieces;
}

} // namespace ondrel
