# The XML document reader over expat. Both deliverables link this one library and pick their
# child-order rule when they construct the reader.
add_library(zor_xml STATIC
    ${CMAKE_CURRENT_LIST_DIR}/zor_xml_node.cpp
    ${CMAKE_CURRENT_LIST_DIR}/zor_xml_tree_builder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/zor_xml_shift_jis.cpp
    ${CMAKE_CURRENT_LIST_DIR}/zor_xml_reader.cpp)
target_include_directories(zor_xml PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# The expat build reports names and text as wchar_t; its imported target only carries
# XML_STATIC, so every user of the reader needs the character-type switches as well.
target_compile_definitions(zor_xml PUBLIC XML_UNICODE XML_UNICODE_WCHAR_T XML_STATIC)
target_link_libraries(zor_xml PUBLIC expat::expat zor_handles)
zor_strict(zor_xml)
