# Navigation, function keys and login keeping: the pure tables and the
# account-type read, and the controllers that add them to the main window.
add_library(qm_navigation_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/../account_type.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../provincial_sites.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../navigation_pages.cpp)
target_link_libraries(qm_navigation_core PUBLIC qm_common)

# qm_http and qm_app come from their own folders; linked by name.
add_library(qm_navigation STATIC
  ${CMAKE_CURRENT_LIST_DIR}/../navigation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../login_keeper.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../transfer_panel.cpp)
target_link_libraries(qm_navigation PUBLIC qm_navigation_core qm_browser qm_http qm_app QCoro6::Core)
