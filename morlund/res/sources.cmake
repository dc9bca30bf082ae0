target_sources(morlund PRIVATE
  res/StringTable.cpp
)
