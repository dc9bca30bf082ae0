target_sources(morlund PRIVATE
  formats/gp3/GP3CarSetup.cpp
  formats/gp3/GP3BufManager.cpp
  formats/gp3/GP3Perf.cpp
)
