#include "pellith/export/ColumnItem.h"

namespace pellith {

using morlund::DataItem;
using morlund::Wheel;

ColumnItem ColumnItem::Make(const DataItem* item, const Wheel* wheel) {
    ColumnItem column;
    column.item = item;
    const bool perWheel = item != nullptr && item->GetDataType() == DataItem::DT_WHEEL;
    column.wheel = perWheel && wheel != nullptr ? wheel : Wheel::ALL;
    return column;
}

bool ColumnItem::Passes(double v) const {
    const bool hasMin = HasMinimum();
    const bool hasMax = HasMaximum();
    if (hasMin && hasMax)
        return exclude ? (v < minimum || v > maximum) : (minimum <= v && v <= maximum);
    if (hasMax) return exclude ? v > maximum : v <= maximum;
    if (hasMin) return exclude ? v < minimum : minimum <= v;
    return true;
}

std::string ColumnItem::GetListText() const {
    std::string text = item->GetName();
    if (IsPerWheel()) text += " (" + wheel->GetName() + ")";
    return text;
}

}  // namespace pellith
