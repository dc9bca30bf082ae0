target_sources(morlund PRIVATE
  formats/f1rs/F1RSCarSetup.cpp
)
