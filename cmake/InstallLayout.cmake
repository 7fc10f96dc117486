# Where the install puts the show under its prefix, as Debian lays out a
# game: both programs in games/ (they are the show's, and /usr/games and
# /usr/local/games are on a desktop user's PATH), the data in share/ruvo.
include(GNUInstallDirs)
set(RUVO_INSTALL_PROGRAMDIR games CACHE STRING "where the install puts ruvo and ruvo-render, under the prefix")
set(RUVO_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/ruvo)

# The data folder seen from the programs' folder (../share/ruvo): the
# programs look for it there, so an install under any prefix, a package's
# staging folder too, finds its own data without being built again.
foreach(dir PROGRAMDIR DATADIR)
  set(full ${RUVO_INSTALL_${dir}})
  if(NOT IS_ABSOLUTE ${full})
    set(full ${CMAKE_INSTALL_PREFIX}/${full})
  endif()
  set(full_${dir} ${full})
endforeach()
file(RELATIVE_PATH RUVO_DATA_FROM_PROGRAM ${full_PROGRAMDIR} ${full_DATADIR})
