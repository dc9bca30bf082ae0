#include "lapgen/SmxWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "Bytes.h"
#include "Encoding.h"

namespace lapgen {
namespace {

std::int32_t Units(double metres) { return RoundTo<std::int32_t>(metres / kSmxUnit); }

SmxPoint Point(double x, double y, double z, std::array<std::uint8_t, 4> colour) {
    return {Units(x), Units(y), Units(z), colour};
}

// Centre = rounded mean of the points; radius = rounded-up largest horizontal distance.
void Enclose(SmxObject& object) {
    if (object.points.empty()) return;
    double sx = 0, sy = 0, sz = 0;
    for (const SmxPoint& p : object.points) {
        sx += p.x;
        sy += p.y;
        sz += p.z;
    }
    const double n = static_cast<double>(object.points.size());
    object.centreX = RoundTo<std::int32_t>(sx / n);
    object.centreY = RoundTo<std::int32_t>(sy / n);
    object.centreZ = RoundTo<std::int32_t>(sz / n);
    double r = 0;
    for (const SmxPoint& p : object.points) {
        r = std::max(r, std::hypot(static_cast<double>(p.x) - object.centreX,
                                   static_cast<double>(p.y) - object.centreY));
    }
    object.radius = RoundTo<std::int32_t>(std::ceil(r));
}

// Left of the direction of travel.
void LeftNormal(const Sample& s, double& nx, double& ny) {
    nx = -std::sin(s.heading);
    ny = std::cos(s.heading);
}

SmxObject RoadStrip(const std::vector<Sample>& samples, std::size_t first, std::size_t last) {
    SmxObject object;
    for (std::size_t i = first; i <= last; ++i) {
        const Sample& s = samples[i];
        double nx, ny;
        LeftNormal(s, nx, ny);
        const auto shade = static_cast<std::uint8_t>(0x50 + (i % 16));
        const double w = kSmxRoadHalfWidth;
        object.points.push_back(Point(s.x + nx * w, s.y + ny * w, 0.0, {shade, 0x52, 0x57, 0xa1}));
        object.points.push_back(Point(s.x - nx * w, s.y - ny * w, 0.0, {shade, 0x54, 0x59, 0xa2}));
    }
    for (std::size_t k = 0; k + 1 < last - first + 1; ++k) {
        const auto l0 = static_cast<std::uint16_t>(2 * k);
        const auto r0 = static_cast<std::uint16_t>(2 * k + 1);
        const auto l1 = static_cast<std::uint16_t>(2 * k + 2);
        const auto r1 = static_cast<std::uint16_t>(2 * k + 3);
        object.triangles.push_back({l0, r0, l1});
        object.triangles.push_back({r0, r1, l1});
    }
    Enclose(object);
    return object;
}

// A three-sided pyramid standing `offset` metres to the left of the sample.
SmxObject Pyramid(const Sample& s, double offset, int index) {
    double nx, ny;
    LeftNormal(s, nx, ny);
    const double cx = s.x + nx * offset;
    const double cy = s.y + ny * offset;
    const auto tint = static_cast<std::uint8_t>(0x20 + 0x10 * (index % 8));
    SmxObject object;
    for (int k = 0; k < 3; ++k) {
        const double a = 2.0 * 3.141592653589793 * k / 3.0 + 0.3 * index;
        object.points.push_back(
            Point(cx + 3.0 * std::cos(a), cy + 3.0 * std::sin(a), 0.0, {0x1e, tint, 0x14, 0xff}));
    }
    object.points.push_back(Point(cx, cy, 5.0, {0x30, 0x90, 0x28, 0xff}));
    object.triangles = {{0, 1, 3}, {1, 2, 3}, {2, 0, 3}, {0, 2, 1}};
    Enclose(object);
    return object;
}

// A one-metre band across the road.
SmxObject Gate(const Sample& s, int index) {
    double nx, ny;
    LeftNormal(s, nx, ny);
    const double fx = ny;  // forward = left normal turned right
    const double fy = -nx;
    const double w = kSmxRoadHalfWidth;
    const std::array<std::uint8_t, 4> colour = {0xf0, static_cast<std::uint8_t>(0x10 * index), 0x08,
                                                0x7f};
    SmxObject object;
    object.points = {Point(s.x + nx * w, s.y + ny * w, 0.05, colour),
                     Point(s.x - nx * w, s.y - ny * w, 0.05, colour),
                     Point(s.x + nx * w + fx, s.y + ny * w + fy, 0.05, colour),
                     Point(s.x - nx * w + fx, s.y - ny * w + fy, 0.05, colour)};
    object.triangles = {{0, 1, 2}, {1, 3, 2}};
    Enclose(object);
    return object;
}

}  // namespace

SmxMesh BuildSmxMesh(const Lap& lap, const SmxMeshOptions& options) {
    SmxMesh mesh;
    const std::vector<Sample>& samples = lap.samples;
    if (samples.size() < 2) throw std::invalid_argument("lapgen: a mesh needs two samples");
    const std::size_t lastSample = samples.size() - 1;
    for (std::size_t first = 0; first < lastSample; first += kSmxRoadSamplesPerObject) {
        const std::size_t last = std::min(first + kSmxRoadSamplesPerObject, lastSample);
        mesh.objects.push_back(RoadStrip(samples, first, last));
    }
    for (int k = 0; k < options.sceneryCount; ++k) {
        const auto at = static_cast<std::size_t>((k + 0.5) * static_cast<double>(lastSample) /
                                                 options.sceneryCount);
        mesh.objects.push_back(Pyramid(samples[at], (k % 2 == 0) ? 20.0 : -20.0, k));
    }
    for (int k = 0; k < options.checkpoints; ++k) {
        const auto at = static_cast<std::size_t>(k * lastSample / options.checkpoints);
        mesh.trailer.push_back(static_cast<std::uint32_t>(mesh.objects.size()));
        mesh.objects.push_back(Gate(samples[at], k));
    }
    return mesh;
}

SmxTruth SmxTruthOf(const SmxMesh& mesh) {
    SmxTruth truth;
    truth.objects = static_cast<int>(mesh.objects.size());
    for (const SmxObject& o : mesh.objects) {
        truth.points += static_cast<int>(o.points.size());
        truth.triangles += static_cast<int>(o.triangles.size());
    }
    truth.hasTrailer = mesh.hasTrailer;
    truth.trailerPos.assign(mesh.objects.size(), -1);
    if (mesh.hasTrailer) {
        truth.trailer = mesh.trailer;
        for (std::size_t i = 0; i < mesh.trailer.size(); ++i) {
            if (mesh.trailer[i] < mesh.objects.size()) {
                truth.trailerPos[mesh.trailer[i]] = static_cast<int>(i);
            }
        }
    }
    return truth;
}

std::vector<std::uint8_t> WriteSmx(const SmxMesh& mesh, const SmxWriteOptions& options) {
    const bool brokenObjectUsed = options.pointCountOverride || options.triangleCountOverride ||
                                  options.triangleIndexOutOfRange;
    if (brokenObjectUsed && options.brokenObject >= mesh.objects.size()) {
        throw std::invalid_argument("lapgen: brokenObject names no object of the mesh");
    }
    if (options.triangleIndexOutOfRange && mesh.objects[options.brokenObject].triangles.empty()) {
        throw std::invalid_argument("lapgen: brokenObject has no triangle to break");
    }
    std::vector<std::uint8_t> file(kSmxHeaderSize, 0);
    std::memcpy(file.data(), options.badMagic ? "LFSSMY" : "LFSSMX", 6);
    for (std::size_t i = 12; i < 48; ++i) {
        file[i] = static_cast<std::uint8_t>((i * 29 + 0x17) & 0xff);  // not interpreted
    }
    file[8] = options.marker8Set ? 1 : 0;
    file[9] = 1;
    file[11] = options.marker11Clear ? 0 : 2;
    std::copy(mesh.background.begin(), mesh.background.end(), file.begin() + 48);
    const auto objectCount = static_cast<std::uint32_t>(mesh.objects.size());
    const std::uint32_t storedCount = options.objectCountOverride.value_or(objectCount);
    for (int i = 0; i < 4; ++i) {
        file[60 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(storedCount >> (8 * i));
    }

    ByteWriter w(file);
    for (std::size_t k = 0; k < mesh.objects.size(); ++k) {
        const SmxObject& o = mesh.objects[k];
        const bool broken = k == options.brokenObject;
        w.I32(o.centreX);
        w.I32(o.centreY);
        w.I32(o.centreZ);
        w.I32(o.radius);
        const auto points = static_cast<std::uint32_t>(o.points.size());
        const auto triangles = static_cast<std::uint32_t>(o.triangles.size());
        w.U32(broken ? options.pointCountOverride.value_or(points) : points);
        w.U32(broken ? options.triangleCountOverride.value_or(triangles) : triangles);
        for (const SmxPoint& p : o.points) {
            w.I32(p.x);
            w.I32(p.y);
            w.I32(p.z);
            for (std::uint8_t c : p.colour) {
                w.U8(c);
            }
        }
        for (std::size_t t = 0; t < o.triangles.size(); ++t) {
            SmxTriangle tri = o.triangles[t];
            if (broken && t == 0 && options.triangleIndexOutOfRange) {
                tri.b = static_cast<std::uint16_t>(o.points.size());
            }
            w.U16(tri.a);
            w.U16(tri.b);
            w.U16(tri.c);
            w.U16(0x5a5a);  // not used
        }
    }
    if (mesh.hasTrailer && !options.noTrailer) {
        std::vector<std::uint32_t> entries = mesh.trailer;
        if (options.trailerEntryOutOfRange) entries.push_back(objectCount);
        w.U32(options.trailerCountOverride.value_or(static_cast<std::uint32_t>(entries.size())));
        for (std::uint32_t e : entries) {
            w.U32(e);
        }
    }
    file.resize(file.size() - std::min(options.truncateBy, file.size()));
    return file;
}

std::string SmxFileName(const std::string& trackShortName) { return trackShortName + "_3DH.smx"; }

}  // namespace lapgen
