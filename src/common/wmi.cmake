# WMI query object and the small system queries shared by the launcher and the plug-in.
add_library(zor_wmi STATIC
    ${CMAKE_CURRENT_LIST_DIR}/variant_copy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wmi_query.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wmi_service.cpp
    ${CMAKE_CURRENT_LIST_DIR}/winpe.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_match.cpp
    ${CMAKE_CURRENT_LIST_DIR}/console_output.cpp)
zor_strict(zor_wmi)
target_include_directories(zor_wmi PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(zor_wmi PUBLIC zor_handles ole32 oleaut32 wbemuuid advapi32)
