# The installed show (cmake --install): the programs and the data where
# cmake/InstallLayout.cmake puts them, man pages in section 6 (games), a menu
# entry with its icon, AppStream metainfo. ruvo-bench is a developer's tool
# and stays in the build folder.
include(InstallLayout)
# The application's id, which names the menu entry and the metainfo in dist/.
set(RUVO_APP_ID net.ruvo_demo.ruvo)

# Debian compresses man pages (gzip -9n: no name or time stamp, so the same
# page gives the same bytes).
set(manDir ${CMAKE_BINARY_DIR}/man)
set(manPages)
foreach(page ruvo.6 ruvo-render.6)
  add_custom_command(OUTPUT ${manDir}/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${manDir}
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/dist/${page} > ${manDir}/${page}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/dist/${page})
  list(APPEND manPages ${manDir}/${page}.gz)
endforeach()
add_custom_target(man-pages ALL DEPENDS ${manPages})

install(TARGETS ruvo ruvo-render RUNTIME DESTINATION ${RUVO_INSTALL_PROGRAMDIR} COMPONENT show)
install(DIRECTORY ${RUVO_DATA_DIR}/ DESTINATION ${RUVO_INSTALL_DATADIR} COMPONENT show
  PATTERN ".*" EXCLUDE) # the generators' stamps
install(FILES ${manPages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT show)
install(FILES dist/${RUVO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT show)
install(FILES dist/${RUVO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT show)
install(DIRECTORY ${RUVO_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor COMPONENT show
  FILES_MATCHING PATTERN "*.png")
