target_sources(morlund PRIVATE
  formats/generic/GenCarSetup.cpp
)
