target_sources(morlund PRIVATE
  platform/File.cpp
  platform/MessageSink.cpp
  platform/Text.cpp
)
