target_sources(morlund PRIVATE
  formats/generic/GenBufManager.cpp
  formats/generic/GenCarSetup.cpp
  formats/generic/GenPerf.cpp
)
