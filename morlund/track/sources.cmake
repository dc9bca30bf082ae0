target_sources(morlund PRIVATE
  track/GP2Track.cpp
  track/LFSTrack.cpp
)
