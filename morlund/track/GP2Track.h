#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace morlund {

class File;

// A point of the track map, in the map's integer units.
struct TrackPoint {
    int x = 0;
    int y = 0;
    bool operator==(const TrackPoint&) const = default;
};

// One 30-byte segment record of a GP2 segment file, as stored.
struct GP2SEGINFO {
    std::uint16_t nr;  // bits 0-10 segment number, 11-15 flags
    std::int16_t angle;
    std::int16_t angleV;
    std::int16_t x, y;  // centre
    std::int16_t height;
    std::uint16_t width;
    std::uint16_t xSide;  // bits 6-15 signed side vector, bits 0-5 a small value
    std::uint16_t ySide;
    std::uint16_t unknown18;  // kept as read
    std::int16_t ccLine;      // racing-line offset
    std::uint32_t flags;      // bit 0 kerb left, bit 1 kerb right, bit 2 low kerb
    std::uint32_t unknown26;  // kept as read
};

// One segment at a map scale: centre, edges, racing line and kerb edges. All
// arithmetic is integer, truncating toward zero.
class GP2SegObj {
public:
    // A scale of 0 is taken as 1.
    GP2SegObj(const GP2SEGINFO* segment, int scale);

    int Nr() const { return m_seg->nr & 0x7ff; }
    int NrFlags() const { return m_seg->nr >> 11; }
    int Angle() const { return m_seg->angle; }
    int AngleV() const { return m_seg->angleV; }
    int X() const { return m_seg->x / m_scale; }
    int Y() const { return m_seg->y / m_scale; }
    int Height() const { return m_seg->height / m_scale; }
    int Width() const { return m_seg->width / m_scale; }
    int XSide() const { return SideX() / m_scale; }
    int YSide() const { return SideY() / m_scale; }
    int XSideL() const { return m_seg->xSide & 0x3f; }
    int YSideL() const { return m_seg->ySide & 0x3f; }
    int CCLineF() const { return m_seg->ccLine / m_scale; }
    bool HasCurbLeft() const { return (m_seg->flags & 1u) != 0; }
    bool HasCurbRight() const { return (m_seg->flags & 2u) != 0; }
    bool CurbLow() const { return (m_seg->flags & 4u) != 0; }

    int CalcWidth() const;
    TrackPoint Pos() const;
    TrackPoint PosLeft() const;
    TrackPoint PosRight() const;
    TrackPoint CCLinePos() const;
    int CCLineX() const { return CCLinePos().x; }
    int CCLineY() const { return CCLinePos().y; }
    // Places the kerb edges a kerb width outside the track edges.
    void CalcCurbs(int kerbWidth);
    TrackPoint CurbPosLeft() const;
    TrackPoint CurbPosRight() const;

protected:
    void CalcCC() const;

private:
    // The side vector: the signed top ten bits.
    int SideX() const { return static_cast<std::int16_t>(m_seg->xSide) >> 6; }
    int SideY() const { return static_cast<std::int16_t>(m_seg->ySide) >> 6; }

    const GP2SEGINFO* m_seg;
    int m_scale;
    mutable bool m_ccDone = false;
    mutable TrackPoint m_cc;
    int m_curbX = 0;
    int m_curbY = 0;
};

// A GP2 track outline from a segment file: track and pit-lane segments, kerb
// widths, the track checksum and name.
class GP2Track {
public:
    static constexpr std::uint32_t kMagic = 0x47455340;  // "@SEG"
    static constexpr std::size_t kRecordSize = 30;

    // Reads a segment file; 1 when it was read completely. Files of version 2
    // and later must be named after their track checksum ("%08x.seg").
    bool ReadFile(File& file);

    const GP2SEGINFO* GetSegs() const { return m_read ? m_segs.data() : nullptr; }
    const GP2SEGINFO* GetPitSegs() const { return m_read ? m_segs.data() + m_numSegs : nullptr; }
    int GetNumSegs() const { return m_numSegs; }
    int GetNumPitSegs() const { return m_numPitSegs; }
    std::uint32_t GetChecksum() const { return m_checksum; }
    // The track name, or null when the file has none.
    const char* GetName() const { return m_name[0] != '\0' ? m_name.data() : nullptr; }
    std::uint16_t GetCurbWidth(int index) const { return m_curbs[static_cast<std::size_t>(index)]; }
    // Kerbs of a segment: the normal or the low kerb pair by the segment's
    // flag, the pair's first width when `side` is set, else the second.
    void InitSegCurbs(GP2SegObj& segment, int side) const;

private:
    std::array<std::uint16_t, 16> m_curbs{};
    std::uint32_t m_checksum = 0;
    std::array<char, 39> m_name{};
    int m_numSegs = 0;
    int m_numPitSegs = 0;
    std::vector<GP2SEGINFO> m_segs;
    bool m_read = false;
};

}  // namespace morlund
