// Whether a settings record survives a save and a load unchanged: the file written from the
// loaded record must be the file written from the record itself.
#pragma once

#include <gtest/gtest.h>

#include "settings_file.h"
#include "temp_dir.h"

namespace ondrel::fakes {

inline void ExpectReadsBackUnchanged(const Parameters& stored) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(SaveSettings(dir.File("first.ini"), stored, error)) << error;
    Parameters back;
    LoadSettings(dir.File("first.ini"), back);
    ASSERT_TRUE(SaveSettings(dir.File("second.ini"), back, error)) << error;
    EXPECT_EQ(dir.Read("second.ini"), dir.Read("first.ini"));
}

} // namespace ondrel::fakes
