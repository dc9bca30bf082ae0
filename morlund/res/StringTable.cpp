#include "morlund/res/StringTable.h"

#include <string>

#include "morlund/platform/Errors.h"

namespace morlund {

namespace {
struct Entry {
    int id;
    std::string_view text;
};
constexpr Entry kStrings[] = {
    {IDS_READ_ERROR, "Error reading file: file is truncated, too long or has incorrect checksum"},
    {IDS_CORRUPT_DATA, "Error reading file: the data seems to be corrupt"},
    {IDS_NOT_GPX_FILE, "Error reading file: not a GPx file (incorrect id)"},
    {IDS_NOT_PERF_FILE, "Error reading file: not a GPx performance analysis file"},
    {IDS_NOT_SAME_TRACK, "Error reading file: not the same track"},
    {IDS_NOT_SETUP_FILE, "Error reading file: not a GPx car setup file"},
    {IDS_OPEN_ERROR, "Error opening file"},
    {IDS_SETUP_OTHER_TRACK, "You selected a car setup of a different track. Load it anyway?"},
    {IDS_NOT_F1RS_FILE, "Error reading file: not a F1RS telemetry file"},
    {IDS_NOT_MGP_FILE, "Error reading file: not a MGPRS2 telemetry file"},
    {IDS_PARTS_MISSING, "Error reading file: one or more parts are missing"},
    {IDS_NOT_LFS_FILE, "Error reading file: not a LFS replay analyser file"},
};
}  // namespace

std::string_view LoadString(int id) {
    for (const auto& e : kStrings) {
        if (e.id == id) return e.text;
    }
    throw InvalidArgument("no string with id " + std::to_string(id));
}

MessageAnswer ShowMessage(int stringId, MessageIcon icon, MessageButtons buttons) {
    return ShowMessage(std::string(LoadString(stringId)), icon, buttons);
}

}  // namespace morlund
