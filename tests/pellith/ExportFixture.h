#pragma once

// Hand-made generic laps for the export and statistics tests, loaded through
// the generic reader so that the catalogue serves them as it serves any lap.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "morlund/formats/generic/GenBufManager.h"
#include "morlund/platform/File.h"
#include "tests/support/Files.h"

namespace pellithtest {

// Converted values (dist m, speed km/h, throttle factor, rh mm):
//   dist  speed  throttle  rh lr  rr  lf  rf
//   0     36     1         50  60  70  80
//   3.5   72     0.5       51  61  71  81
//   150   108    0         52  62  72  82
//   250   -9     0.25      53  63  73  83
inline const char* const kLapOne =
    "Hand lap,day 1 10:00:00,83.456,2,5\n"
    "dist,speed,throttle,rh_lr,rh_rr,rh_lf,rh_rf\n"
    "0,10,100,0.05,0.06,0.07,0.08\n"
    "3.5,20,50,0.051,0.061,0.071,0.081\n"
    "150,30,0,0.052,0.062,0.072,0.082\n"
    "250,-2.5,25,0.053,0.063,0.073,0.083\n";

//   0     144    1         40  40  40  40
//   100   180    1         45  45  45  45
inline const char* const kLapTwo =
    "Other lap,day 2 11:00:00,90.5,2,6\n"
    "dist,speed,throttle,rh_lr,rh_rr,rh_lf,rh_rf\n"
    "0,40,100,0.04,0.04,0.04,0.04\n"
    "100,50,100,0.045,0.045,0.045,0.045\n";

inline bool AddLap(morlund::BufManager& manager, const std::string& text, const std::string& name) {
    morlund::File file =
        morlund::File::FromMemory(std::vector<std::uint8_t>(text.begin(), text.end()), name);
    return manager.AddBuffer(file);
}

// kLapOne as "lap1.raf", optionally kLapTwo as "monza".
inline std::unique_ptr<morlund::GenBufManager> MakeLaps(bool both) {
    auto manager = std::make_unique<morlund::GenBufManager>();
    EXPECT_TRUE(AddLap(*manager, kLapOne, "/laps/lap1.raf"));
    if (both) {
        EXPECT_TRUE(AddLap(*manager, kLapTwo, "/laps/monza"));
    }
    return manager;
}

// A scratch folder of the export tests.
class ScratchDir : public testsupport::TempDir {
public:
    ScratchDir() : TempDir("pellith") {}
};

}  // namespace pellithtest
