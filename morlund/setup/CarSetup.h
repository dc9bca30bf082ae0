#pragma once

#include <cstdint>

namespace morlund {

class File;

// The car setup a lap was driven with, one subclass per game family. Wheel
// numbers: 0 left rear, 1 right rear, 2 left front, 3 right front.
class CarSetup {
public:
    virtual ~CarSetup() = default;

    // Copies another record of the same game.
    virtual void Assign(const CarSetup& other) = 0;
    // Reads (save false) or writes (save true) the game's setup file; true on success.
    virtual bool Serialize(File& file, bool save) = 0;
    // Checks the record just read; shows its message unless quiet.
    virtual bool IsValid(bool quiet) const = 0;
    virtual bool IsFromFile() const = 0;
    virtual int GetTrack() const = 0;
    virtual void SetTrack(int track) = 0;

    virtual double GetFrontWing() const = 0;
    virtual double GetRearWing() const = 0;
    // Speed ratio of gear 1..n; gear -1 is minus gear 1's ratio; other gears 0.
    virtual double GetGearRatio(int gear) const = 0;
    virtual void SetGearRatio(int gear, double ratio) = 0;
    virtual double GetDiffRatio() const = 0;
    virtual double GetBrakeBalance() const = 0;
    virtual double GetStaticRideHeight(int wheel) const = 0;
    virtual double GetPackers(int wheel) const = 0;
    virtual double GetSlowBump(int wheel) const = 0;
    virtual double GetSlowRebound(int wheel) const = 0;
    virtual double GetFastBump(int wheel) const = 0;
    virtual double GetFastRebound(int wheel) const = 0;
    virtual double GetSpringRate(int wheel) const = 0;
    virtual double GetFrontAntiRollBar() const = 0;
    virtual double GetRearAntiRollBar() const = 0;
    virtual double GetStaticCamber(int wheel) const = 0;
    virtual double GetWheelSetupB(int wheel) const = 0;
    virtual int GetDiffSetting(int which, int part) const = 0;
    virtual void SetDiffSetting(int which, int part, int value) = 0;
    virtual int GetGearCount() const = 0;
    virtual double GetMaxSuspTravel(int wheel) const = 0;
    // The raw record and its size.
    virtual const std::uint8_t* GetData(int* size) const = 0;
    // Writes one byte of the raw record (the setup editor's way in); false when the
    // offset lies outside the record or the game's records are not edited so.
    virtual bool SetRecordByte(int /*offset*/, std::uint8_t /*value*/) { return false; }
};

}  // namespace morlund
