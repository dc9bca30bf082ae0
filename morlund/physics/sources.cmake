# Car models.
target_sources(morlund PRIVATE
  physics/Physics.cpp
  physics/GP2Physics.cpp
  physics/LFSPhysics.cpp
)
