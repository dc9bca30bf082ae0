#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace morlund {
class DataItem;
}

namespace tarnwick {

// One entry of a graph view's item list: a channel (the main data item) with its
// overlays, drawn in one pair of axes, and the zoom and scroll of its axis.
class GraphItem {
public:
    static constexpr int kScale = 5000;
    static constexpr int kDefaultZoomLevel = 35;
    static constexpr int kMinZoomLevel = 1;
    static constexpr int kMaxZoomLevel = 256;
    static constexpr int kMaxOffset = 5000;
    enum GapMode { kGapNone = 0, kGapBreak = 1, kGapSteps = 2 };

    // The valid range and gap mode follow the item (derivatives as steps, radii up to
    // mapMaxRadius, ...).
    GraphItem(const morlund::DataItem* main, int mapMaxRadius);
    virtual ~GraphItem() = default;

    virtual bool CanBeX() const;
    virtual bool CanBeY() const;
    // The data item's name for overlay >= 0; for -1 the combined name ("Ride Height ;
    // Predicted ; Minimum": overlays lose the main name's leading words).
    virtual QString Name(int overlay) const;
    virtual bool IsCarChannel() const;
    virtual int Level() const;
    // Smallest minimum / largest maximum of the data items (1e8 / -1e8 with none).
    virtual double Minimum() const;
    virtual double Maximum() const;
    virtual bool IsTimeDifference() const { return false; }
    virtual bool IsDeltaToReference() const { return false; }

    // scale / (maximum - minimum); a range of zero or less counts as 1.
    double ValueScale() const;
    bool IsValid(double value) const { return value > validMin && value < validMax; }

    int scale = kScale;
    int offset = 0;  // -5000..5000
    int zoomLevel = kDefaultZoomLevel;
    std::vector<const morlund::DataItem*> dataItems;  // [0] is the main item
    bool canBeX = true;
    double validMin = -1e8;
    double validMax = 1e8;
    int gapMode = kGapNone;

protected:
    GraphItem() = default;
};

// A comparison of the laps' times along the track: a car-wide entry for Y only, drawn
// one point per pixel column rather than from a channel.
class LapTimeItem : public GraphItem {
public:
    LapTimeItem() { canBeX = false; }
    bool CanBeX() const override { return false; }
    bool CanBeY() const override { return true; }
    bool IsCarChannel() const override { return true; }
    int Level() const override { return 0; }
};

// The time each lap loses against the quickest at every distance, in milliseconds.
class TimeDifferenceItem : public LapTimeItem {
public:
    QString Name(int overlay) const override;
    double Minimum() const override { return 0.0; }
    double Maximum() const override { return 5000.0; }
    bool IsTimeDifference() const override { return true; }
};

// Each lap's time at every distance less the document's reference lap's, in seconds:
// below zero the lap is ahead there.
class DeltaToReferenceItem : public LapTimeItem {
public:
    QString Name(int overlay) const override;
    double Minimum() const override { return -2.0; }
    double Maximum() const override { return 2.0; }
    bool IsDeltaToReference() const override { return true; }
};

using GraphItemList = std::vector<std::unique_ptr<GraphItem>>;

// The item list of a new graph view: every catalogue item below the model level, in
// catalogue order, with the default overlays and extra entries (a second Ride Height
// entry with predicted and minimum overlays, the delta to the reference lap and the time
// difference before Wheel Speed).
GraphItemList BuildGraphItems(int mapMaxRadius);

}  // namespace tarnwick
