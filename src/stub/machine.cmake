# The launcher's machine checks: the SMBIOS table with its TPM record, and the manufacturer
# names that reveal a virtualized guest.
add_library(zor_machine STATIC
    ${CMAKE_CURRENT_LIST_DIR}/machine_facts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/smbios_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/manufacturer_info.cpp)
zor_strict(zor_machine)
target_include_directories(zor_machine PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(zor_machine PUBLIC zor_wmi)
