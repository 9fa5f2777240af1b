# The unit tests whose whole link closure is plain (no Qt Gui, Widgets,
# WebEngine or Multimedia, no window library), for the sanitizer run: one
# target that builds just them, and their names in plain_tests.txt.
include(${CMAKE_SOURCE_DIR}/cmake/link_closure.cmake)

get_property(unit_tests GLOBAL PROPERTY QM_UNIT_TESTS)
set(plain_tests)
foreach(t ${unit_tests})
  qm_link_closure(${t} closure)
  set(windowed FALSE)
  foreach(d ${closure})
    if(d MATCHES "^Qt6::(Gui|Widgets|WebEngine|Multimedia|OpenGL|Test)" OR d MATCHES "^qm_.*_ui$")
      set(windowed TRUE)
    endif()
  endforeach()
  if(NOT windowed)
    list(APPEND plain_tests ${t})
  endif()
endforeach()
add_custom_target(plain_unit_tests DEPENDS ${plain_tests})
list(JOIN plain_tests "|" plain_regex)
file(WRITE ${CMAKE_BINARY_DIR}/plain_tests.txt "^(${plain_regex})$\n")
