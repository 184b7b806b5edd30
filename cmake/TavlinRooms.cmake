# Rooms the build enforces. Each library puts only its own folder on the
# include path, so a header of a room it may not use cannot be found by name.
# tavlin_check_rooms(TARGET SOURCES...) also fails the build on an include
# that names a path ("../window/X.h") to climb out of the room, and, with
# FORBID REGEX, on a system header the room must not use.
function(tavlin_check_rooms target)
  cmake_parse_arguments(ROOM "" "FORBID" "SOURCES" ${ARGN})
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.rooms)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} "-DSOURCES=${ROOM_SOURCES}" "-DFORBID=${ROOM_FORBID}"
            "-DROOM=${target}" "-DSTAMP=${stamp}" -P ${PROJECT_SOURCE_DIR}/cmake/CheckRooms.cmake
    DEPENDS ${ROOM_SOURCES} ${PROJECT_SOURCE_DIR}/cmake/CheckRooms.cmake
    COMMENT "Checking the includes of ${target}"
    VERBATIM)
  add_custom_target(${target}_rooms DEPENDS ${stamp})
  add_dependencies(${target} ${target}_rooms)
endfunction()
