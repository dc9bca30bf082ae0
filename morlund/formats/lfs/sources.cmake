target_sources(morlund PRIVATE
  formats/lfs/LFSBufManager.cpp
  formats/lfs/LFSCarSetup.cpp
  formats/lfs/LFSPerf.cpp
)
