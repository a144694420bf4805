# What an installed Kelvo is made of: the four programs in bin/; the shipped data (the sample
# library that each user's own library is copied from, the help page) in share/kelvo/; the desktop
# entry, icons, AppStream metadata and manual pages where the desktop and man look for them; the
# example udev rule, the report's schema, the copyright and the changelog in share/doc/kelvo/.

foreach(program kelvo kelvo-run kelvo-script modemsim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

set(kelvo_data ${PROJECT_SOURCE_DIR}/data)
set(kelvo_generated ${PROJECT_BINARY_DIR}/install-files)
set(kelvo_docdir ${CMAKE_INSTALL_DATADIR}/doc/kelvo)
file(MAKE_DIRECTORY ${kelvo_generated})

install(FILES ${kelvo_data}/kelvo.xml ${kelvo_data}/kelvo.html DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvo)
install(FILES ${kelvo_data}/org.kelvo.Kelvo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${kelvo_data}/org.kelvo.Kelvo.metainfo.xml ${kelvo_generated}/org.kelvo.Kelvo.metainfo.xml @ONLY)
install(FILES ${kelvo_generated}/org.kelvo.Kelvo.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${kelvo_data}/99-kelvo-modemmanager.rules ${kelvo_data}/debian/copyright
              ${PROJECT_SOURCE_DIR}/tools/kelvo-run/report.schema.json
        DESTINATION ${kelvo_docdir})

# Manual pages and the changelog go compressed, without a name or time stamp in the gzip header, so
# that two builds of one version give the same bytes.
set(kelvo_gzipped)
function(kelvo_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9nc '${source}' > '${output}'"
    DEPENDS ${source} VERBATIM)
  set(kelvo_gzipped ${kelvo_gzipped} ${output} PARENT_SCOPE)
endfunction()

set(KELVO_VERSION ${PROJECT_VERSION})
foreach(page kelvo kelvo-run kelvo-script modemsim)
  configure_file(${kelvo_data}/man/${page}.1 ${kelvo_generated}/${page}.1 @ONLY)
  kelvo_gzip(${kelvo_generated}/${page}.1 ${kelvo_generated}/${page}.1.gz)
  install(FILES ${kelvo_generated}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${kelvo_data}/debian/changelog ${kelvo_generated}/changelog @ONLY)
kelvo_gzip(${kelvo_generated}/changelog ${kelvo_generated}/changelog.gz)
install(FILES ${kelvo_generated}/changelog.gz DESTINATION ${kelvo_docdir})

# The icon: the SVG itself, and PNGs rendered from it at the sizes desktops ask for.
install(FILES ${kelvo_data}/icons/kelvo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
find_program(KELVO_RSVG_CONVERT rsvg-convert)
set(kelvo_icons)
if(KELVO_RSVG_CONVERT)
  foreach(size 16 22 24 32 48 64 128 256)
    set(png ${kelvo_generated}/icons/${size}x${size}/kelvo.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${kelvo_generated}/icons/${size}x${size}
      COMMAND ${KELVO_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${kelvo_data}/icons/kelvo.svg
      DEPENDS ${kelvo_data}/icons/kelvo.svg VERBATIM)
    list(APPEND kelvo_icons ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
else()
  message(WARNING "rsvg-convert (Debian: librsvg2-bin) not found: the PNG icons are left out; "
                  "tools/install-deps.sh installs it")
endif()

add_custom_target(kelvo_install_files ALL DEPENDS ${kelvo_gzipped} ${kelvo_icons})
