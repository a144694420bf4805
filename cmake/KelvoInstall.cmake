# What an installed Kelvo is made of: the four programs in bin/ and the shipped data (the sample
# library that each user's own library is copied from, the help pages) in share/kelvo/.

foreach(program kelvo kelvo-run kelvo-script modemsim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/data/kelvo.xml ${PROJECT_SOURCE_DIR}/data/kelvo.html
              ${PROJECT_SOURCE_DIR}/data/kelvo-jscript.html ${PROJECT_SOURCE_DIR}/data/kelvo-cppscript.html
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvo)
# The help page of the script functions is made by the build (tools/kelvo-script).
if(TARGET kelvo_help_pages)
  install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/kelvo-functions.html DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvo)
endif()
