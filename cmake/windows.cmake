# Windows: the framework, the components, the program, and the tests that run under Wine.
# Imports only of libraries Windows takes from its system folder alone (known DLLs); any other is
# loaded at run time from the system folder (forms/SystemLibrary.h).
set(KURUN_WIN_LIBS user32 gdi32 shell32 ole32 uuid)
add_link_options(-static -static-libgcc -static-libstdc++)
# Address space layout randomisation (64-bit wide) and no execution from data pages. Binutils 2.40
# sets them by default; said here so no older or other linker leaves them out.
add_link_options(-Wl,--dynamicbase,--high-entropy-va,--nxcompat)
# Small programs: every function and datum in its own section, so the linker drops what nothing
# uses; release programs carry no symbols.
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-Wl,--gc-sections $<$<CONFIG:Release>:-s>)
# Sections aligned to pages in the file as in memory: Wine then maps them from the file (shared,
# and dropped when memory is short) instead of reading them into private memory.
add_link_options(-Wl,--file-alignment,0x1000)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

file(GLOB KURUN_FORMS_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/forms/*.cpp)
add_library(kurun_forms STATIC ${KURUN_FORMS_SOURCES})
target_link_libraries(kurun_forms PUBLIC kurun_core ${KURUN_WIN_LIBS})

file(GLOB KURUN_COMPONENT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/components/*.cpp)
add_library(kurun_components STATIC ${KURUN_COMPONENT_SOURCES})
target_link_libraries(kurun_components PUBLIC kurun_forms)

file(GLOB KURUN_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/*.cpp)
list(FILTER KURUN_APP_SOURCES EXCLUDE REGEX ".*/app/main\\.cpp$")
add_library(kurun_app STATIC ${KURUN_APP_SOURCES})
target_link_libraries(kurun_app PUBLIC kurun_components)

# The resources (layouts, pictures, icon, manifest) go into every program that builds windows;
# the sample windows' layouts into the test and demonstration programs only.
set(KURUN_RC ${CMAKE_SOURCE_DIR}/assets/kurun.rc)
# The version resource and the manifest's identity carry the project's one version number, the
# one the release archive is named after.
set(KURUN_FILE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
configure_file(${CMAKE_SOURCE_DIR}/assets/version.h.in ${CMAKE_BINARY_DIR}/kurun_version.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/assets/kurun.manifest.in ${CMAKE_BINARY_DIR}/kurun.manifest @ONLY)
set(KURUN_SAMPLES_RC ${CMAKE_SOURCE_DIR}/assets/samples.rc)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I ${CMAKE_SOURCE_DIR}/assets -I ${CMAKE_BINARY_DIR} -c 65001")
file(GLOB_RECURSE KURUN_ASSET_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/*)
set_source_files_properties(${KURUN_RC} ${KURUN_SAMPLES_RC} PROPERTIES OBJECT_DEPENDS
  "${KURUN_ASSET_FILES};${KURUN_LAYOUTS_ZIP};${CMAKE_BINARY_DIR}/kurun_version.h;${CMAKE_BINARY_DIR}/kurun.manifest")
# What every program that builds windows carries: the script and the packed layouts it takes in.
set(KURUN_RESOURCES ${KURUN_RC} ${KURUN_LAYOUTS_ZIP})

add_executable(kurun WIN32 ${CMAKE_SOURCE_DIR}/app/main.cpp ${KURUN_RESOURCES})
target_link_libraries(kurun PRIVATE kurun_app)
target_link_options(kurun PRIVATE -municode)
# Its headers, the import list among them, are recorded beside it with every link, for the test
# that no import could be taken from the program's folder and that the image flags hold.
add_custom_command(TARGET kurun POST_BUILD
  COMMAND sh -c "\"$1\" -p \"$2\" > \"$2.headers.txt\"" objdump ${CMAKE_OBJDUMP} $<TARGET_FILE:kurun>
  VERBATIM)
find_program(KURUN_PYTHON3 python3)
if(KURUN_PYTHON3)
  add_test(NAME kurun_image
           COMMAND ${KURUN_PYTHON3} -B ${CMAKE_SOURCE_DIR}/tests/windows/image_check.py $<TARGET_FILE:kurun>.headers.txt)
endif()

# GoogleTest from the Debian sources, built with the cross compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# One executable per test file: one Wine process each, a fresh program state each.
file(GLOB KURUN_WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/windows/test_*.cpp)
file(GLOB KURUN_WIN_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/windows/support/*.cpp)
if(KURUN_WIN_TEST_SUPPORT)
  add_library(kurun_win_test_support STATIC ${KURUN_WIN_TEST_SUPPORT})
  target_link_libraries(kurun_win_test_support PUBLIC kurun_app GTest::gtest)
  target_include_directories(kurun_win_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/windows)
endif()
foreach(src ${KURUN_WIN_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src} ${KURUN_RESOURCES} ${KURUN_SAMPLES_RC})
  target_link_libraries(${name} PRIVATE kurun_app GTest::gtest_main)
  if(TARGET kurun_win_test_support)
    target_link_libraries(${name} PRIVATE kurun_win_test_support)
  endif()
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/windows)
  target_compile_definitions(${name} PRIVATE KURUN_VERSION="${PROJECT_VERSION}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endforeach()

# The settings file's tests run with the ANSI code page Shift-JIS, as on the systems the program is
# made for: Wine takes it from a Japanese locale, made once into the build tree. A skipped test
# there means that did not happen, so it fails.
if(TEST test_settings_file)
  find_program(KURUN_LOCALEDEF localedef REQUIRED)
  set(KURUN_LOCALES ${CMAKE_BINARY_DIR}/locale)
  add_test(NAME locale_ja_JP
           COMMAND sh -c "test -d '${KURUN_LOCALES}/ja_JP.UTF-8' || { mkdir -p '${KURUN_LOCALES}' && '${KURUN_LOCALEDEF}' -i ja_JP -f UTF-8 '${KURUN_LOCALES}/ja_JP.UTF-8'; }")
  set_tests_properties(locale_ja_JP PROPERTIES FIXTURES_SETUP locale_ja_JP)
  set_tests_properties(test_settings_file PROPERTIES
                       FIXTURES_REQUIRED locale_ja_JP
                       ENVIRONMENT "LANG=ja_JP.UTF-8;LOCPATH=${KURUN_LOCALES}"
                       FAIL_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endif()

# Benchmarks print figures; they are built, not run, by the tests.
file(GLOB KURUN_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
foreach(src ${KURUN_BENCHES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src} ${KURUN_RESOURCES})
  # The tests' counters and handle counts serve the figures too.
  target_link_libraries(${name} PRIVATE kurun_app kurun_win_test_support psapi)
endforeach()
# The floor kurun is measured against: plain Win32 in C, nothing of the program's own.
add_executable(floor_chaser WIN32 ${CMAKE_SOURCE_DIR}/bench/floor_chaser.c)
target_link_libraries(floor_chaser PRIVATE user32 gdi32)
target_link_options(floor_chaser PRIVATE -municode)

# The release: build/dist/kurun-<version>-win64.zip holds one folder with kurun.exe, the README and
# the licence, ready to unzip and run. Made with every build, so the tests always see a current one.
set(KURUN_DIST_NAME kurun-${PROJECT_VERSION}-win64)
set(KURUN_DIST_ZIP ${CMAKE_SOURCE_DIR}/build/dist/${KURUN_DIST_NAME}.zip)
set(dist_folder kurun-${PROJECT_VERSION})
set(dist_stage ${CMAKE_BINARY_DIR}/dist)
add_custom_command(OUTPUT ${KURUN_DIST_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${dist_stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${dist_stage}/${dist_folder} ${CMAKE_SOURCE_DIR}/build/dist
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:kurun> ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
          ${dist_stage}/${dist_folder}
  COMMAND ${CMAKE_COMMAND} -E chdir ${dist_stage}
          ${CMAKE_COMMAND} -E tar cf ${KURUN_DIST_ZIP} --format=zip ${dist_folder}
  COMMAND ${CMAKE_COMMAND} -E echo "dist: ${KURUN_DIST_ZIP}"
  DEPENDS kurun ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
  VERBATIM)
add_custom_target(dist ALL DEPENDS ${KURUN_DIST_ZIP})

# End-to-end tests drive the real kurun.exe under Wine.
include(${CMAKE_SOURCE_DIR}/cmake/e2e.cmake OPTIONAL)

