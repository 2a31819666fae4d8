# Build machine: the host tools and the host tests.
find_package(GTest REQUIRED)

# Each folder under tools/ is one program.
file(GLOB KURUN_TOOL_DIRS LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tools/*)
foreach(dir ${KURUN_TOOL_DIRS})
  if(IS_DIRECTORY ${dir})
    get_filename_component(tool ${dir} NAME)
    file(GLOB tool_sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(tool_sources)
      add_executable(kurun_${tool} ${tool_sources})
      target_link_libraries(kurun_${tool} PRIVATE kurun_core)
    endif()
  endif()
endforeach()

file(GLOB KURUN_HOST_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
add_executable(kurun_host_tests ${KURUN_HOST_TESTS} ${CMAKE_SOURCE_DIR}/tests/fuzz/Checks.cpp ${KURUN_LAYOUTS_ZIP})
target_link_libraries(kurun_host_tests PRIVATE kurun_core GTest::gtest_main)
target_compile_definitions(kurun_host_tests PRIVATE KURUN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                                   KURUN_LAYOUTS_ZIP="${KURUN_LAYOUTS_ZIP}")
add_test(NAME host_tests COMMAND kurun_host_tests)

# The program loads libraries in one place only, which searches the system folder alone: any other
# call (a bare LoadLibraryW) would look beside the program first.
add_test(NAME libraries_load_in_one_place
         COMMAND sh -c "! grep -rn LoadLibrary --exclude=SystemLibrary.cpp forms components app"
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})

# The committed layouts must match what the designer makes from the committed pictures.
if(TARGET kurun_designer)
  add_test(NAME layouts_fresh COMMAND kurun_designer --check ${CMAKE_SOURCE_DIR}/assets)
endif()
