# The fuzz targets: clang's libFuzzer with the address and undefined-behaviour checkers, over
# the core built the same way. Each check of tests/fuzz/Checks.cpp becomes one program fuzz_<name>.
set(KURUN_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
target_compile_options(kurun_core PRIVATE ${KURUN_FUZZ_FLAGS} -fsanitize=fuzzer-no-link)

add_library(kurun_fuzz_checks STATIC ${CMAKE_SOURCE_DIR}/tests/fuzz/Checks.cpp)
target_link_libraries(kurun_fuzz_checks PUBLIC kurun_core)
target_compile_options(kurun_fuzz_checks PRIVATE ${KURUN_FUZZ_FLAGS} -fsanitize=fuzzer-no-link)

foreach(pair bitmap:CheckBitmapFile rgndata:CheckRgnData layout:CheckLayout zip:CheckLayoutArchive
             imagelist:CheckImageList number:CheckNumber settings_text:CheckSettingsText)
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 name)
  list(GET pair 1 check)
  add_executable(fuzz_${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_target.cpp)
  target_compile_definitions(fuzz_${name} PRIVATE KURUN_FUZZ_CHECK=${check})
  target_compile_options(fuzz_${name} PRIVATE ${KURUN_FUZZ_FLAGS} -fsanitize=fuzzer)
  target_link_options(fuzz_${name} PRIVATE ${KURUN_FUZZ_FLAGS} -fsanitize=fuzzer)
  target_link_libraries(fuzz_${name} PRIVATE kurun_fuzz_checks)
endforeach()

# The packed layouts, a seed of the archive reader.
add_custom_target(fuzz_layouts_zip ALL DEPENDS ${KURUN_LAYOUTS_ZIP})
