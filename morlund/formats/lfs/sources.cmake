target_sources(morlund PRIVATE
  formats/lfs/LFSCarSetup.cpp
)
