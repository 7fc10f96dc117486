# The show's folders, from the bottom up. Code includes headers by their path
# from the source root ("graphics/Graphics.h"), and a folder may include its
# own headers and those of the folders below it, never those of a folder
# above. The source root itself is on no include path: each folder's library
# sees the tree through a view in the build folder that links only the
# folders it may use, so a wrong-way include stops the build with
# "No such file or directory". A target that links a layer sees what the
# layer sees, which for anything built on the layer is allowed anyway.
set(RUVO_LAYERS platform graphics drawables runtime scenes app)
get_filename_component(RUVO_SHOW_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

# AddressSanitizer and UndefinedBehaviorSanitizer for the show's own code and
# its tests (the generators stay plain: they only make data).
option(RUVO_SANITIZE "Build the show and its tests with ASan and UBSan" OFF)
function(ruvo_sanitize target)
  if(RUVO_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
      -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# ruvo_view(<target> <folder>...): the target, and whatever links it, includes
# from these folders of the source root (a folder may be nested, as
# tools/mesh) and no others.
function(ruvo_view target)
  set(view ${CMAKE_BINARY_DIR}/views/${target})
  file(REMOVE_RECURSE ${view}) # a folder dropped from the list must go from the view too
  file(MAKE_DIRECTORY ${view})
  foreach(folder ${ARGN})
    get_filename_component(parent ${view}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${RUVO_SHOW_ROOT}/${folder} ${view}/${folder} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${view})
endfunction()

# ruvo_layer(<folder> [<source>...]): the folder's library, ruvo_<folder>, of
# the given sources (by default every .cpp file in and below the folder). It
# sees its folder and those below it, and links the layer right below.
function(ruvo_layer folder)
  set(sources ${ARGN})
  if(NOT sources)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  # Every header of the folder is compiled once more in a file of its own
  # library, so that a header reaching up fails here too, even when only the
  # folders above include it. The file is rewritten only when the list changes.
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${RUVO_SHOW_ROOT} ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(headerCheck "// Every header of ${folder}/, on ${folder}'s include path.\n")
  foreach(header ${headers})
    string(APPEND headerCheck "#include \"${header}\"\n")
  endforeach()
  set(headerSource ${CMAKE_CURRENT_BINARY_DIR}/${folder}_headers.cpp)
  file(CONFIGURE OUTPUT ${headerSource} CONTENT "${headerCheck}")
  add_library(ruvo_${folder} STATIC ${sources} ${headerSource})
  list(FIND RUVO_LAYERS ${folder} index)
  if(index LESS 0)
    message(FATAL_ERROR "${folder} is not one of the show's layers (${RUVO_LAYERS})")
  endif()
  math(EXPR count "${index} + 1")
  list(SUBLIST RUVO_LAYERS 0 ${count} visible)
  ruvo_view(ruvo_${folder} ${visible})
  if(index GREATER 0)
    math(EXPR below "${index} - 1")
    list(GET RUVO_LAYERS ${below} lower)
    target_link_libraries(ruvo_${folder} PUBLIC ruvo_${lower})
  endif()
  ruvo_sanitize(ruvo_${folder})
endfunction()
