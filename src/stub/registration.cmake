# Folder helpers of the install sequence, component registration and the system restart.
target_sources(zor_stub_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/folder_tree.cpp
    ${CMAKE_CURRENT_LIST_DIR}/component_registration.cpp
    ${CMAKE_CURRENT_LIST_DIR}/component_record.cpp
    ${CMAKE_CURRENT_LIST_DIR}/reboot.cpp
    ${CMAKE_CURRENT_LIST_DIR}/removable_media.cpp)
target_link_libraries(zor_stub_core PUBLIC zor_log advapi32 ole32 user32)
