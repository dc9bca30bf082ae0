#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/Games.h"

namespace morlund {

class CarSetup;
class File;

// Result of reading a perf file.
enum bmErr_t {
    bmOK = 0,            // file read, data pending
    bmReadError = 1,     // too short, short read or checksum mismatch
    bmReported = 2,      // rejected; the reader has shown its own message
    bmWrongTrack = 3,    // another track than the loaded laps
    bmPartsMissing = 4,  // a part of a multi-part recording cannot be opened
};

// The track outline that belongs to the loaded laps and the name that finds it:
// the segment file name for GP2 laps with positions, the track's short name
// (its mesh file) for LFS laps.
struct TrackGeometryRef {
    TrackGeometry kind = TrackGeometry::None;
    std::string name;
};

// Owns the buffers of one game and is the only road from a file to a buffer.
// Also answers the game's questions: file filters, tracks, colours.
class BufManager {
public:
    BufManager() = default;
    virtual ~BufManager();
    BufManager(const BufManager&) = delete;
    BufManager& operator=(const BufManager&) = delete;

    // Reads the open file and appends a buffer; false after telling the user why.
    bool AddBuffer(File& file);
    int GetBufCount() const { return static_cast<int>(m_buffers.size()); }
    bool HasBuffer(int index) const { return index >= 0 && index < GetBufCount(); }
    // Index errors raise InvalidArgument.
    PerfCore* GetBuffer(int index) const;
    bool IsBufferEnabled(int index) const;
    void EnableBuffer(int index, bool enable);
    void RemoveBuffer(int index);
    // The buffer's current setup; null for an index out of range.
    CarSetup* GetSetup(int index) const;

    // Colours are 0x00BBGGRR values.
    static std::uint32_t GetBufColor(int index);
    static std::uint32_t GetWheelColor(int wheel);
    static std::string GetWheelString(int wheel);

    virtual int GetTrackCount() const = 0;
    // The current track, -1 while no lap has fixed it.
    virtual int GetTrack() const = 0;
    virtual std::uint32_t GetTrackChecksum() const;
    // Track name; -1 names the current track.
    virtual std::string GetTrackString(int track) const = 0;
    // Appends open-dialog filter entries ("description|pattern|") and counts them.
    virtual int GetPerfFilter(std::string& filter, int& count, int track) const = 0;
    // Setup-file filter entries; returns the 1-based entry to preselect.
    virtual int GetSetupFilter(std::string& filter, int& count) const;
    virtual int GetSetupVersion() const;
    // Length of the track the laps were driven on, metres.
    virtual double GetTrackLen() const;
    // The outline the laps can be drawn over; kind None when they have none.
    virtual TrackGeometryRef GetTrackGeometry() const { return {}; }

protected:
    virtual bmErr_t ReadPerf(File& file) = 0;
    virtual std::unique_ptr<PerfCore> CreatePerf() const = 0;
    // Builds a buffer from the pending data; null when the data does not parse.
    virtual std::unique_ptr<PerfCore> CreateBuffer(const std::string& fileName) = 0;

    std::vector<std::unique_ptr<PerfCore>> m_buffers;
};

}  // namespace morlund
