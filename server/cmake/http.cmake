# The HTTP clients over libcurl and their worker-thread runner.
add_library(qm_http STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/http_client.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/http_cookies.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/http_header_lines.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/async_request.cpp)
target_link_libraries(qm_http PUBLIC qm_common CURL::libcurl Qt6::Core QCoro6::Core)
