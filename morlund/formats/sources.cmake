target_sources(morlund PRIVATE
  formats/BufManager.cpp
  formats/GameStrings.cpp
  formats/Games.cpp
  formats/gp2/GPEnvelope.cpp
  formats/gp2/GP2BufManager.cpp
  formats/gp2/GP2CarSetup.cpp
  formats/gp2/GP2Perf.cpp
  formats/gp3/GP3CarSetup.cpp
  formats/f1rs/F1RSCarSetup.cpp
  formats/mgp/MGPCarSetup.cpp
  formats/lfs/LFSCarSetup.cpp
  formats/generic/GenCarSetup.cpp
)
