# Turns a grammar written readably (one element per line, indented) into the one-line XML text
# that the engine registers: line breaks and the blanks between tags go, nothing else changes.
# Called as: cmake -DINPUT=<file.xml> -DOUTPUT=<file.inc> -P one_line_xml.cmake
file(READ "${INPUT}" xml)
string(REGEX REPLACE ">[ \t\r\n]+<" "><" xml "${xml}")
string(STRIP "${xml}" xml)
if(xml MATCHES "[\r\n]")
  message(FATAL_ERROR "${INPUT}: a line break inside a tag cannot be joined")
endif()
file(WRITE "${OUTPUT}.tmp" "R\"kelvo_grammar(${xml})kelvo_grammar\"\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
