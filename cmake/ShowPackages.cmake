# The libraries the show's own folders link. The generators, the renderer and
# the tests find theirs where they are built.
find_package(PkgConfig REQUIRED)
find_package(OpenGL REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(SDL REQUIRED IMPORTED_TARGET sdl)
pkg_check_modules(SDL_IMAGE REQUIRED IMPORTED_TARGET SDL_image)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
