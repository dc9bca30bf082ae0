target_sources(morlund PRIVATE
  formats/gp2/GPEnvelope.cpp
  formats/gp2/GP2BufManager.cpp
  formats/gp2/GP2CarSetup.cpp
  formats/gp2/GP2Perf.cpp
)
