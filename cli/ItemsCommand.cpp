#include <cstdio>

#include "cli/Commands.h"
#include "cli/Laps.h"
#include "morlund/items/DataItem.h"

using namespace morlund;

namespace cli {

int RunItems(const Options& options) {
    LoadFormulaChannels(options);
    std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\n", "ordinal", "short name", "name", "type", "level",
                "quantity", "unit");
    for (auto it = DataItem::NewIterator(); it->HasNext();) {
        const DataItem* item = it->GetNext();
        std::printf(
            "%d\t%s\t%s\t%s\t%d\t%s\t%s\n", item->GetOrdinal(), item->GetShortName().c_str(),
            item->GetName().c_str(), DataItem::GetDataTypeName(item->GetDataType()),
            static_cast<int>(item->GetLevel()), DataItem::GetQuantityName(item->GetQuantity()),
            item->GetShortConvertedQuantityName().c_str());
    }
    return kExitOk;
}

}  // namespace cli
