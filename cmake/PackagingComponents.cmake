# Read by cpack for each generator: the Debian package takes the installed
# show and Debian's own files, the archive its one-folder layout.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL show debian)
else()
  set(CPACK_COMPONENTS_ALL portable)
endif()
