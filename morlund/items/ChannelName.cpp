#include "morlund/items/ChannelName.h"

#include "morlund/items/DataItem.h"

namespace morlund {

ChannelName ResolveChannelName(std::string_view name, const FormulaNames& names) {
    ChannelName found;
    found.item = names.FindItem(name);
    if (found.item != nullptr) {
        found.status = ChannelName::Status::kFound;
        return found;
    }
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return found;
    found.item = names.FindItem(name.substr(0, dot));
    if (found.item == nullptr) return found;
    found.wheelName = name.substr(dot + 1);
    found.wheel = names.FindWheel(found.wheelName);
    if (found.wheel == nullptr) {
        found.status = ChannelName::Status::kUnknownWheel;
    } else if (found.item->GetDataType() != DataItem::DT_WHEEL) {
        found.status = ChannelName::Status::kNotPerWheel;
    } else {
        found.status = ChannelName::Status::kFound;
    }
    return found;
}

}  // namespace morlund
