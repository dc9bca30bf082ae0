target_sources(pellith PRIVATE
  setup/SetupEdit.cpp
  setup/SetupSheet.cpp
)
