# The photo commands of quillmere-batch (included by cli/CMakeLists.txt).
add_library(qm_cli_photo STATIC ${CMAKE_CURRENT_LIST_DIR}/photo_commands.cpp)
target_link_libraries(qm_cli_photo PUBLIC qm_cli_args PRIVATE qm_photo_batch qm_photo_compress qm_workbook)
