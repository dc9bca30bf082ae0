#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace morlund {

class File;

// One vertex of a mesh: position in 1/65536 m and its colour, each 8-bit
// component widened to 16 bits with the component in the high byte (the form
// a gradient fill takes).
struct LFSPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
    std::uint16_t alpha = 0;
};

// Three indices into the points of the same object.
struct LFSTriangle {
    std::uint16_t a = 0;
    std::uint16_t b = 0;
    std::uint16_t c = 0;
};

// The square around an object's centre, in 1/65536 m. Wide enough that no
// radius read from a file can overflow it.
struct LFSRect {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
};

// One object of a mesh file: a group of coloured triangles.
struct LFSObject {
    // Trailer position of an object the trailer does not list.
    static constexpr int kNotListed = -1;

    std::int32_t centreX = 0;
    std::int32_t centreY = 0;
    std::int32_t centreZ = 0;
    std::int32_t radius = 0;
    LFSRect square;  // (x - r, y - r, x + r, y + r)
    std::vector<LFSPoint> points;
    std::vector<LFSTriangle> triangles;
    // The index of the object's last entry in the trailer list (its checkpoint
    // number), or kNotListed.
    int trailerPos = kNotListed;
};

// The optional list after the objects: the object numbers of the checkpoints,
// as stored (entries may name objects that do not exist).
struct LFSFtr {
    int count = 0;
    std::vector<std::uint32_t> objects;
};

// The 3-D surroundings of an LFS track from its mesh file (.smx): coloured
// triangles grouped into objects, the file header with the background colour,
// and the checkpoint list.
class LFSTrack {
public:
    static constexpr std::size_t kHeaderSize = 64;

    // Loads "<lfsDir>/data/smx/<trackShortName>_3DH.smx", each part of the path
    // matched without regard to case. 1 on success; 0 when the name is not a
    // plain file name, the file cannot be opened or it is not a sound mesh file.
    // Nothing is shown to the user.
    bool LoadTrackMeshes(const std::filesystem::path& lfsDir, const std::string& trackShortName);
    // Reads a mesh file directly (tests, fuzzing); the same as the loader's read.
    bool Read(File& file) { return ReadFile(file); }

    // The objects and their count; null with count 0 when nothing is loaded.
    const LFSObject* GetObjects(int& count) const;
    // The file's 64-byte header, as read (zeros when nothing is loaded).
    const std::array<std::uint8_t, kHeaderSize>& GetHeader() const { return m_header; }
    // The background colour of the header as a colour value 0x00BBGGRR.
    std::uint32_t GetBackgroundColor() const;
    int GetTotalVertexCount() const { return m_totalVertices; }
    int GetTotalTriangleCount() const { return m_totalTriangles; }
    // The trailer, or null when the file has none.
    const LFSFtr* GetFtr() const { return m_hasFtr ? &m_ftr : nullptr; }
    bool IsLoaded() const { return m_loaded; }
    // Frees everything that was loaded.
    void Kill();

protected:
    bool ReadFile(File& file);

private:
    std::array<std::uint8_t, kHeaderSize> m_header{};
    std::vector<LFSObject> m_objects;
    LFSFtr m_ftr;
    bool m_hasFtr = false;
    int m_totalVertices = 0;
    int m_totalTriangles = 0;
    bool m_loaded = false;
};

}  // namespace morlund
