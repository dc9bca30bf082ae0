# The abstract car-setup record: headers only, below the car models and readers.
target_sources(morlund PRIVATE
  setup/CarSetup.h
)
