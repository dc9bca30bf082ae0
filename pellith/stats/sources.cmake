target_sources(pellith PRIVATE
  stats/LapTimeText.cpp
  stats/StatTable.cpp
  stats/SummaryStats.cpp
)
