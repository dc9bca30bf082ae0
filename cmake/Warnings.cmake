# Warning set for the project's own targets: tarnwick_warnings(<target>)
function(tarnwick_warnings target)
  if(MSVC)
    # Sources are UTF-8 (degree signs and the like in texts).
    target_compile_options(${target} PRIVATE /W4 /permissive- /utf-8)
    if(TARNWICK_WERROR)
      target_compile_options(${target} PRIVATE /WX)
    endif()
    return()
  endif()
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 reports false overlaps and bounds inside libstdc++'s inlined
    # string and vector copies at -O2 and above.
    target_compile_options(${target} PRIVATE -Wno-restrict -Wno-array-bounds -Wno-stringop-overflow
                                             -Wno-stringop-overread)
  endif()
  if(TARNWICK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
