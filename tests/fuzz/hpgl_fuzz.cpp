// libFuzzer target: HP-GL plot text.
#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return ondrel::fuzzing::FuzzOneInput(data, size, &ondrel::LoadHPGLText);
}
