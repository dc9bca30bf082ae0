// libFuzzer target for GP2 segment files: byte 0 is the map scale, the rest
// the file, named after the track checksum 0x12345678.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "morlund/platform/File.h"
#include "morlund/track/GP2Track.h"

using namespace morlund;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    fuzzsupport::Silence();
    File file = File::FromMemory(std::vector<std::uint8_t>(data + 1, data + size),
                                 "/gp2/strelkod/12345678.seg");
    GP2Track track;
    if (!track.ReadFile(file)) return 0;
    const int scale = static_cast<std::int8_t>(data[0]);
    long long acc = 0;
    const int count = track.GetNumSegs() + track.GetNumPitSegs();
    for (int i = 0; i < count; ++i) {
        GP2SegObj seg(track.GetSegs() + i, scale);
        track.InitSegCurbs(seg, i & 1);
        acc += seg.Pos().x + seg.PosLeft().y + seg.PosRight().x + seg.CCLinePos().y +
               seg.CurbPosLeft().x + seg.CurbPosRight().y + seg.CalcWidth() + seg.Width();
    }
    fuzzsupport::g_sink = static_cast<double>(acc);
    return 0;
}
