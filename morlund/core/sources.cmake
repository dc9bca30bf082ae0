target_sources(morlund PRIVATE
  core/DistanceArray.cpp
  core/PerfCore.cpp
  core/PerfCoreModel.cpp
  core/PerfCoreMotion.cpp
)
