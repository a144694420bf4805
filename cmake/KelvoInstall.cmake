# What an installed Kelvo is made of: the four programs in bin/ and the shipped data (the sample
# library that each user's own library is copied from, the help page) in share/kelvo/.

foreach(program kelvo kelvo-run kelvo-script modemsim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/data/kelvo.xml ${PROJECT_SOURCE_DIR}/data/kelvo.html
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvo)
