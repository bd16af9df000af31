# skyloom_module(NAME SOURCES... [DEPS libs...]): a static library of one
# subsystem with warnings on, the repository root on the include path and its
# dependencies linked publicly so that users see the headers they need.
function(skyloom_module name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  foreach(dep IN LISTS ARG_DEPS)
    if(dep MATCHES "^skyloom_")
      # A sibling library that another folder may not have declared yet.
      target_link_libraries(${name} PUBLIC $<TARGET_NAME_IF_EXISTS:${dep}>)
    else()
      target_link_libraries(${name} PUBLIC ${dep})
    endif()
  endforeach()
endfunction()

# skyloom_glob_module(NAME [DEPS libs...]): skyloom_module over every .cpp of
# the calling folder.
function(skyloom_glob_module name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    skyloom_module(${name} SOURCES ${sources} ${ARGN})
  endif()
endfunction()

# skyloom_test_folder(DIR): one GoogleTest program per folder of tests,
# named after the folder, linked with every library.
function(skyloom_test_folder dir)
  get_filename_component(area ${dir} NAME)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${area}_tests ${sources})
  target_compile_options(${area}_tests PRIVATE -Wall -Wextra)
  target_link_libraries(${area}_tests PRIVATE skyloom_all GTest::gtest_main GTest::gmock)
  target_compile_definitions(${area}_tests PRIVATE
    SKYLOOM_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    SKYLOOM_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    SKYLOOM_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${area}_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${area})
endfunction()
