#pragma once

#include <string_view>

#include "morlund/platform/MessageSink.h"

namespace morlund {

// The library's own message texts, by resource id.
enum StringId : int {
    IDS_READ_ERROR = 15000,
    IDS_CORRUPT_DATA = 15001,
    IDS_NOT_GPX_FILE = 15002,
    IDS_NOT_PERF_FILE = 15003,
    IDS_NOT_SAME_TRACK = 15004,
    IDS_NOT_SETUP_FILE = 15005,
    IDS_OPEN_ERROR = 15006,
    IDS_SETUP_OTHER_TRACK = 15008,
    IDS_NOT_F1RS_FILE = 15009,
    IDS_NOT_MGP_FILE = 15010,
    IDS_PARTS_MISSING = 15011,
    IDS_NOT_LFS_FILE = 15012,
};

// The text of a string id; an unknown id raises InvalidArgument.
std::string_view LoadString(int id);

// Shows an entry of the string table (error icon, OK button unless given).
MessageAnswer ShowMessage(int stringId, MessageIcon icon = MessageIcon::Error,
                          MessageButtons buttons = MessageButtons::Ok);

}  // namespace morlund
