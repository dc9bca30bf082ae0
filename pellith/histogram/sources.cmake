target_sources(pellith PRIVATE
  histogram/Histogram.cpp
)
