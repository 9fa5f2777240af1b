# Text routines, query page values, code tables, the student record and the
# query body: plain C++ on byte strings.
add_library(qm_server_text STATIC
  text_routines.cpp
  query_page_info.cpp
  code_tables.cpp
  student_record.cpp
  student_fields.cpp
  query_request.cpp)
target_link_libraries(qm_server_text PUBLIC qm_common)
