# The stored window layouts travel in the program as one zip archive: deflated, they take a fifth
# of the room of their text. Each member is named as its window class asks for it.
set(KURUN_LAYOUT_MEMBERS
  TFORM1 Pelton
  TFORM2 Melka
  TFORM3 Rugo
  TFORM4 Fenwa
  TSTATUSFORM1 StatusWindow1)

set(KURUN_LAYOUTS_ZIP ${CMAKE_BINARY_DIR}/layouts.zip)
set(stage ${CMAKE_BINARY_DIR}/layouts)
set(copies "")
set(members "")
set(sources "")
list(LENGTH KURUN_LAYOUT_MEMBERS count)
math(EXPR last "${count} - 1")
foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET KURUN_LAYOUT_MEMBERS ${i} member)
  list(GET KURUN_LAYOUT_MEMBERS ${j} file)
  set(source ${CMAKE_SOURCE_DIR}/assets/layouts/${file}.layout)
  list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy ${source} ${stage}/${member})
  list(APPEND members ${member})
  list(APPEND sources ${source})
endforeach()
add_custom_command(OUTPUT ${KURUN_LAYOUTS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
  ${copies}
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage}
          ${CMAKE_COMMAND} -E tar cf ${KURUN_LAYOUTS_ZIP} --format=zip --mtime=2000-01-01 ${members}
  DEPENDS ${sources}
  COMMENT "Packing the window layouts"
  VERBATIM)
