// libFuzzer target for the LFS Replay Analyser reader: the input is the whole
// file. It is loaded twice into one manager (same track, and the distance
// rescaling of earlier laps), and every channel, the wheel data through the
// wheel map, the lap information and the car model are read back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "morlund/formats/lfs/LFSBufManager.h"
#include "morlund/physics/Physics.h"
#include "morlund/platform/File.h"

using namespace morlund;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::Silence();
    LFSBufManager manager;
    for (const char* name : {"/nonexistent-fuzz/lap1.raf", "/nonexistent-fuzz/lap2.RAF"}) {
        File file = File::FromMemory(std::vector<std::uint8_t>(data, data + size), name);
        manager.AddBuffer(file);
    }
    for (int b = 0; b < manager.GetBufCount(); ++b) {
        const PerfCore& p = *manager.GetBuffer(b);
        fuzzsupport::ExerciseBuffer(p);
        std::vector<std::string> names;
        std::vector<std::string> values;
        p.InfoGetInfoItemNames(names);
        p.InfoGetInfoItemValues(values);
        double acc = static_cast<double>(names.size() + values.size());
        for (const std::string& v : values)
            acc += static_cast<double>(v.size());
        for (int i = 0; i < p.GetSampleCount(); ++i) {
            for (int w = 0; w < 4; ++w) {
                acc += p.GetTyreLoad(i, w, *p.GetSetup()) + p.GetLateralTyreForce(i, w) +
                       p.GetLongitudalTyreForce(i, w);
            }
        }
        acc += p.GetPhysics()->GetWheelBase() + p.GetPhysics()->GetCOGDistanceToRear();
        fuzzsupport::g_sink = acc;
    }
    (void)manager.GetTrackString(-1);
    (void)manager.GetSMXTrackString();
    return 0;
}
