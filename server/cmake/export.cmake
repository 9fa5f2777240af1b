# The in-school export: its dialog, its run core (Qt Core + coroutines, used
# headless by tests and the benchmark) and its window controller. Defined once
# the libraries they build on exist (qm_sheet comes from a subfolder,
# qm_browser from browser/), hence deferred to the end of this folder.
function(qm_add_export_targets)
  if(NOT TARGET qm_server_text)
    return()
  endif()
  add_library(qm_export_dialog STATIC
    ${CMAKE_SOURCE_DIR}/server/export_dialog.cpp
    ${CMAKE_SOURCE_DIR}/server/export_selection.h)
  target_link_libraries(qm_export_dialog PUBLIC qm_server_text qm_prompts Qt6::Widgets)
  if(TARGET qm_http AND TARGET qm_sheet)
    add_library(qm_export_run STATIC ${CMAKE_SOURCE_DIR}/server/in_school_export_run.cpp
      ${CMAKE_SOURCE_DIR}/server/in_school_page_loop.cpp)
    target_link_libraries(qm_export_run PUBLIC qm_server_text qm_http qm_sheet QCoro6::Core Qt6::Core)
    if(TARGET qm_browser AND EXISTS ${CMAKE_SOURCE_DIR}/server/in_school_export.cpp)
      add_library(qm_export STATIC ${CMAKE_SOURCE_DIR}/server/in_school_export.cpp)
      target_link_libraries(qm_export PUBLIC qm_export_run qm_export_dialog qm_browser qm_navigation qm_prompts Qt6::Widgets)
    endif()
  endif()
endfunction()
cmake_language(DEFER CALL qm_add_export_targets)
