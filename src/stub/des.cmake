# DES for encrypted configuration files. Portable sources without operating-system headers:
# the launcher links zor_des (decryption); the package builder links zor_des_encrypt.
# Other build parts may include this file too (for example the package builder's host build,
# where src/stub is not added); the guard keeps the targets from being defined twice.
if(TARGET zor_des)
    return()
endif()

add_library(zor_des STATIC
    ${CMAKE_CURRENT_LIST_DIR}/des_crypt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/des_tables.cpp)
target_include_directories(zor_des PUBLIC ${CMAKE_CURRENT_LIST_DIR})
zor_strict(zor_des)

add_library(zor_des_encrypt STATIC ${CMAKE_CURRENT_LIST_DIR}/des_encrypt.cpp)
target_link_libraries(zor_des_encrypt PUBLIC zor_des)
zor_strict(zor_des_encrypt)
