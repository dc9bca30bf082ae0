#include "morlund/track/LFSTrack.h"

#include <climits>
#include <cstring>

#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/File.h"

namespace morlund {

namespace {

constexpr char kMagic[] = "LFSSMX";
constexpr std::size_t kObjectHeadSize = 24;  // centre x, y, z, radius, point and triangle counts
constexpr std::size_t kPointSize = 16;
constexpr std::size_t kTriangleSize = 8;

// Walks the bytes after the header. Every count is checked against what is
// left before anything is allocated for it.
class MeshParser {
public:
    explicit MeshParser(ByteSpan data) : m_data(data) {}

    std::size_t Left() const { return m_data.size() - m_pos; }
    std::uint32_t U32() {
        const std::uint32_t v = LoadU32(m_data.data() + m_pos);
        m_pos += 4;
        return v;
    }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    std::uint16_t U16() {
        const std::uint16_t v = LoadU16(m_data.data() + m_pos);
        m_pos += 2;
        return v;
    }
    void Skip(std::size_t count) { m_pos += count; }

private:
    ByteSpan m_data;
    std::size_t m_pos = 0;
};

std::uint16_t Widen(std::uint8_t component) { return static_cast<std::uint16_t>(component << 8); }

bool ReadObject(MeshParser& p, LFSObject& object) {
    if (p.Left() < kObjectHeadSize) return false;
    object.centreX = p.I32();
    object.centreY = p.I32();
    object.centreZ = p.I32();
    object.radius = p.I32();
    const std::uint64_t pointCount = p.U32();
    const std::uint64_t triangleCount = p.U32();
    if (pointCount * kPointSize + triangleCount * kTriangleSize > p.Left()) return false;

    const std::int64_t r = object.radius;
    object.square = {object.centreX - r, object.centreY - r, object.centreX + r,
                     object.centreY + r};
    object.points.resize(static_cast<std::size_t>(pointCount));
    for (LFSPoint& point : object.points) {
        point.x = p.I32();
        point.y = p.I32();
        point.z = p.I32();
        const std::uint32_t colour = p.U32();
        point.red = Widen(static_cast<std::uint8_t>(colour));
        point.green = Widen(static_cast<std::uint8_t>(colour >> 8));
        point.blue = Widen(static_cast<std::uint8_t>(colour >> 16));
        point.alpha = Widen(static_cast<std::uint8_t>(colour >> 24));
    }
    object.triangles.resize(static_cast<std::size_t>(triangleCount));
    for (LFSTriangle& triangle : object.triangles) {
        triangle.a = p.U16();
        triangle.b = p.U16();
        triangle.c = p.U16();
        p.Skip(2);
        // Drawing code indexes the points with these without further checks.
        if (triangle.a >= pointCount || triangle.b >= pointCount || triangle.c >= pointCount) {
            return false;
        }
    }
    return true;
}

// A short name becomes part of a path: it must not lead out of the mesh folder.
bool IsPlainName(const std::string& name) {
    if (name.find_first_of(std::string("/\\:\0", 4)) != std::string::npos) return false;
    return name.find("..") == std::string::npos;
}

}  // namespace

const LFSObject* LFSTrack::GetObjects(int& count) const {
    count = static_cast<int>(m_objects.size());
    return m_objects.empty() ? nullptr : m_objects.data();
}

std::uint32_t LFSTrack::GetBackgroundColor() const {
    return static_cast<std::uint32_t>(m_header[48]) |
           (static_cast<std::uint32_t>(m_header[49]) << 8) |
           (static_cast<std::uint32_t>(m_header[50]) << 16);
}

void LFSTrack::Kill() { *this = LFSTrack(); }

bool LFSTrack::LoadTrackMeshes(const std::filesystem::path& lfsDir,
                               const std::string& trackShortName) {
    Kill();
    if (!IsPlainName(trackShortName)) return false;
    // Game folders come from case-insensitive file systems: match each part.
    std::filesystem::path path = lfsDir;
    for (const char* part : {"data", "smx"})
        path = FindFileNoCase(path / part);
    path = FindFileNoCase(path / (trackShortName + "_3DH.smx"));
    File file;
    if (!file.Open(path, File::Mode::Read)) return false;
    return ReadFile(file);
}

bool LFSTrack::ReadFile(File& file) {
    Kill();
    const std::uint64_t length = file.GetLength();
    // The whole file is held in memory while it is read; a mesh file is far
    // below this size.
    if (length <= kHeaderSize || length - kHeaderSize > INT_MAX) return false;
    std::array<std::uint8_t, kHeaderSize> header{};
    if (!file.Seek(0) || file.Read(header.data(), header.size()) != header.size()) return false;
    if (std::memcmp(header.data(), kMagic, 6) != 0 || header[8] != 0 || header[11] == 0)
        return false;

    std::vector<std::uint8_t> rest(static_cast<std::size_t>(length - kHeaderSize));
    if (file.Read(rest.data(), rest.size()) != rest.size()) return false;

    LFSTrack track;
    track.m_header = header;
    MeshParser p(ByteSpan(rest.data(), rest.size()));
    const std::uint64_t objectCount = LoadU32(header.data() + 60);
    if (objectCount * kObjectHeadSize > p.Left()) return false;
    track.m_objects.resize(static_cast<std::size_t>(objectCount));
    std::uint64_t vertices = 0;
    std::uint64_t triangles = 0;
    for (LFSObject& object : track.m_objects) {
        if (!ReadObject(p, object)) return false;
        vertices += object.points.size();
        triangles += object.triangles.size();
    }

    if (p.Left() > 0) {
        // A trailer cut short is a damaged file, not a missing trailer.
        if (p.Left() < 4) return false;
        const std::uint64_t entries = p.U32();
        if (entries * 4 > p.Left()) return false;
        track.m_hasFtr = true;
        track.m_ftr.count = static_cast<int>(entries);
        track.m_ftr.objects.resize(static_cast<std::size_t>(entries));
        for (std::size_t i = 0; i < track.m_ftr.objects.size(); ++i) {
            const std::uint32_t object = p.U32();
            track.m_ftr.objects[i] = object;
            if (object < objectCount) track.m_objects[object].trailerPos = static_cast<int>(i);
        }
    }

    // The file is below INT_MAX bytes, so both totals fit.
    track.m_totalVertices = static_cast<int>(vertices);
    track.m_totalTriangles = static_cast<int>(triangles);
    track.m_loaded = true;
    *this = std::move(track);
    return true;
}

}  // namespace morlund
