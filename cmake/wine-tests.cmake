# The end-to-end tests: Windows-side GoogleTest programs from the mingw build, run under Wine
# on Xvfb by scripts/wine-harness.sh. One private Wine prefix serves the whole run.
set(OMNITAP_MINGW_DIR "${CMAKE_SOURCE_DIR}/build/mingw" CACHE PATH "The mingw build tree")
set(harness "${CMAKE_SOURCE_DIR}/scripts/wine-harness.sh")
set(prefix "${CMAKE_BINARY_DIR}/wine-prefix")

add_test(NAME e2e.prefix.create COMMAND ${harness} create-prefix ${prefix})
set_tests_properties(e2e.prefix.create PROPERTIES FIXTURES_SETUP wine LABELS e2e)
add_test(NAME e2e.prefix.remove COMMAND ${harness} remove-prefix ${prefix})
set_tests_properties(e2e.prefix.remove PROPERTIES FIXTURES_CLEANUP wine LABELS e2e)

file(GLOB e2e_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.cpp)
foreach(source IN LISTS e2e_sources)
  get_filename_component(name ${source} NAME_WE)
  add_test(NAME e2e.${name}
           COMMAND ${harness} run ${prefix} ${OMNITAP_MINGW_DIR}/bin/${name}.exe)
  set_tests_properties(e2e.${name} PROPERTIES FIXTURES_REQUIRED wine LABELS e2e TIMEOUT 600
                       RESOURCE_LOCK wine)
endforeach()

# Thirty idle seconds, measured from Linux.
add_test(NAME e2e.idle COMMAND ${harness} exec ${prefix} ${CMAKE_SOURCE_DIR}/scripts/idle-check.sh
         ${OMNITAP_MINGW_DIR}/bin/omnitap.exe 30)
set_tests_properties(e2e.idle PROPERTIES FIXTURES_REQUIRED wine LABELS e2e TIMEOUT 180 RESOURCE_LOCK wine)

# A held volume key runs the repeat timer, and a learned key's release stops it.
add_test(NAME e2e.volume_repeat COMMAND ${harness} exec ${prefix} ${CMAKE_SOURCE_DIR}/scripts/repeat-check.sh
         ${OMNITAP_MINGW_DIR}/bin)
set_tests_properties(e2e.volume_repeat PROPERTIES FIXTURES_REQUIRED wine LABELS e2e TIMEOUT 180 RESOURCE_LOCK wine)

# The same programs from the 32-bit build, in a 32-bit prefix: the system the win32 zip is for,
# where the hook's, the tray's and the player's records have their 32-bit sizes and nothing
# 64-bit can stand in for the program.
set(OMNITAP_MINGW_I686_DIR "${CMAKE_SOURCE_DIR}/build/mingw-i686" CACHE PATH "The mingw-i686 build tree")
set(prefix32 "${CMAKE_BINARY_DIR}/wine-prefix32")
add_test(NAME e2e32.prefix.create COMMAND ${harness} create-prefix ${prefix32})
set_tests_properties(e2e32.prefix.create PROPERTIES FIXTURES_SETUP wine32 LABELS e2e32
                     ENVIRONMENT WINEARCH=win32)
add_test(NAME e2e32.prefix.remove COMMAND ${harness} remove-prefix ${prefix32})
set_tests_properties(e2e32.prefix.remove PROPERTIES FIXTURES_CLEANUP wine32 LABELS e2e32)
foreach(source IN LISTS e2e_sources)
  get_filename_component(name ${source} NAME_WE)
  add_test(NAME e2e32.${name}
           COMMAND ${harness} run ${prefix32} ${OMNITAP_MINGW_I686_DIR}/bin/${name}.exe)
  set_tests_properties(e2e32.${name} PROPERTIES FIXTURES_REQUIRED wine32 LABELS e2e32 TIMEOUT 600
                       RESOURCE_LOCK wine)
endforeach()
