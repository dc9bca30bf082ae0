// Writer for LFS mesh files (.smx) of a lapgen lap's track: a road-surface strip along the
// centre line, scenery beside it and checkpoint gates listed in the trailer, including
// deliberately broken variants for reader failure tests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lapgen/Model.h"

namespace lapgen {

inline constexpr std::size_t kSmxHeaderSize = 64;
inline constexpr double kSmxUnit = 1.0 / 65536.0;  // m per stored coordinate unit
inline constexpr double kSmxRoadHalfWidth = 6.0;   // m
inline constexpr int kSmxRoadSamplesPerObject = 40;

struct SmxPoint {
    std::int32_t x = 0, y = 0, z = 0;
    std::array<std::uint8_t, 4> colour = {};  // bytes as stored: red, green, blue, alpha
};

struct SmxTriangle {
    std::uint16_t a = 0, b = 0, c = 0;
};

struct SmxObject {
    std::int32_t centreX = 0, centreY = 0, centreZ = 0, radius = 0;  // 1/65536 m
    std::vector<SmxPoint> points;
    std::vector<SmxTriangle> triangles;
};

// Exactly what the writer stores.
struct SmxMesh {
    std::array<std::uint8_t, 3> background = {0x3a, 0x6b, 0x2c};  // red, green, blue
    std::vector<SmxObject> objects;
    bool hasTrailer = true;
    std::vector<std::uint32_t> trailer;  // object numbers of the checkpoint gates
};

struct SmxMeshOptions {
    int checkpoints = 4;   // gates across the road, the first on the start line; listed in order
    int sceneryCount = 6;  // small pyramids beside the road
};

// Builds the mesh of the lap's track: road objects first (each a strip of up to
// kSmxRoadSamplesPerObject sample pairs, two triangles per step), then scenery, then the
// checkpoint gates. Every object's centre is the rounded mean of its points and its radius the
// rounded-up largest horizontal distance from that centre.
SmxMesh BuildSmxMesh(const Lap& lap, const SmxMeshOptions& options = {});

// Totals a reader must report for a mesh written without broken knobs.
struct SmxTruth {
    int objects = 0;
    int points = 0;
    int triangles = 0;
    bool hasTrailer = false;
    std::vector<std::uint32_t> trailer;
    // Per object: the index of its last trailer entry, -1 when not listed.
    std::vector<int> trailerPos;
};
SmxTruth SmxTruthOf(const SmxMesh& mesh);

struct SmxWriteOptions {
    bool badMagic = false;    // "LFSSMY"
    bool marker8Set = false;  // header byte 8 not 0
    bool marker11Clear = false;
    std::size_t truncateBy = 0;  // bytes cut off the finished file's end
    // Counts stored in place of the real ones; the data stay as built.
    std::optional<std::uint32_t> objectCountOverride;
    std::optional<std::uint32_t> pointCountOverride;     // of object `brokenObject`
    std::optional<std::uint32_t> triangleCountOverride;  // of object `brokenObject`
    std::optional<std::uint32_t> trailerCountOverride;
    std::size_t brokenObject = 0;
    // The first triangle of `brokenObject` refers to point index = its point count.
    bool triangleIndexOutOfRange = false;
    // An extra trailer entry naming object number = object count.
    bool trailerEntryOutOfRange = false;
    bool noTrailer = false;  // overrides mesh.hasTrailer
};

// Throws std::invalid_argument when a knob names an object that does not exist.
std::vector<std::uint8_t> WriteSmx(const SmxMesh& mesh, const SmxWriteOptions& options = {});

// "<name>_3DH.smx", the name the game gives a track's mesh file.
std::string SmxFileName(const std::string& trackShortName);

}  // namespace lapgen
