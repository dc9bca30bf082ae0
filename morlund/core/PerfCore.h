#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "morlund/core/DistanceArray.h"
#include "morlund/core/ExtraPerf.h"
#include "morlund/core/Vect.h"

namespace morlund {

class BufManager;
class CarSetup;
class File;
class Physics;

// One buffer: the recording of one lap read from one telemetry file. Each game
// reader derives its own class and serves the raw channels; all values are in
// SI base units. Raw accessors do not check the sample index.
class PerfCore {
public:
    // Number of buffers constructed since the library loaded.
    static int perf_nr;

    PerfCore();
    virtual ~PerfCore();
    PerfCore(const PerfCore&) = delete;
    PerfCore& operator=(const PerfCore&) = delete;

    // --- virtual operations -------------------------------------------------
    virtual void FlushCaches();
    // Replaces the setup by a setup file chosen by the user; true when it was read and valid.
    virtual bool ReadSetup(File& file);
    // Writes the current setup to the setup path.
    virtual void SaveSetup();
    virtual double GetFrameTime() const;
    virtual double GetMaxDistance() const;
    virtual double GetTime(int sample) const;
    virtual bool IsUseLatAccForAngleAndPos() const;
    virtual void InfoGetInfoItemNames(std::vector<std::string>& names) const;
    virtual void InfoGetInfoItemValues(std::vector<std::string>& values) const;
    virtual std::string InfoGetInfo() const;
    virtual std::string InfoGetName() const;
    virtual int InfoGetLapnr() const;
    virtual std::string InfoGetDateString() const;
    virtual double InfoGetLapTime() const;
    virtual double InfoGetTrackLength() const;
    // Times in seconds from the start line at which the game took its split times, in order
    // and without the lap time itself; empty when the game records none.
    virtual std::vector<double> GetSplitTimes() const;
    virtual int GetSampleCount() const = 0;
    virtual double GetDistance(int sample) const = 0;
    virtual double GetSpeed(int sample) const = 0;
    virtual double GetRevs(int sample) const = 0;
    virtual double GetThrottle(int sample) const = 0;
    virtual double GetBrake(int sample) const = 0;
    virtual double GetSteering(int sample) const = 0;
    virtual int GetGear(int sample) const = 0;
    virtual double GetRideHeight(int sample, int wheel) const = 0;
    virtual double GetSuspTravel(int sample, int wheel) const = 0;
    virtual double GetWheelSpeed(int sample, int wheel) const = 0;
    virtual double GetCamber(int sample, int wheel) const = 0;
    virtual double GetPosX(int sample) const;
    virtual double GetPosY(int sample) const;
    virtual double GetPosZ(int sample) const;
    virtual double GetDrivenDistance(int sample) const;
    virtual Vect GetStartPos() const;
    virtual double GetStartAngle() const;
    virtual Vect GetRadius(int sample) const;
    virtual double GetAngleImpl(int sample) const;
    virtual double GetAcceleration(int sample) const;
    virtual double GetLongitudalAcc(int sample) const;
    virtual double GetLateralAcc(int sample) const;
    virtual double GetLongAccDiff(int sample) const;
    // Load on the tyre from the spring and the anti-roll bar, N.
    virtual double GetTyreLoad(int sample, int wheel, const CarSetup& setup) const;
    // GetTyreLoad of samples first..end-1 of a wheel 0..3 into out, the same values
    // with the setup read once; a reader that overrides GetTyreLoad overrides this too.
    virtual void GetTyreLoads(int first, int end, int wheel, const CarSetup& setup,
                              double* out) const;
    virtual double GetLongitudalTyreForce(int sample, int wheel) const;
    virtual double GetLateralTyreForce(int sample, int wheel) const;

    // --- life cycle -----------------------------------------------------------
    // Creates empty item caches and parses the raw file image; true on success.
    bool Init(const std::uint8_t* data, std::size_t size);
    // Stores the file's path, tries the setup file beside it and builds the
    // distance index and the per-sample extra values.
    void InitExtended(const File& file);

    // --- accessors ------------------------------------------------------------
    BufManager* GetBufManager() const { return m_bufManager; }
    CarSetup* GetSetup() { return m_setup.get(); }
    const CarSetup* GetSetup() const { return m_setup.get(); }
    const CarSetup* GetSetupOrg() const { return m_setupOrg.get(); }
    // The car model, created on first use when the buffer has none yet.
    const Physics* GetPhysics() const;
    const std::vector<ExtraPerf>& GetSamplesExtra() const { return m_extra; }
    const CDistanceArray& GetDistanceArray() const { return m_distanceIndex; }
    const std::string& GetFilePath() const { return m_filePath; }

    void Enable(bool enable) { m_enabled = enable; }
    bool IsEnabled() const { return m_enabled; }
    bool IsSetupRead() const { return m_setupRead; }
    bool IsSetupChanged() const { return m_setupChanged; }
    // Marks the current setup edited; every cached formula channel is dropped.
    void SetupChanged();
    // Takes over both setups of another buffer.
    void CopySetup(const PerfCore& other);
    // Accepts the current setup as original; the setup no longer belongs to a file.
    void ResetSetupOrg();

    // Time at a distance, interpolated between the samples around it.
    double GetTime(double distance) const;
    Vect GetPos(int sample) const { return {GetPosX(sample), GetPosY(sample)}; }

    // --- derived motion channels ----------------------------------------------
    double GetAngle(int sample) const;
    double GetRHSlow(int sample, int wheel) const;
    double GetSTSlow(int sample, int wheel) const;
    double GetRHFast(int sample, int wheel) const;
    double GetSTFast(int sample, int wheel) const;
    static double RadiusLength(const Vect& v) { return v.Length(); }
    Vect GetSpeedVector(int sample) const;
    Vect GetAccelerationVector(int sample) const;
    // Radius of the path that a steering angle gives with the car's wheelbase.
    double SteerAngleToRadius(double angle) const;
    double RadiusToSteerAngle(double radius) const;
    double GetSteeringRadius(int sample) const;
    // Radius from speed and lateral acceleration ("virtual curve radius").
    double GetCurveRadius(int sample) const;
    double GetInverseCornerRadius(int sample) const;
    double GetCalculatedAcc(int sample) const;

    // Ride height and suspension travel: derivatives per metre and per second.
    double GetRH1stDeriv(int sample, int wheel) const;
    double GetRH1stDerivTime(int sample, int wheel) const;
    double GetRH2ndDeriv(int sample, int wheel) const;
    double GetRH2ndDerivTime(int sample, int wheel) const;
    double GetST1stDeriv(int sample, int wheel) const;
    double GetST1stDerivTime(int sample, int wheel) const;
    double GetST2ndDeriv(int sample, int wheel) const;
    double GetST2ndDerivTime(int sample, int wheel) const;
    double GetAvgRideHeight(int sample) const;
    // Rear axle minus front axle.
    double GetDeltaRideHeight(int sample) const;

    // Wheels and drive.
    double GetWheelSpin(int sample, int wheel) const;
    double GetLongitudalSlip(int sample, int wheel) const;
    double GetWheelAcceleration(int sample, int wheel) const;
    double GetRevRange(int sample) const;
    double GetDiffRatio(int sample, const CarSetup& setup) const;

    // --- derived car-model channels (the setup passed in: current or original) ---
    double GetSpringForces(int sample, int wheel, const CarSetup& setup) const;
    double GetARBContrib(int sample, int wheel, const CarSetup& setup) const;
    double GetDampingForces(int sample, int wheel, const CarSetup& setup) const;
    // Inertial force of the unsprung mass ("acceleration factor").
    double GetTyreAccel(int sample, int wheel) const;
    double GetRideHeightMinSuspTravel(int sample, int wheel, const CarSetup& setup) const;
    double GetCOGHeightExternal(int sample) const;
    double GetCOGHeightInternalLat(int sample, const CarSetup& setup) const;
    double GetCOGHeightInternalLong(int sample, const CarSetup& setup) const;
    double GetCOGHeightInternal(int sample, const CarSetup& setup) const;
    double GetCOGHeight(int sample, const CarSetup& setup) const;
    double GetDownforce(int sample, int wheel, double speed, const CarSetup& setup) const;
    double GetDownforce(int sample, int wheel, const CarSetup& setup) const;
    double GetDownforceSum(int sample, double speed, const CarSetup& setup) const;
    double GetDragAcc(int sample, const CarSetup& setup) const;
    double GetPower(int sample, const CarSetup& setup) const;
    double GetTorque(int sample, const CarSetup& setup) const;
    double GetGripFactor(int sample, int wheel, const CarSetup& setup) const;
    // Grip the tyre model predicts for the wheel's longitudinal slip.
    double GetPredictedGripFactor(int sample, int wheel) const;

    static constexpr double kFrontTrackWidth = 1.8669;
    static constexpr double kRearTrackWidth = 1.8288;

    // --- item cache for formula channels ---------------------------------------
    // A cache of computed values, not a part of the lap: usable on const buffers.
    // The values cached under a name for a wheel, or null; the name is entered.
    double* GetCachedItem(int wheel, const char* name) const;
    // Stores values (owned from now on; may be null) under a name for a wheel.
    void SetCachedItem(int wheel, const char* name, std::unique_ptr<double[]> values) const;
    // Drops a name's values for all four wheels.
    void FlushCachedItem(const char* name) const;

    static constexpr double kNoValue = 10000.0;

protected:
    friend class BufManager;

    // Each game's buffer class makes its own car model.
    virtual std::unique_ptr<Physics> CreatePhysics() const = 0;
    virtual bool InitData(const std::uint8_t* data, std::size_t size) = 0;
    virtual void TryLoadSetup();
    virtual std::unique_ptr<CarSetup> CreateSetup() const = 0;
    virtual std::string GetSetupPath() const;

    // Joins a manager (may be null) whose laps were driven on a track (-1: none yet):
    // creates the car model and the two setup records for that track.
    void SetBufManager(BufManager* manager, int track);
    void InitDistanceBuf();
    void InitExtraBuf();
    void LoadIniSettings() {}

    // The common last step of saving: writes the setup to the path, replacing
    // an existing file only when the whole setup was written.
    void WriteSetupFile(const std::string& path);
    // Reads a setup file into a fresh record; null (with message 15000) when
    // the file cannot be read. The current setup is not touched.
    std::unique_ptr<CarSetup> ReadSetupRecord(File& file) const;
    // Makes a record the current setup and its copy the original setup.
    void AcceptSetup(const CarSetup& setup);

    std::string m_filePath;
    CDistanceArray m_distanceIndex;
    BufManager* m_bufManager = nullptr;
    bool m_enabled = false;
    std::vector<ExtraPerf> m_extra;
    std::unique_ptr<CarSetup> m_setup;
    std::unique_ptr<CarSetup> m_setupOrg;
    bool m_setupRead = false;
    std::string m_setupPath;
    bool m_setupChanged = false;
    mutable std::unique_ptr<Physics> m_physics;
    int m_radiusHalfWindow = 1;
    int m_speedWindow = 3;

private:
    using ItemCache = std::map<std::string, std::unique_ptr<double[]>, std::less<>>;

    void CreateItemCache();
    void ClearItemCache();
    void DeleteItemCache();
    void ComputeSlowParts(bool suspension, int wheel);
    // Ride height (false) or suspension travel (true) of a wheel at a sample.
    double Travel(bool suspension, int sample, int wheel) const {
        return suspension ? GetSuspTravel(sample, wheel) : GetRideHeight(sample, wheel);
    }
    double FirstDeriv(bool suspension, int sample, int wheel) const;
    double FirstDerivTime(bool suspension, int sample, int wheel) const;
    double SecondDeriv(bool suspension, int sample, int wheel) const;
    double SecondDerivTime(bool suspension, int sample, int wheel) const;
    // Reference height of the centre of gravity from the ride heights.
    double CogBaseHeight(int sample) const;
    double CogBaseHeight(double avgRideHeight, double deltaRideHeight) const;
    // Driving force per unit mass that the acceleration and the resistances need.
    double DrivingAcc(int sample, const CarSetup& setup) const;
    void ComputePositionsFromLateralAcc();

    mutable std::unique_ptr<ItemCache[]> m_itemCaches;  // four maps, one per wheel
    int m_number = 0;                                   // perf_nr when this buffer was made
};

}  // namespace morlund
