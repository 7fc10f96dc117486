# Read by cpack for each generator: the Debian package takes the installed
# show and Debian's own files, the archive its one-folder layout, which
# unpacks into a folder of the archive's name rather than as loose files.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL show debian)
else()
  set(CPACK_COMPONENTS_ALL portable)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
