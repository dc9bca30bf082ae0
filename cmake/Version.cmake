# Version constants for the libraries, the program and the export header.
set(TARNWICK_COMPANY "Ravelle")
set(TARNWICK_PRODUCT "Tarnwick")
string(TIMESTAMP TARNWICK_YEAR "%Y" UTC)
configure_file(${CMAKE_SOURCE_DIR}/cmake/Version.h.in
               ${CMAKE_BINARY_DIR}/generated/tarnwick/Version.h @ONLY)
add_library(tarnwick_version INTERFACE)
target_include_directories(tarnwick_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
