# qm_version_parts(<prefix>) sets <prefix>_MAJOR, _MINOR, _PATCH and _TWEAK to
# the four numbers of the project version; a part the project leaves out counts 0.
function(qm_version_parts prefix)
  foreach(part MAJOR MINOR PATCH TWEAK)
    set(value "${PROJECT_VERSION_${part}}")
    if(value STREQUAL "")
      set(value 0)
    endif()
    set(${prefix}_${part} ${value} PARENT_SCOPE)
  endforeach()
endfunction()
