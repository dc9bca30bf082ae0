// libFuzzer target for LFS mesh files: the whole input is the file. Every
// triangle's points and every listed object are looked up, as drawing does.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "morlund/platform/File.h"
#include "morlund/track/LFSTrack.h"

using namespace morlund;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::Silence();
    File file =
        File::FromMemory(std::vector<std::uint8_t>(data, data + size), "/lfs/data/smx/X_3DH.smx");
    LFSTrack track;
    if (!track.Read(file)) return 0;
    int count = 0;
    const LFSObject* objects = track.GetObjects(count);
    long long acc = static_cast<long long>(track.GetBackgroundColor()) +
                    track.GetTotalVertexCount() + track.GetTotalTriangleCount();
    for (int k = 0; k < count; ++k) {
        const LFSObject& o = objects[k];
        acc += o.square.left + o.square.bottom + o.trailerPos;
        for (const LFSTriangle& t : o.triangles) {
            acc += static_cast<long long>(o.points[t.a].x) + o.points[t.b].y + o.points[t.c].red;
        }
    }
    if (const LFSFtr* ftr = track.GetFtr()) {
        for (std::uint32_t entry : ftr->objects) {
            if (entry < static_cast<std::uint32_t>(count)) acc += objects[entry].radius;
        }
    }
    LFSTrack copy(track);
    acc += copy.GetTotalVertexCount();
    fuzzsupport::g_sink = static_cast<double>(acc);
    return 0;
}
