target_sources(pellith PRIVATE
  setup/SetupSheet.cpp
)
