# The grammars are written readably in front/grammars/*.xml; the build joins each into the one-line
# text that the engine registers, included by grammars.cpp as a string literal.
set(KELVO_GRAMMAR_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(KELVO_GRAMMAR_BINARY_DIR ${CMAKE_CURRENT_BINARY_DIR}/grammars)
set(KELVO_GRAMMAR_TEXTS)
foreach(grammar jscript cppscript)
  set(output ${KELVO_GRAMMAR_BINARY_DIR}/${grammar}_grammar.inc)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${KELVO_GRAMMAR_SOURCE_DIR}/${grammar}.xml -DOUTPUT=${output}
            -P ${KELVO_GRAMMAR_SOURCE_DIR}/one_line_xml.cmake
    DEPENDS ${KELVO_GRAMMAR_SOURCE_DIR}/${grammar}.xml ${KELVO_GRAMMAR_SOURCE_DIR}/one_line_xml.cmake
    COMMENT "Joining the ${grammar} grammar into one line")
  list(APPEND KELVO_GRAMMAR_TEXTS ${output})
endforeach()
target_sources(kelvo_script_front PRIVATE ${KELVO_GRAMMAR_TEXTS} ${KELVO_GRAMMAR_SOURCE_DIR}/grammars.cpp)
target_include_directories(kelvo_script_front PRIVATE ${KELVO_GRAMMAR_BINARY_DIR})
