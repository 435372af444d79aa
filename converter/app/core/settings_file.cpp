#include "settings_file.h"

#include <type_traits>

#include "ini_store.h"
#include "number_text.h"
#include "value_steps.h"

namespace ondrel {
namespace {

enum class Kind { Text, Flag, Integer, Real };
// How an accepted value lands on its field's step.
enum class Step { Whole, Quarter, Eighth, Tenth, AsRead };

struct Key {
    const char* section;
    const char* name;
    Kind kind;
    double fallback; // also the default
    double min;      // accepted range, bounds included
    double max;
    Step step;
    void (*store)(Parameters&, double);
    double (*load)(const Parameters&);
};

template <auto Member>
void StoreField(Parameters& p, double v) {
    using T = std::remove_reference_t<decltype(p.*Member)>;
    if constexpr (std::is_same_v<T, bool>)
        p.*Member = v != 0;
    else
        p.*Member = static_cast<T>(v);
}

template <auto Member>
double LoadField(const Parameters& p) {
    return static_cast<double>(p.*Member);
}

#define ONDREL_FIELD(member) &StoreField<&Parameters::member>, &LoadField<&Parameters::member>

// In reading order. The ranges take every value the dialogs can store, and the dialogs round
// onto the same steps, so that a saved value reads back unchanged; the one exception is a
// Scans value of 0 (endless), which a restart must not bring back: it reads as 1.
constexpr Key kKeys[] = {
    {"Laser", "LaserMode", Kind::Integer, 0, -0.1, 4.1, Step::Whole, ONDREL_FIELD(LaserMode)},
    {"Laser", "LaserOutputPeriod", Kind::Real, 100, 0.9, 16370, Step::Quarter, ONDREL_FIELD(LaserOutputPeriod)},
    {"Laser", "Laser1PulseWidth", Kind::Real, 5, 0.25, 8191, Step::Eighth, ONDREL_FIELD(Laser1PulseWidth)},
    {"Laser", "Laser2PulseWidth", Kind::Real, 5, 0.25, 8191, Step::Eighth, ONDREL_FIELD(Laser2PulseWidth)},
    {"Laser", "FirstPulseKillerLength", Kind::Real, 5, -0.1, 8191, Step::Eighth, ONDREL_FIELD(FirstPulseKillerLength)},
    {"Laser", "StandByPeriod", Kind::Real, 0, 0, 16301, Step::Quarter, ONDREL_FIELD(StandByPeriod)},
    {"Laser", "StandByPulseWidth", Kind::Real, 0, 0, 8191, Step::Eighth, ONDREL_FIELD(StandByPulseWidth)},
    {"Laser", "DigitalAnalogConverter1", Kind::Real, 0, 0, 100, Step::Tenth, ONDREL_FIELD(DigitalAnalogConverter1)},
    {"Laser", "LampDelay", Kind::Integer, 0, 0, 65000, Step::Whole, ONDREL_FIELD(LampDelay)},
    {"Laser", "8BitPort", Kind::Integer, 0, 0, 255, Step::Whole, ONDREL_FIELD(EightBitPort)},
    {"Marking", "UseVarPolyDelay", Kind::Flag, 0, 0, 0, Step::Whole, ONDREL_FIELD(UseVarPolyDelay)},
    {"Marking", "UseDirectZMove", Kind::Flag, 0, 0, 0, Step::Whole, ONDREL_FIELD(UseDirectZMove)},
    {"Marking", "LaserOnDelay", Kind::Integer, 100, -8101, 8101, Step::Whole, ONDREL_FIELD(LaserOnDelay)},
    {"Marking", "LaserOffDelay", Kind::Integer, 100, 1, 8101, Step::Whole, ONDREL_FIELD(LaserOffDelay)},
    {"Marking", "MarkSpeed", Kind::Integer, 100, 1, 50001, Step::Whole, ONDREL_FIELD(MarkSpeed)},
    {"Marking", "JumpSpeed", Kind::Integer, 1000, 1, 50001, Step::Whole, ONDREL_FIELD(JumpSpeed)},
    {"Marking", "MarkDelay", Kind::Integer, 200, -0.1, 65000, Step::Whole, ONDREL_FIELD(MarkDelay)},
    {"Marking", "JumpDelay", Kind::Integer, 500, -0.1, 65000, Step::Whole, ONDREL_FIELD(JumpDelay)},
    {"Marking", "PolyDelay", Kind::Integer, 100, -0.1, 65000, Step::Whole, ONDREL_FIELD(PolyDelay)},
    {"Marking", "EdgeLevel", Kind::Integer, 65500, -0.1, 65500, Step::Whole, ONDREL_FIELD(EdgeLevel)},
    {"Marking", "Scans", Kind::Integer, 1, 0.9, 101, Step::Whole, ONDREL_FIELD(Scans)},
    {"Marking", "WobbelAmpl", Kind::Integer, 0, -0.1, 5001, Step::Whole, ONDREL_FIELD(WobbelAmpl)},
    {"Marking", "WobbelFreq", Kind::Integer, 0, 0, 2001, Step::Whole, ONDREL_FIELD(WobbelFreq)},
    {"Marking", "LaserOnShift", Kind::Real, 0, 0, 101, Step::AsRead, ONDREL_FIELD(LaserOnShift)},
    {"Marking", "JumpLengthLimit", Kind::Integer, 0, -0.1, 32501, Step::Whole, ONDREL_FIELD(JumpLengthLimit)},
    {"Marking", "MinJumpDelay", Kind::Integer, 0, -0.1, 32501, Step::Whole, ONDREL_FIELD(MinJumpDelay)},
    {"Fly", "EnableMOF", Kind::Flag, 0, 0, 0, Step::Whole, ONDREL_FIELD(EnableMOF)},
    {"Fly", "SimulateEncoderX", Kind::Flag, 0, 0, 0, Step::Whole, ONDREL_FIELD(SimulateEncoderX)},
    {"Fly", "SimulateEncoderY", Kind::Flag, 0, 0, 0, Step::Whole, ONDREL_FIELD(SimulateEncoderY)},
    {"Fly", "ExtStart", Kind::Flag, 0, 0, 0, Step::Whole, ONDREL_FIELD(ExtStart)},
    {"Fly", "Kx", Kind::Real, 0, -1001, 1001, Step::AsRead, ONDREL_FIELD(Kx)},
    {"Fly", "Ky", Kind::Real, 0, -1001, 1001, Step::AsRead, ONDREL_FIELD(Ky)},
    {"Fly", "StartDelay", Kind::Integer, 0, -500001, 500001, Step::Whole, ONDREL_FIELD(StartDelay)},
};

#undef ONDREL_FIELD

constexpr const char* kCorrectionSection = "Correction";
constexpr const char* kFileNameKey = "FileName";

double OnStep(double v, Step step) {
    switch (step) {
    case Step::Whole: return OnStepOf(v, 1);
    case Step::Quarter: return OnStepOf(v, 4);
    case Step::Eighth: return OnStepOf(v, 8);
    case Step::Tenth: return OnStepOf(v, 10);
    case Step::AsRead: return v;
    }
    return v;
}

double ReadValue(const IniStore& store, const Key& key) {
    std::optional<std::string> text = store.Read(key.section, key.name);
    if (key.kind == Kind::Flag) {
        std::optional<long> value = text ? ParseInteger(*text) : std::nullopt;
        return value && *value != 0 ? 1 : 0;
    }
    std::optional<double> value = text ? ParseNumber(*text) : std::nullopt;
    if (!value) return key.fallback;
    if (*value < key.min || *value > key.max) return key.fallback;
    return OnStep(*value, key.step);
}

std::string WriteValue(const Parameters& parameters, const Key& key) {
    double value = key.load(parameters);
    switch (key.kind) {
    case Kind::Flag: return value != 0 ? "1" : "0";
    case Kind::Integer: return std::to_string(static_cast<long long>(value));
    default: return FormatGeneral(value);
    }
}

} // namespace

void LoadSettings(const std::string& path, Parameters& parameters) {
    IniStore store = IniStore::FromFile(path);
    parameters.FileName = store.Read(kCorrectionSection, kFileNameKey).value_or(" ");
    for (const Key& key : kKeys) key.store(parameters, ReadValue(store, key));
}

bool SaveSettings(const std::string& path, const Parameters& parameters, std::string& error) {
    IniStore store = IniStore::FromFile(path);
    store.Write(kCorrectionSection, kFileNameKey, parameters.FileName);
    for (const Key& key : kKeys) store.Write(key.section, key.name, WriteValue(parameters, key));
    return store.WriteFile(path, error);
}

} // namespace ondrel
