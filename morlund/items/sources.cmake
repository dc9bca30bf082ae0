target_sources(morlund PRIVATE
  items/DataItem.cpp
  items/StandardItems.cpp
  items/CustomDataItem.cpp
  items/Formula.cpp
  items/ChannelName.cpp
)
