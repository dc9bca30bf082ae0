#include "morlund/track/GP2Track.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/File.h"
#include "morlund/platform/Text.h"

namespace morlund {

// --- segments --------------------------------------------------------------------

GP2SegObj::GP2SegObj(const GP2SEGINFO* segment, int scale)
    : m_seg(segment), m_scale(scale == 0 ? 1 : scale) {}

int GP2SegObj::CalcWidth() const {
    const int xs = SideX() / m_scale;
    const int ys = SideY() / m_scale;
    return static_cast<int>(
               std::floor(std::sqrt(static_cast<double>(xs) * xs + static_cast<double>(ys) * ys))) /
           m_scale;
}

TrackPoint GP2SegObj::Pos() const { return {m_seg->x / m_scale, m_seg->y / m_scale}; }

TrackPoint GP2SegObj::PosLeft() const {
    return {(m_seg->x - SideX()) / m_scale, (m_seg->y + SideY()) / m_scale};
}

TrackPoint GP2SegObj::PosRight() const {
    return {(m_seg->x + SideX()) / m_scale, (m_seg->y - SideY()) / m_scale};
}

void GP2SegObj::CalcCC() const {
    int c = m_seg->width / m_scale;
    if (c == 0) c = 1;
    const int o = m_seg->ccLine / m_scale;
    m_cc = {o * (SideX() / m_scale) / c + m_seg->x / m_scale,
            m_seg->y / m_scale - o * (SideY() / m_scale) / c};
    m_ccDone = true;
}

TrackPoint GP2SegObj::CCLinePos() const {
    if (!m_ccDone) CalcCC();
    return m_cc;
}

void GP2SegObj::CalcCurbs(int kerbWidth) {
    const int b = m_seg->width != 0 ? m_seg->width : 1;
    const long long e = static_cast<long long>(b) + 2LL * kerbWidth;
    m_curbX = static_cast<int>(e * SideX() / b);
    m_curbY = static_cast<int>(e * SideY() / b);
}

TrackPoint GP2SegObj::CurbPosLeft() const {
    return {(m_seg->x - m_curbX) / m_scale, (m_curbY + m_seg->y) / m_scale};
}

TrackPoint GP2SegObj::CurbPosRight() const {
    return {(m_seg->x + m_curbX) / m_scale, (m_seg->y - m_curbY) / m_scale};
}

// --- the file -------------------------------------------------------------------------

void GP2Track::InitSegCurbs(GP2SegObj& segment, int side) const {
    const std::size_t pair = segment.CurbLow() ? 5 : 1;
    segment.CalcCurbs(m_curbs[side != 0 ? pair : pair + 1]);
}

bool GP2Track::ReadFile(File& file) {
    *this = GP2Track();
    std::uint8_t head[16];
    if (!file.Seek(0) || file.Read(head, 12) != 12) return false;
    const std::uint32_t version = LoadU32(head + 4);
    if (LoadU32(head) != kMagic || version == 0) return false;
    const std::uint64_t segs = LoadU32(head + 8);
    std::uint64_t pits = 0;
    if (version >= 3) {
        if (file.Read(head + 12, 4) != 4) return false;
        pits = LoadU32(head + 12);
    }
    std::uint8_t curbs[32];
    if (file.Read(curbs, sizeof curbs) != sizeof curbs) return false;
    for (std::size_t i = 0; i < m_curbs.size(); ++i)
        m_curbs[i] = LoadU16(curbs + 2 * i);
    if (version >= 2) {
        std::uint8_t checksum[4];
        if (file.Read(checksum, 4) != 4) return false;
        m_checksum = LoadU32(checksum);
        const std::string expected = Format("%08x", static_cast<unsigned>(m_checksum));
        const std::string name = file.GetFileName();
        if (name.size() < 8 || !EqualsNoCase(std::string_view(name).substr(0, 8), expected)) {
            return false;
        }
        if (file.Read(m_name.data(), 38) != 38) return false;
        m_name[38] = '\0';
    }
    // Counts from the file are checked against what it holds before anything is allocated.
    const std::uint64_t records = segs + pits;
    const std::uint64_t left = file.GetLength() - std::min(file.GetLength(), file.GetPosition());
    if (records > INT_MAX || records * kRecordSize > left) return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(records * kRecordSize));
    if (file.Read(bytes.data(), bytes.size()) != bytes.size()) return false;
    m_segs.resize(static_cast<std::size_t>(records));
    for (std::size_t i = 0; i < m_segs.size(); ++i) {
        const std::uint8_t* r = bytes.data() + i * kRecordSize;
        GP2SEGINFO& s = m_segs[i];
        s.nr = LoadU16(r);
        s.angle = LoadI16(r + 2);
        s.angleV = LoadI16(r + 4);
        s.x = LoadI16(r + 6);
        s.y = LoadI16(r + 8);
        s.height = LoadI16(r + 10);
        s.width = LoadU16(r + 12);
        s.xSide = LoadU16(r + 14);
        s.ySide = LoadU16(r + 16);
        s.unknown18 = LoadU16(r + 18);
        s.ccLine = LoadI16(r + 20);
        s.flags = LoadU32(r + 22);
        s.unknown26 = LoadU32(r + 26);
    }
    m_numSegs = static_cast<int>(segs);
    m_numPitSegs = static_cast<int>(pits);
    m_read = true;
    return true;
}

}  // namespace morlund
