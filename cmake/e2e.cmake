# End-to-end tests: the real kurun.exe under Wine, driven through X like a user (xdotool, xwininfo,
# import). They need a display (scripts/xvfb.sh gives one) and share the pointer, so one at a time.
if(NOT TARGET kurun)
  return()
endif()
# A stand-in for a fullscreen program, beside kurun.exe; only the tests use it.
add_executable(fullscreen_window WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/fullscreen_window.cpp)
target_link_libraries(fullscreen_window PRIVATE user32 gdi32)
target_link_options(fullscreen_window PRIVATE -municode)
# Reads the program's windows from outside as a screen reader does.
add_executable(screen_reader ${CMAKE_SOURCE_DIR}/tests/e2e/screen_reader.cpp)
target_link_libraries(screen_reader PRIVATE oleacc ole32 oleaut32 user32)
target_link_options(screen_reader PRIVATE -municode)
# For the planting test: a library that marks where it was loaded, kept in a folder of its own
# (the harness copies the libraries beside kurun.exe into every run), and a program that loads
# libraries the unprotected way.
add_library(planted_library SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/planted_library.c)
set_target_properties(planted_library PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planting)
add_executable(bare_loader WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/bare_loader.c)
target_link_options(bare_loader PRIVATE -municode)
# The shell's keyboard notifications for the tray icon, which Wine's tray never sends.
add_executable(tray_notify WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/tray_notify.c)
target_link_options(tray_notify PRIVATE -municode)
find_program(KURUN_PYTHON3 python3)
if(NOT KURUN_PYTHON3)
  message(WARNING "python3 not found: the end-to-end tests are not registered (run make setup)")
  return()
endif()

file(GLOB KURUN_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
foreach(src ${KURUN_E2E_TESTS})
  get_filename_component(name ${src} NAME_WE)
  string(REGEX REPLACE "^test_" "e2e_" name ${name})
  add_test(NAME ${name}
           COMMAND ${KURUN_PYTHON3} -B ${src} $<TARGET_FILE:kurun> ${CMAKE_BINARY_DIR}/e2e)
  set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 180 LABELS e2e
                                           ENVIRONMENT KURUN_DIST_ZIP=${KURUN_DIST_ZIP})
endforeach()
