target_sources(morlund PRIVATE
  formats/f1rs/F1RSCarSetup.cpp
)
target_sources(morlund PRIVATE
  formats/f1rs/F1RSBufManager.cpp
  formats/f1rs/F1RSPerf.cpp
  formats/f1rs/Quillon.cpp
  formats/f1rs/TlmStream.cpp
)
