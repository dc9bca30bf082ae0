target_sources(morlund PRIVATE
  formats/gp3/GP3CarSetup.cpp
)
