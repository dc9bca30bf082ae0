target_sources(morlund PRIVATE
  formats/mgp/MGPCarSetup.cpp
)
