# The project's version for the programs' --version: one generated header,
# skyloom_version.h, reached by linking the interface library skyloom_version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/skyloom_version.h.in
               ${PROJECT_BINARY_DIR}/generated/skyloom_version.h @ONLY)
add_library(skyloom_version INTERFACE)
target_include_directories(skyloom_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
