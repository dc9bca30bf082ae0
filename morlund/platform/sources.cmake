target_sources(morlund PRIVATE
  platform/File.cpp
  platform/IniFile.cpp
  platform/MessageSink.cpp
  platform/Process.cpp
  platform/Text.cpp
)
target_sources(morlund PRIVATE
  platform/SharedLibrary.cpp
)
