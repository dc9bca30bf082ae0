// libFuzzer target for the formula language: the input (after a first byte that
// picks car or wheel evaluation) is a formula, evaluated over a small lap.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "lapgen/GP2Writer.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/items/CustomDataItem.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"

using namespace morlund;

namespace {

struct World {
    GP2BufManager manager;
    CustomDataItem* car = nullptr;
    CustomDataItem* wheel = nullptr;

    World() {
        fuzzsupport::Silence();
        lapgen::LapSpec spec;
        spec.sampleCount = 64;
        spec.trackLength = 500;
        File file = File::FromMemory(
            lapgen::WriteGP2Perf(lapgen::EncodeGP2(lapgen::MakeLap(spec)), {}), "/x/lap.pad");
        manager.AddBuffer(file);
        car = DataItem::Adopt(std::make_unique<CustomDataItem>(
            "fuzz car", "fuzzcar", DataItem::DT_CAR, DataItem::Q_FACTOR, 0, 1, 0, "0"));
        wheel = DataItem::Adopt(std::make_unique<CustomDataItem>(
            "fuzz wheel", "fuzzwheel", DataItem::DT_WHEEL, DataItem::Q_FACTOR, 0, 1, 0, "0"));
        CustomDataItem::BuildFormulaNames();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static World world;
    if (size < 1) return 0;
    const std::string formula(reinterpret_cast<const char*>(data + 1), size - 1);
    const PerfCore& lap = *world.manager.GetBuffer(0);
    CustomDataItem* item = (data[0] & 1) ? world.wheel : world.car;
    item->SetFormula(formula.c_str());
    item->FlushCache(&lap);
    volatile double sink = 0;
    for (int w = (data[0] & 1) ? 0 : -1; w < ((data[0] & 1) ? 4 : 0); ++w) {
        sink = sink + item->GetMetricValue(&lap, lap.GetSampleCount() - 1, w);
    }
    (void)sink;
    return 0;
}
