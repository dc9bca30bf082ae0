target_sources(morlund PRIVATE
  formats/BufManager.cpp
  formats/GameStrings.cpp
  formats/Games.cpp
  formats/PerfFileScan.cpp
)
# One list per game family, in formats/<family>/sources.cmake.
foreach(family gp2 gp3 f1rs mgp lfs generic)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/formats/${family}/sources.cmake)
    include(formats/${family}/sources.cmake)
  endif()
endforeach()
