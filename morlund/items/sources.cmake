target_sources(morlund PRIVATE
  # The wheel selectors first: their statics are created before the catalogue's,
  # as they were when they lived with the buffer core.
  items/Wheel.cpp
  items/DataItem.cpp
  items/StandardItems.cpp
  items/CustomDataItem.cpp
  items/Formula.cpp
  items/ChannelName.cpp
)
