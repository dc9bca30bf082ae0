target_sources(pellith PRIVATE
  export/ColumnItem.cpp
  export/ColumnSpec.cpp
  export/Delimiters.cpp
  export/ExportEngine.cpp
  export/FixedFormat.cpp
)
