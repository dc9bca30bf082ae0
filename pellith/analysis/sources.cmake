target_sources(pellith PRIVATE
  analysis/AnalysisText.cpp
  analysis/Corners.cpp
  analysis/LapDelta.cpp
  analysis/Sectors.cpp
)
