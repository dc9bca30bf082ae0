target_sources(morlund PRIVATE
  track/GP2Track.cpp
)
