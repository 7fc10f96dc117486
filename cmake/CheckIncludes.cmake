# cmake -DROOT=<source root> -P CheckIncludes.cmake: fails, naming each one,
# if any source or header of the project includes a path with "../" in it.
# Includes are written from the source root; a relative one would get past
# the include views that hold the layering.
set(folders platform graphics drawables runtime scenes app render bench tools tests)
set(found "")
foreach(folder ${folders})
  file(GLOB_RECURSE files ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.c)
  foreach(file ${files})
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][^\">]*\\.\\./")
    foreach(line ${lines})
      file(RELATIVE_PATH name ${ROOT} ${file})
      string(APPEND found "  ${name}: ${line}\n")
    endforeach()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "includes written with ../ (write them from the source root):\n${found}")
endif()
message(STATUS "no include written with ../")
