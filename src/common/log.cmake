# The log and the small file, time and module helpers it uses; compiled into both deliverables.
add_library(zor_log STATIC
    ${CMAKE_CURRENT_LIST_DIR}/bounded_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cmp_log.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cmp_log_move.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cmp_log_write.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_helpers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_file_io.cpp
    ${CMAKE_CURRENT_LIST_DIR}/module_info.cpp
    ${CMAKE_CURRENT_LIST_DIR}/temporary_name.cpp
    ${CMAKE_CURRENT_LIST_DIR}/time_format.cpp)
target_include_directories(zor_log PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(zor_log PUBLIC zor_handles)
zor_strict(zor_log)
