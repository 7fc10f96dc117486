# Release artefacts, made with cpack in the build folder:
#   cpack -G DEB  a Debian package of the installed show (the "show" install
#                 rules plus Debian's copyright and changelog files), whose
#                 library dependencies dpkg-shlibdeps works out from the
#                 programs: build it on the release it is for.
#   cpack -G TGZ  a portable archive: the programs with data/ beside them, a
#                 start script, README and licence, to run from any folder
#                 (build it on the oldest supported release, Debian 12).
# Which install rules each takes is chosen in cmake/PackagingComponents.cmake.

# The changelog's newest entry names the version; the package must agree.
file(STRINGS ${CMAKE_SOURCE_DIR}/dist/changelog changelogTop LIMIT_COUNT 1)
if(NOT changelogTop MATCHES "^ruvo \\(${PROJECT_VERSION}\\)")
  message(FATAL_ERROR "dist/changelog's first entry (${changelogTop}) is not version ${PROJECT_VERSION}")
endif()

# Debian's files for the package, under share/doc/ruvo: the copyright as it
# is, the changelog compressed without name or time stamp.
set(debianDoc ${CMAKE_INSTALL_DATADIR}/doc/ruvo)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/dist/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/dist/changelog)
add_custom_target(debian-changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES dist/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${debianDoc}
  COMPONENT debian EXCLUDE_FROM_ALL)

# The portable archive: everything in one folder, the data beside the programs.
install(TARGETS ruvo ruvo-render RUNTIME DESTINATION . COMPONENT portable EXCLUDE_FROM_ALL)
install(DIRECTORY ${RUVO_DATA_DIR}/ DESTINATION data COMPONENT portable EXCLUDE_FROM_ALL
  PATTERN ".*" EXCLUDE)
install(PROGRAMS dist/start.sh DESTINATION . COMPONENT portable EXCLUDE_FROM_ALL)
install(FILES README.md LICENSE DESTINATION . COMPONENT portable EXCLUDE_FROM_ALL)

set(RUVO_MAINTAINER "ruvo developers <maintainers@ruvo.invalid>" CACHE STRING
  "the Debian package's maintainer, as 'name <address>'")
set(CPACK_PACKAGE_NAME ruvo)
set(CPACK_PACKAGE_VENDOR "the ruvo developers")
set(CPACK_PACKAGE_CONTACT ${RUVO_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/PackagingComponents.cmake)
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE debianArch OUTPUT_STRIP_TRAILING_WHITESPACE)
string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" systemName)
set(CPACK_PACKAGE_FILE_NAME ruvo-${PROJECT_VERSION}-${systemName})

set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL opens the OpenGL library by name, and Mesa draws behind it: no program
# links them, so dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ffmpeg") # ruvo-render --video
set(CPACK_PACKAGE_DESCRIPTION "ruvo plays a show of nine scenes in a fixed timeline of 204 seconds to its
own electronic soundtrack, full screen, every frame timed by the music.
The music, the pictures and the geometry are all made by the project's own
code.

ruvo-render writes the show frame by frame as PNG pictures or a video.")
# The release it was built on is in the name: library packages differ
# between releases, so a package installs only where it was built.
file(STRINGS /etc/os-release codename REGEX "^VERSION_CODENAME=")
string(REPLACE "VERSION_CODENAME=" "" codename "${codename}")
if(codename)
  set(CPACK_DEBIAN_FILE_NAME ruvo_${PROJECT_VERSION}~${codename}_${debianArch}.deb)
else()
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
endif()

# Each package is one of the install's components (or two): one package of
# them all, not one a component.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_GENERATOR DEB TGZ)
include(CPack)
