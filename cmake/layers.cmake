# The layers: app -> win32 -> core folders -> ports. The core folders build into one library
# that never includes <windows.h>; check-layers.cmake fails the build on an include that runs
# against the direction of the layers.
set(OMNITAP_CORE_FOLDERS base catalogue text keys hook player volume tray actions forms)

# The .cpp files directly in the named folders.
function(omnitap_glob out)
  set(result)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND result ${found})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# Runs the check before `target` builds, and again whenever a source changes.
function(omnitap_check_layers target)
  set(sources)
  foreach(dir IN ITEMS app win32 win32/ui ports ${OMNITAP_CORE_FOLDERS})
    file(GLOB found CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${dir}/*.h"
         "${CMAKE_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/layers.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/check-layers.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${sources} ${CMAKE_SOURCE_DIR}/cmake/check-layers.cmake
    COMMENT "Checking the includes against the layers")
  add_custom_target(${target}_layers DEPENDS ${stamp})
  add_dependencies(${target} ${target}_layers)
endfunction()
