#include "app/graph/GraphItem.h"

#include <algorithm>
#include <string>

#include "morlund/items/DataItem.h"

namespace tarnwick {

using morlund::DataItem;

namespace {

// The part of an overlay's name that tells it from the main item: a leading run of
// whole words shared with the main name is dropped ("Ride Height Predicted" under
// "Ride Height" reads "Predicted"). A name that would be left empty stays whole.
std::string OverlaySuffix(const std::string& main, const std::string& overlay) {
    std::size_t common = 0;
    while (common < main.size() && common < overlay.size() && main[common] == overlay[common])
        ++common;
    if (common == 0) return overlay;
    const bool atBoundary =
        overlay[common - 1] == ' ' || (common < overlay.size() && overlay[common] == ' ');
    if (!atBoundary) return overlay;
    const std::size_t first = overlay.find_first_not_of(' ', common);
    if (first == std::string::npos) return overlay;
    return overlay.substr(first);
}

// Overlays that come with a predicted-value entry. Only the catalogue's own items at a
// level the view can draw are taken; the prediction items sit at the prediction level.
bool UsablePredictionOverlay(const DataItem* item) {
    return item != nullptr && item->GetLevel() <= DataItem::LEVEL_PREDICTED;
}

}  // namespace

GraphItem::GraphItem(const DataItem* main, int mapMaxRadius) {
    dataItems.push_back(main);
    if (main == DataItem::RHDERIVED1 || main == DataItem::RHDERIVED2 ||
        main == DataItem::STDERIVED1 || main == DataItem::STDERIVED2) {
        gapMode = kGapSteps;
    } else if (main == DataItem::RHSLOW || main == DataItem::STSLOW) {
        validMin = -255.0;
        validMax = 255.0;
    } else if (main == DataItem::HCOGINTLAT || main == DataItem::HCOGINTLONG ||
               main == DataItem::HCOGINT) {
        validMin = -10000.0;
        validMax = 10000.0;
        gapMode = kGapBreak;
    } else if (main == DataItem::STEERRADIUS || main == DataItem::RADIUS) {
        validMin = 0.0;
        validMax = mapMaxRadius;
        gapMode = kGapBreak;
    } else if (main == DataItem::POWER) {
        validMin = 0.0;
    }
}

bool GraphItem::CanBeX() const { return canBeX && CanBeY(); }

bool GraphItem::CanBeY() const {
    return !dataItems.empty() && dataItems.front()->GetLevel() < DataItem::LEVEL_MODEL;
}

QString GraphItem::Name(int overlay) const {
    if (overlay >= 0) {
        if (overlay >= static_cast<int>(dataItems.size())) return QString();
        return QString::fromStdString(dataItems[overlay]->GetName());
    }
    if (dataItems.empty()) return QString();
    const std::string& main = dataItems.front()->GetName();
    std::string name = main;
    for (std::size_t i = 1; i < dataItems.size(); ++i)
        name += " ; " + OverlaySuffix(main, dataItems[i]->GetName());
    return QString::fromStdString(name);
}

bool GraphItem::IsCarChannel() const {
    return !dataItems.empty() && dataItems.front()->GetDataType() == DataItem::DT_CAR;
}

int GraphItem::Level() const { return dataItems.empty() ? 0 : dataItems.front()->GetLevel(); }

double GraphItem::Minimum() const {
    double minimum = 1e8;
    for (const DataItem* item : dataItems)
        minimum = std::min(minimum, item->GetMinValue());
    return minimum;
}

double GraphItem::Maximum() const {
    double maximum = -1e8;
    for (const DataItem* item : dataItems)
        maximum = std::max(maximum, item->GetMaxValue());
    return maximum;
}

double GraphItem::ValueScale() const {
    const double range = Maximum() - Minimum();
    // A formula item may be defined with minimum equal to maximum.
    return scale / (range > 0.0 ? range : 1.0);
}

QString TimeDifferenceItem::Name(int) const { return QStringLiteral("Time Difference"); }

QString DeltaToReferenceItem::Name(int) const { return QStringLiteral("Delta to Reference"); }

GraphItemList BuildGraphItems(int mapMaxRadius) {
    GraphItemList items;
    auto it = DataItem::NewIterator();
    while (it->HasNext()) {
        const DataItem* item = it->GetNext();
        if (item == nullptr || item->GetLevel() >= DataItem::LEVEL_MODEL) continue;
        if (item == DataItem::WHEELSPEED) {
            items.push_back(std::make_unique<DeltaToReferenceItem>());
            items.push_back(std::make_unique<TimeDifferenceItem>());
        }
        auto entry = std::make_unique<GraphItem>(item, mapMaxRadius);
        if (item == DataItem::RIDEHEIGHT || item == DataItem::RHSLOW) {
            entry->dataItems.push_back(DataItem::SETUP_RIDEHEIGHT);
            items.push_back(std::move(entry));
            auto predicted = std::make_unique<GraphItem>(item, mapMaxRadius);
            predicted->canBeX = false;
            for (const DataItem* overlay : {DataItem::RHPREDICTED, DataItem::RHMINIMUM})
                if (UsablePredictionOverlay(overlay)) predicted->dataItems.push_back(overlay);
            if (predicted->dataItems.size() > 1) items.push_back(std::move(predicted));
            continue;
        }
        if (item == DataItem::SUSPTRAVEL || item == DataItem::STSLOW)
            entry->dataItems.push_back(DataItem::STMAXIMUM);
        else if (item == DataItem::GRIPFACTOR)
            entry->dataItems.push_back(DataItem::GFPREDICTED);
        else if (item == DataItem::CAMBER)
            entry->dataItems.push_back(DataItem::SETUP_CAMBER);
        items.push_back(std::move(entry));
    }
    return items;
}

}  // namespace tarnwick
