target_sources(morlund PRIVATE
  formats/mgp/MGPCarSetup.cpp
)
target_sources(morlund PRIVATE
  formats/mgp/MGPBufManager.cpp
  formats/mgp/MGPPerf.cpp
)
