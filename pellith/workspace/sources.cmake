target_sources(pellith PRIVATE
  workspace/Workspace.cpp
)
